#include "ScreenPlot.h"

#include "FlowNetFigure.h"
#include "FlowNetTracer.h"
#include "RecordingCanvas.h"
#include "RecordingSink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brelloc {
namespace {

using test::RecordingCanvas;
using Line = RecordingCanvas::Line;

struct LayoutCase {
    const char* name;
    int clientWidth, clientHeight, gridTop, gridHeight;
    int top, side, left;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class ScreenPlotLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ScreenPlotLayoutTest, PlacesTheSquareBelowTheGrid)
{
    const LayoutCase& c = GetParam();
    const ScreenPlotLayout layout =
        ComputeScreenPlotLayout(c.clientWidth, c.clientHeight, c.gridTop, c.gridHeight);
    EXPECT_EQ(layout.top, c.top);
    EXPECT_EQ(layout.side, c.side);
    EXPECT_EQ(layout.left, c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ScreenPlotLayoutTest,
    ::testing::Values(
        // Wider than tall below the grid: the height decides, centred across
        // ((900 - 347) / 2 truncates).
        LayoutCase{"wide", 900, 500, 60, 77, 145, 347, 276},
        // Narrow: the width decides and the square keeps an 8-pixel border.
        LayoutCase{"narrow", 400, 700, 60, 77, 145, 384, 8},
        // Both limits equal.
        LayoutCase{"square", 416, 553, 60, 77, 145, 400, 8},
        // The start-up window's client area.
        LayoutCase{"startup", 572, 525, 60, 77, 145, 372, 100}),
    [](const auto& info) { return std::string(info.param.name); });

// The default parameters with XmaxL 3 on a square of side 500: 66.67 pixels
// per L around the centre (250, 250).
class ScreenPlotPictureTest : public ::testing::Test {
protected:
    void SetUp() override { DrawScreenPlot(canvas, data, 500); }

    GeneralData data;
    RecordingCanvas canvas;
};

TEST_F(ScreenPlotPictureTest, FillsTheSquareAquaWithABlackOutlineFirst)
{
    ASSERT_GE(canvas.ops.size(), 3u);
    EXPECT_EQ(canvas.ops[0].kind, RecordingCanvas::Op::Brush);
    EXPECT_EQ(canvas.ops[0].color, kAqua);
    EXPECT_EQ(canvas.ops[1].kind, RecordingCanvas::Op::Pen);
    EXPECT_EQ(canvas.ops[1].color, kBlack);
    const RecordingCanvas::Op& square = canvas.ops[2];
    EXPECT_EQ(square.kind, RecordingCanvas::Op::Rectangle);
    EXPECT_EQ(square.x1, 0);
    EXPECT_EQ(square.y1, 0);
    EXPECT_EQ(square.x2, 500);
    EXPECT_EQ(square.y2, 500);
    // Nothing changes the colours afterwards: one aqua brush, one black pen.
    for (std::size_t i = 3; i < canvas.ops.size(); ++i) {
        EXPECT_NE(canvas.ops[i].kind, RecordingCanvas::Op::Pen);
        EXPECT_NE(canvas.ops[i].kind, RecordingCanvas::Op::Brush);
        EXPECT_NE(canvas.ops[i].kind, RecordingCanvas::Op::Font);
    }
}

TEST_F(ScreenPlotPictureTest, DrawsTheAxesWithArrowheadsAndLabels)
{
    // The recording font is 8 pt: "xx" is 16 wide, so the arrowhead is 16 long
    // and 4 to each side; "x" is 16 high and "y" 8 wide.
    const std::vector<Line> expected = {
        {250, 250, 450, 250}, {450, 250, 434, 246}, {450, 250, 434, 254},
        // The y tip is row 49, not 50: 250 - 0.4 * 500 lies just below 50.
        {250, 250, 250, 49},  {250, 49, 246, 65},   {250, 49, 254, 65},
    };
    const std::vector<Line> lines = canvas.Lines();
    ASSERT_GE(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "stroke " << i;

    const std::vector<RecordingCanvas::Op> texts = canvas.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "x");
    EXPECT_EQ(texts[0].x1, 450 + 16);
    EXPECT_EQ(texts[0].y1, 250 - 8);
    EXPECT_EQ(texts[1].text, "y");
    EXPECT_EQ(texts[1].x1, 250 + 12);
    EXPECT_EQ(texts[1].y1, 49 - 8);
}

// Where there is no flow the square says so, centred across and in the
// middle of its lower half: 31 characters of 8 pixels, 16 high.
TEST(ScreenPlotNoFlowTest, SaysSoBelowTheAxes)
{
    GeneralData data;
    data.HL = 0.0;
    data.NK = 0.0;
    UpdateDerived(data);
    RecordingCanvas canvas;
    DrawScreenPlot(canvas, data, 500);
    const std::vector<RecordingCanvas::Op> texts = canvas.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2].text, "no flow: H/L and N/k are both 0");
    EXPECT_EQ(texts[2].x1, (500 - 31 * 8) / 2);
    EXPECT_EQ(texts[2].y1, 250 + 125 - 8);

