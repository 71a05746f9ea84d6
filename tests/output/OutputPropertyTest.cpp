// Random parameter sets, fixed seed: every point a sink receives is finite and
// inside the window, every device pixel the pen outputs compute is within the
// safe range, and the screen plot, the printed page and the PicTeX file carry
// the same curves and segments in the same order. The marked page keeps its
// red marks inside the figure's window and its results texts readable.
#include "DevicePixel.h"
#include "DivideMarks.h"
#include "FlowNetTracer.h"
#include "PicTeXWriter.h"
#include "PrintedReport.h"
#include "RecordingCanvas.h"
#include "RecordingSink.h"
#include "ScreenPlot.h"
#include "TextStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace brelloc {
namespace {

using test::RecordingCanvas;
using test::RecordingSink;
using test::SinkCall;

constexpr int kParameterSets = 300;

// Mostly physical values spread over many decades, now and then zero or an
// absurdly large value.
double RandomMagnitude(std::mt19937_64& random, double lowest, double highest)
{
    std::uniform_int_distribution<int> kind(0, 19);
    switch (kind(random)) {
    case 0: return lowest;
    case 1: return 1e300;
    case 2: return 1e15;
    default: {
        std::uniform_real_distribution<double> exponent(std::log10(std::max(lowest, 1e-3)),
                                                        std::log10(highest));
        return std::pow(10.0, exponent(random));
    }
    }
}

GeneralData RandomParameters(std::mt19937_64& random)
{
    GeneralData data;
    InitDefaults(data);
    data.HL = RandomMagnitude(random, 0.0, 100.0);
    data.NK = RandomMagnitude(random, 0.0, 100.0);
    data.XmaxL = RandomMagnitude(random, 1.0, 1e4);
    data.Squares = std::uniform_int_distribution<int>(2, 20)(random);
    UpdateDerived(data);
    return data;
}

std::string Describe(const GeneralData& data)
{
    std::ostringstream out;
    out.precision(17);
    out << "HL " << data.HL << ", NK " << data.NK << ", XmaxL " << data.XmaxL << ", squares "
        << data.Squares;
    return out.str();
}

bool Inside(const GeneralData& data, ModelPoint p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= data.XmaxL &&
           std::fabs(p.y) <= data.XmaxL;
}

void ExpectSinkPointsInsideTheWindow(const RecordingSink& sink, const GeneralData& data)
{
    for (const SinkCall& call : sink.calls) {
        if (call.kind == SinkCall::BeginCurve) {
            EXPECT_TRUE(std::isfinite(call.p.x) && std::isfinite(call.p.y)) << Describe(call);
        } else if (call.kind == SinkCall::CurvePoint) {
            EXPECT_TRUE(Inside(data, call.p)) << Describe(call);
        } else if (call.kind == SinkCall::Segment) {
            EXPECT_TRUE(Inside(data, call.p) && Inside(data, call.q)) << Describe(call);
        }
    }
}

void ExpectPixelsInSafeRange(const RecordingCanvas& canvas)
{
    for (const RecordingCanvas::Op& op : canvas.ops) {
        for (int v : {op.x1, op.y1, op.x2, op.y2})
            ASSERT_LE(std::abs(v), kPixelLimit);
    }
}

// The pen strokes a trace should produce, in order: a MoveTo per curve start
// and per segment start, a LineTo per later curve sample and per segment end.
struct Stroke {
    bool draw;
    ModelPoint p;
};

std::vector<Stroke> ExpectedStrokes(const RecordingSink& sink)
{
    std::vector<Stroke> strokes;
    for (const SinkCall& call : sink.calls) {
        if (call.kind == SinkCall::BeginCurve)
            strokes.push_back({false, call.p});
        else if (call.kind == SinkCall::CurvePoint && call.k != 0)
            strokes.push_back({true, call.p});
        else if (call.kind == SinkCall::Segment) {
            strokes.push_back({false, call.p});
            strokes.push_back({true, call.q});
        }
    }
    return strokes;
}

// Finds the figure on a canvas by its axes (the first stroke after the last
// text before them is the origin, the x tip gives the scale) and checks that
// the pen strokes after the "y" label follow the trace, each within a pixel
// or two of the plain double-precision mapping.
void ExpectCanvasFollowsTrace(const RecordingCanvas& canvas, const RecordingSink& sink,
                              const GeneralData& data, std::size_t axesFrom)
{
    const auto& ops = canvas.ops;
    ASSERT_LT(axesFrom + 2, ops.size());
    ASSERT_EQ(ops[axesFrom].kind, RecordingCanvas::Op::MoveTo);
    ASSERT_EQ(ops[axesFrom + 1].kind, RecordingCanvas::Op::LineTo);
    const double originX = ops[axesFrom].x1;
    const double originY = ops[axesFrom].y1;
    const double reach = ops[axesFrom + 1].x1 - originX; // 0.4 side
    const double scale = reach / data.XmaxL;

    std::size_t texts = 0;
    std::size_t at = axesFrom;
    while (at < ops.size() && texts < 2)
        texts += ops[at++].kind == RecordingCanvas::Op::Text ? 1 : 0;

    const std::vector<Stroke> expected = ExpectedStrokes(sink);
    ASSERT_EQ(ops.size() - at, expected.size()) << "strokes after the axes";
    for (const Stroke& stroke : expected) {
        const RecordingCanvas::Op& op = ops[at++];
        ASSERT_EQ(op.kind, stroke.draw ? RecordingCanvas::Op::LineTo : RecordingCanvas::Op::MoveTo);
        const double x = originX + scale * stroke.p.x;
        const double y = originY - scale * stroke.p.y;
        // The scale read off the truncated axis may be off by 1 / XmaxL
        // pixels per unit; far outside the figure the pixel saturates and
        // only its side matters.
        const double tolerance =
            2.0 + (std::fabs(stroke.p.x) + std::fabs(stroke.p.y)) / data.XmaxL;
        if (std::fabs(x) < kPixelLimit / 2)
            ASSERT_NEAR(op.x1, x, tolerance) << "stroke " << at;
        else
            ASSERT_EQ(op.x1 > 0, x > 0);
        if (std::fabs(y) < kPixelLimit / 2)
            ASSERT_NEAR(op.y1, y, tolerance) << "stroke " << at;
        else
            ASSERT_EQ(op.y1 > 0, y > 0);
    }
}

std::size_t FirstOp(const RecordingCanvas& canvas, RecordingCanvas::Op::Kind kind, std::size_t from)
{
    while (from < canvas.ops.size() && canvas.ops[from].kind != kind)
        ++from;
    return from;
}

// The numbers of a PicTeX line after its first `skip` characters.
std::vector<double> Numbers(const std::string& line, std::size_t skip)
{
    std::vector<double> numbers;
    std::istringstream in(line.substr(skip));
    double value;
    while (in >> value)
        numbers.push_back(value);
    return numbers;
}

// Reads the curve points and the segments back from a PicTeX file, in model
// units, and compares them with the trace: the same points in the same order,
// each within the rounding of "%6.1f".
void ExpectPicTeXFollowsTrace(const std::string& file, const RecordingSink& sink,
                              const GeneralData& data)
{
    std::vector<ModelPoint> written;
    std::istringstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t skip = 0;
        if (line.rfind("  \\plot ", 0) == 0 || line.rfind("  %\\plot ", 0) == 0)
            skip = line.find("plot") + 4;
        else if (line.rfind("        ", 0) == 0)
            skip = 8;
        else
            continue;
        const std::vector<double> numbers = Numbers(line.substr(0, line.size() - (line.back() == '/' ? 1 : 0)), skip);
        ASSERT_EQ(numbers.size() % 2, 0u) << line;
        for (std::size_t i = 0; i < numbers.size(); i += 2)
            written.push_back({numbers[i], numbers[i + 1]});
    }

