// The model behind the browser edition: a few C functions over the one
// GeneralData of the page, the same code as the desktop program's.

#include "FlowNetTracer.h"
#include "GeneralData.h"
#include "HelpTexts.h"
#include "NumberFormat.h"
#include "PicTeXWriter.h"
#include "PrintedReport.h"
#include "TextStream.h"

#include <emscripten/emscripten.h>

#include <string>
#include <string_view>
#include <vector>

namespace brelloc {
namespace {

GeneralData data;

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

} // extern "C"