    // Either value alone drives a flow: no such text.
    for (const double hl : {0.0, 0.2}) {
        GeneralData flowing = data;
        flowing.HL = hl;
        flowing.NK = hl == 0.0 ? 0.5 : 0.0;
        UpdateDerived(flowing);
        RecordingCanvas plain;
        DrawScreenPlot(plain, flowing, 500);
        EXPECT_EQ(plain.Texts().size(), 2u) << hl;
    }
}

// The "y" label stands one and a half glyph widths right of the axis,
// rounded down as a whole: (3 * 7) / 2 = 10 for a glyph 7 wide, not 9
// (3 * (7 / 2)) or 7 ((3 / 2) * 7). Arrowheads are "xx" long and a
// quarter of that to each side; labels are half a line higher.
TEST(FigureAxesTest, LabelsFollowTheGlyphMetricsOfOddWidths)
{
    struct Case {
        double pointSize; // glyphs this many pixels wide, twice as high
        int yLabelX, arrow, half;
    };
    const Case cases[] = {
        {7.0, 250 + 10, 14, 3},
        {9.0, 250 + 13, 18, 4},
        {8.0, 250 + 12, 16, 4},
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        canvas.font.pointSize = c.pointSize;
        FigureLayout layout;
        layout.side = 500;
        DrawFigureAxes(canvas, layout);
        const std::vector<RecordingCanvas::Op> texts = canvas.Texts();
        ASSERT_EQ(texts.size(), 2u);
        const int lineHeight = static_cast<int>(2 * c.pointSize);
        EXPECT_EQ(texts[0].x1, 450 + c.arrow) << c.pointSize;
        EXPECT_EQ(texts[0].y1, 250 - lineHeight / 2) << c.pointSize;
        EXPECT_EQ(texts[1].x1, c.yLabelX) << c.pointSize;
        EXPECT_EQ(texts[1].y1, 49 - lineHeight / 2) << c.pointSize;
        const std::vector<Line> lines = canvas.Lines();
        ASSERT_GE(lines.size(), 6u);
        EXPECT_EQ(lines[1], (Line{450, 250, 450 - c.arrow, 250 - c.half})) << c.pointSize;
        EXPECT_EQ(lines[5], (Line{250, 49, 250 + c.half, 49 + c.arrow})) << c.pointSize;
    }
}

struct MappingCase {
    double x, y;
    int column, row;
};