    std::vector<ModelPoint> traced;
    for (const SinkCall& call : sink.calls) {
        if (call.kind == SinkCall::CurvePoint)
            traced.push_back(call.p);
        else if (call.kind == SinkCall::Segment) {
            traced.push_back(call.p);
            traced.push_back(call.q);
        }
    }
    ASSERT_EQ(written.size(), traced.size());
    for (std::size_t i = 0; i < traced.size(); ++i) {
        ASSERT_NEAR(written[i].x, data.TexScale * traced[i].x, 0.051) << "point " << i;
        ASSERT_NEAR(written[i].y, data.TexScale * traced[i].y, 0.051) << "point " << i;
    }
}

// The marks of a marked page: every red point within the window's square
// around the axes' origin (the x axis reaches its edge), and the results
// block without a non-number in it.
void ExpectMarksInsideTheWindow(const RecordingCanvas& page)
{
    const std::vector<RecordingCanvas::Line> lines = page.Lines();
    if (lines.empty())
        return; // no room for a figure
    const int ox = lines[0].x1;
    const int oy = lines[0].y1;
    const int reach = lines[0].x2 - ox + 1;
    bool red = false;
    bool results = false; // within the results block
    for (const RecordingCanvas::Op& op : page.ops) {
        if (op.kind == RecordingCanvas::Op::Pen)
            red = op.color == kMarkColor;
        const bool point = op.kind == RecordingCanvas::Op::MoveTo ||
                           op.kind == RecordingCanvas::Op::LineTo ||
                           op.kind == RecordingCanvas::Op::Dot;
        if (red && point) {
            ASSERT_LE(std::abs(op.x1 - ox), reach);
            ASSERT_LE(std::abs(op.y1 - oy), reach);
        }
        if (op.kind == RecordingCanvas::Op::Text && op.text == "Results")
            results = true;
        else if (op.kind == RecordingCanvas::Op::Text && op.font.bold)
            results = false;
        if (results && op.kind == RecordingCanvas::Op::Text) {
            ASSERT_EQ(op.text.find("nan"), std::string::npos) << op.text;
            ASSERT_EQ(op.text.find("inf"), std::string::npos) << op.text;
            ASSERT_LE(op.text.size(), 60u) << op.text;
        }
    }
}

