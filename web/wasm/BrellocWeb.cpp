// The model behind the browser edition: a few C functions over the one
// GeneralData of the page, the same code as the desktop program's.

#include "FlowNetTracer.h"
#include "FlowProbe.h"
#include "FlowResults.h"
#include "GeneralData.h"
#include "HelpTexts.h"
#include "NumberFormat.h"
#include "PicTeXWriter.h"
#include "PrintedReport.h"
#include "ResultsJson.h"
#include "TextStream.h"

#include <emscripten/emscripten.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelloc {
namespace {

GeneralData data;

// The probe's table of mapped points, made on the first probe after a commit.
std::unique_ptr<FlowProbe> probe;

// Three decimals, as the results are shown.
std::string Three(double value)
{
    return FormatFixed(value, 0, 3);
}

// Texts handed to JavaScript stay alive until the next call that returns one.
std::string text;

const char* Handed(std::string value)
{
    text = std::move(value);
    return text.c_str();
}

// The trace as a list of numbers, one record after another:
//   0, n, x0, y0, ..., x(n-1), y(n-1)  a boundary curve drawn with the pen:
//                                      its start point, then every sample
//                                      after sample 0 that passes the window
//   1, f                               start of a family (0 potential, 1 stream)
//   2, px, py, qx, qy                  a segment
enum Record { kCurve = 0, kFamily = 1, kSegment = 2 };

class BufferSink final : public PlotSink {
public:
    explicit BufferSink(std::vector<double>& out) : out_(out) {}

    void BeginCurve(ModelPoint p0) override
    {
        out_.push_back(kCurve);
        countAt_ = out_.size();
        out_.push_back(0.0);
        Add(p0);
    }
    void CurvePoint(int k, ModelPoint p) override
    {
        if (k != 0) // the pen stands on sample 0 already
            Add(p);
    }
    void EndCurve() override { out_[countAt_] = static_cast<double>((out_.size() - countAt_ - 1) / 2); }
    void BeginFamily(Family family) override
    {
        out_.push_back(kFamily);
        out_.push_back(family == Family::Potential ? 0.0 : 1.0);
    }
    void Segment(ModelPoint p, ModelPoint q) override
    {
        out_.insert(out_.end(), {static_cast<double>(kSegment), p.x, p.y, q.x, q.y});
    }

private:
    void Add(ModelPoint p)
    {
        out_.push_back(p.x);
        out_.push_back(p.y);
    }
    std::vector<double>& out_;
    std::size_t countAt_ = 0;
};

std::vector<double> trace;

// Collects the texts of the printed report in the order the report writes
// them; lines and fonts are the page's own business.
class TextCanvas final : public Canvas {
public:
    void SetPenColor(Rgb) override {}
    void SetBrushColor(Rgb) override {}
    void SetFont(const FontSpec&) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void Dot(int, int, int) override {}
    void TextOut(int, int, const std::string& line) override
    {
        texts += line;
        texts += '\n';
    }
    int TextWidth(const std::string& line) override { return static_cast<int>(line.size()); }
    int TextHeight(const std::string&) override { return 1; }

    std::string texts;
};

} // namespace
} // namespace brelloc

using namespace brelloc;