TEST(ScreenPlotMappingTest, MapsModelPointsByTruncation)
{
    GeneralData data;
    FigureLayout layout;
    layout.side = 500;
    RecordingCanvas canvas;
    CanvasSink sink(canvas, layout.OriginX(), layout.OriginY(), layout.Scale(data));
    // scale = 500 * 0.4 / 3, a hair above 66.6667.
    const MappingCase cases[] = {
        {0.0, 0.0, 250, 250},
        {1.0, 0.0, 316, 250},     // right drain end: 316.67
        {0.0, 0.2, 250, 236},     // left drain: 250 - 13.33
        {-1.0, -0.2, 183, 263},
        {-4.0, 4.0, -16, -16},    // -16.67 truncates toward zero, not down
        {3.0, 3.0, 450, 49},      // window corner: 0.4 above 0.4 again
        {-3.0, -3.0, 49, 450},
        {1e300, -1e300, 1 << 24, 1 << 24}, // far away: saturated
    };
    for (const MappingCase& c : cases) {
        EXPECT_EQ(sink.PixelX(c.x), c.column) << c.x;
        EXPECT_EQ(sink.PixelY(c.y), c.row) << c.y;
    }
}

// The strokes after the axes follow the tracer's calls one by one: curves as
// a move to their start and lines to every later sample, each segment as a
// move and a line.
TEST(ScreenPlotNetTest, DrawsTheTracersCurvesAndSegmentsInOrder)
{
    GeneralData data;
    data.HL = 0.4;
    data.Squares = 4;
    UpdateDerived(data);

    RecordingCanvas canvas;
    DrawScreenPlot(canvas, data, 600);
    test::RecordingSink sink;
    FlowNetTracer::Trace(data, sink);

    // The figure's pixel arithmetic: side * 0.4 / XmaxL and origin + s * x
    // with a 64-bit mantissa, the double 0.4 slightly above 0.4, truncated.
    const double scale = static_cast<double>(600.0L * static_cast<long double>(0.4) / 3.0L);
    const auto column = [&](double x) {
        return static_cast<int>(std::trunc(300.0L + static_cast<long double>(scale) * x));
    };
    const auto row = [&](double y) {
        return static_cast<int>(std::trunc(300.0L - static_cast<long double>(scale) * y));
    };

    // Every MoveTo and LineTo after the label "y", against the sink's calls.
    std::vector<RecordingCanvas::Op> pen;
    bool afterLabels = false;
    for (const RecordingCanvas::Op& op : canvas.ops) {
        if (op.kind == RecordingCanvas::Op::Text && op.text == "y")
            afterLabels = true;
        else if (afterLabels &&
                 (op.kind == RecordingCanvas::Op::MoveTo || op.kind == RecordingCanvas::Op::LineTo))
            pen.push_back(op);
    }

    std::size_t at = 0;
    std::size_t curves = 0, segments = 0;
    const auto expect = [&](RecordingCanvas::Op::Kind kind, ModelPoint p, const char* what) {
        ASSERT_LT(at, pen.size()) << what;
        EXPECT_EQ(pen[at].kind, kind) << what << " at pen op " << at;
        EXPECT_EQ(pen[at].x1, column(p.x)) << what << " at pen op " << at;
        EXPECT_EQ(pen[at].y1, row(p.y)) << what << " at pen op " << at;
        ++at;
    };
    for (const test::SinkCall& call : sink.calls) {
        switch (call.kind) {
        case test::SinkCall::BeginCurve:
            ++curves;
            expect(RecordingCanvas::Op::MoveTo, call.p, "curve start");
            break;
        case test::SinkCall::CurvePoint:
            if (call.k != 0)
                expect(RecordingCanvas::Op::LineTo, call.p, "curve sample");
            break;
        case test::SinkCall::Segment:
            ++segments;
            expect(RecordingCanvas::Op::MoveTo, call.p, "segment start");
            expect(RecordingCanvas::Op::LineTo, call.q, "segment end");
            break;
        default: break;
        }
        if (::testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_EQ(at, pen.size()) << "strokes beyond the tracer's calls";
    EXPECT_EQ(curves, 3u);
    EXPECT_GT(segments, 100u);
}

TEST(ScreenPlotNetTest, SecondDrawingIsIdentical)
{
    GeneralData data;
    RecordingCanvas first, second;
    DrawScreenPlot(first, data, 420);
    DrawScreenPlot(second, data, 420);
    EXPECT_EQ(first.Lines(), second.Lines());
}

} // namespace
} // namespace brelloc