TEST(OutputProperties, RandomParameterSetsGiveSafeAndMatchingOutputs)
{
    std::mt19937_64 random(20261211);
    for (int set = 0; set < kParameterSets; ++set) {
        const GeneralData data = RandomParameters(random);
        SCOPED_TRACE(Describe(data));

        RecordingSink sink;
        FlowNetTracer::Trace(data, sink);
        ExpectSinkPointsInsideTheWindow(sink, data);

        RecordingCanvas screen;
        DrawScreenPlot(screen, data, 500);
        ExpectPixelsInSafeRange(screen);
        ExpectCanvasFollowsTrace(screen, sink, data, FirstOp(screen, RecordingCanvas::Op::MoveTo, 0));

        // An A4 page at 600 dots per inch.
        RecordingCanvas page;
        PrintReportPage(page, 4960, 7016, 1, data);
        ExpectPixelsInSafeRange(page);
        ExpectCanvasFollowsTrace(page, sink, data, FirstOp(page, RecordingCanvas::Op::MoveTo, 0));

        RecordingCanvas marked;
        PrintReportPage(marked, 4960, 7016, 1, data, true);
        ExpectPixelsInSafeRange(marked);
        ExpectMarksInsideTheWindow(marked);

        StringTextStream pictex;
        WritePicTeX(pictex, data);
        ExpectPicTeXFollowsTrace(pictex.Text(), sink, data);

        if (HasFatalFailure() || HasFailure())
            return;
    }
}

} // namespace
} // namespace brelloc