extern "C" {

// Back to the start-up values.
EMSCRIPTEN_KEEPALIVE void brelloc_reset()
{
    InitDefaults(data);
    probe.reset();
}

// Commits a grid row's text (UTF-8, `length` bytes) as the desktop grid does,
// recomputes the derived values and returns the row's display text.
EMSCRIPTEN_KEEPALIVE const char* brelloc_commit_row(int row, const char* rowText, int length)
{
    if (row < 0 || row >= kGridRowCount || length < 0)
        return Handed(std::string());
    const std::string shown =
        CommitRow(data, row, std::string_view(rowText, static_cast<std::size_t>(length)));
    UpdateDerived(data);
    probe.reset();
    return Handed(shown);
}

EMSCRIPTEN_KEEPALIVE const char* brelloc_row_text(int row)
{
    return Handed(RowText(data, row));
}

EMSCRIPTEN_KEEPALIVE double brelloc_xmax()
{
    return data.XmaxL;
}

// Traces the net of the committed values; returns the number of doubles in
// the buffer that brelloc_trace_data points to.
EMSCRIPTEN_KEEPALIVE int brelloc_trace()
{
    trace.clear();
    BufferSink sink(trace);
    FlowNetTracer::Trace(data, sink);
    return static_cast<int>(trace.size());
}

EMSCRIPTEN_KEEPALIVE const double* brelloc_trace_data()
{
    return trace.data();
}

// The PicTeX file of the committed values; its length is brelloc_text_length.
EMSCRIPTEN_KEEPALIVE const char* brelloc_pictex()
{
    StringTextStream out;
    WritePicTeX(out, data);
    return Handed(out.Text());
}

EMSCRIPTEN_KEEPALIVE int brelloc_text_length()
{
    return static_cast<int>(text.size());
}

EMSCRIPTEN_KEEPALIVE const char* brelloc_program_message()
{
    return Handed(ProgramMessage());
}

EMSCRIPTEN_KEEPALIVE const char* brelloc_general_data_message()
{
    return Handed(GeneralDataMessage());
}

// The text lines of the printed report, one a line, as the desktop prints
// them (the two axis labels of its figure last).
EMSCRIPTEN_KEEPALIVE const char* brelloc_report_texts()
{
    TextCanvas canvas;
    PrintReportPage(canvas, 2000, 2000, 1, data);
    return Handed(canvas.texts);
}

// The results of the committed values as the exporter writes them, with a
// probe at each of the `count` points (x, y pairs) when count > 0.
EMSCRIPTEN_KEEPALIVE const char* brelloc_results_json(const double* points, int count)
{
    if (count <= 0)
        return Handed(ResultsJson(data));
    std::vector<ModelPoint> probes;
    for (int k = 0; k < count; ++k)
        probes.push_back(ModelPoint{points[2 * k], points[2 * k + 1]});
    return Handed(ResultsJson(data, probes));
}

// The results block: one line per quantity, its name, a tab and its value
// with three decimals ("none" where it does not exist).
EMSCRIPTEN_KEEPALIVE const char* brelloc_results_texts()
{
    const FlowResults results = ComputeResults(data);
    std::string lines;
    const auto line = [&lines](const char* name, std::optional<double> value) {
        lines += name;
        lines += '\t';
        lines += value ? Three(*value) : std::string("none");
        lines += '\n';
    };
    const auto x = [](const std::optional<ModelPoint>& p) {
        return p ? std::optional<double>(p->x) : std::nullopt;
    };
    const auto y = [](const std::optional<ModelPoint>& p) {
        return p ? std::optional<double>(p->y) : std::nullopt;
    };
    line("Divide x/L", x(results.divide));
    line("Divide y/L", y(results.divide));
    line("Stagnation point x/L", x(results.stagnationPoint));
    line("Water-table top x/L", results.waterTableTop.x);
    line("Water-table top y/L", results.waterTableTop.y);
    line("Infiltration to the left drain", results.infiltrationToLeftDrain);
    line("Infiltration to the right drain", results.infiltrationToRightDrain);
    return Handed(lines);
}

// The flow at a model point, as one line of text.
EMSCRIPTEN_KEEPALIVE const char* brelloc_probe(double x, double y)
{
    if (!probe)
        probe = std::make_unique<FlowProbe>(data);
    const std::optional<ProbeValues> values = probe->At(ModelPoint{x, y});
    if (!values)
        return Handed("outside the flow region");
    const double discharge =
        std::hypot(values->specificDischarge.x, values->specificDischarge.y);
    return Handed("x/L " + Three(x) + "  y/L " + Three(y) + "  h/L " + Three(values->head) +
                  "  (h-y)/L " + Three(values->pressureHead) + "  psi/kL " +
                  Three(values->streamFunction) + "  q/k " + Three(discharge));
}

} // extern "C"
