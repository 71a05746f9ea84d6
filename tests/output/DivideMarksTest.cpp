// The results marked on a figure: the dividing stream line and the dots, in
// red, on the net's own pixels and within its window.
#include "DivideMarks.h"

#include "FlowNetFigure.h"
#include "FlowResults.h"
#include "PrintedReport.h"
#include "RecordingCanvas.h"
#include "ScreenPlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace brelloc {
namespace {

using test::RecordingCanvas;
using Op = RecordingCanvas::Op;

struct Pixel {
    int x, y;
    bool operator==(const Pixel& o) const { return x == o.x && y == o.y; }
};

std::ostream& operator<<(std::ostream& os, const Pixel& p)
{
    return os << "(" << p.x << ", " << p.y << ")";
}

// The figure's mapping written out: trunc(origin + scale * x) across and
// trunc(origin - scale * y) down, scale = side * 0.4 / XmaxL, in long double.
Pixel Map(const GeneralData& data, const FigureLayout& layout, ModelPoint p)
{
    const long double scale = static_cast<double>(static_cast<long double>(layout.side) *
                                                  static_cast<long double>(0.4) /
                                                  static_cast<long double>(data.XmaxL));
    const long double ox = layout.left + layout.side / 2;
    const long double oy = layout.top + layout.side / 2;
    return {static_cast<int>(std::trunc(ox + scale * static_cast<long double>(p.x))),
            static_cast<int>(std::trunc(oy - scale * static_cast<long double>(p.y)))};
}

bool Inside(const GeneralData& data, ModelPoint p)
{
    return std::fabs(p.x) <= data.XmaxL && std::fabs(p.y) <= data.XmaxL;
}

// What the marks drew after their red pen: the polyline pieces (a MoveTo
// starts one) and the dots.
struct Marks {
    std::vector<std::vector<Pixel>> pieces;
    std::vector<Op> dots;
    bool penBackToBlack = false;
    int redPens = 0;
};

Marks ReadMarks(const RecordingCanvas& canvas)
{
    Marks marks;
    bool red = false;
    for (const Op& op : canvas.ops) {
        if (op.kind == Op::Pen) {
            red = op.color == kMarkColor;
            marks.redPens += red;
            marks.penBackToBlack = op.color == kBlack;
        } else if (red && op.kind == Op::MoveTo) {
            marks.pieces.push_back({{op.x1, op.y1}});
        } else if (red && op.kind == Op::LineTo) {
            if (marks.pieces.empty())
                marks.pieces.emplace_back();
            marks.pieces.back().push_back({op.x1, op.y1});
        } else if (op.kind == Op::Dot) {
            EXPECT_TRUE(red) << "a dot outside the red pen";
            marks.dots.push_back(op);
        }
    }
    return marks;
}

struct MarkCase {
    const char* name;
    double hl, nk, xmaxL;
    int side;
    // Pieces of the line inside the window, and dots expected.
    std::size_t pieces;
    bool divide, stagnation; // dotted (the water-table top always is here)
};

void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.name; }

class DivideMarksTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(DivideMarksTest, LineAndDotsLandOnTheMappedResultsInsideTheWindow)
{
    const MarkCase& c = GetParam();
    GeneralData data;
    data.HL = c.hl;
    data.NK = c.nk;
    data.XmaxL = c.xmaxL;
    UpdateDerived(data);
    FigureLayout layout;
    layout.left = 30;
    layout.top = 70;
    layout.side = c.side;

    RecordingCanvas canvas;
    DrawDivideMarks(canvas, data, layout);
    const Marks marks = ReadMarks(canvas);
    EXPECT_EQ(marks.redPens, 1);
    EXPECT_TRUE(marks.penBackToBlack);

    // The pieces: runs of neighbouring line points that pass the window test.
    const std::vector<ModelPoint> line = DividingStreamLine(data);
    std::vector<std::vector<Pixel>> expected;
    bool inRun = false;
    for (const ModelPoint& p : line) {
        if (!Inside(data, p)) {
            inRun = false;
            continue;
        }
        if (!inRun)
            expected.emplace_back();
        expected.back().push_back(Map(data, layout, p));
        inRun = true;
    }
    ASSERT_EQ(marks.pieces.size(), c.pieces);
    EXPECT_EQ(marks.pieces, expected);

    const FlowResults results = ComputeResults(data);
    std::vector<Pixel> dots;
    if (c.divide)
        dots.push_back(Map(data, layout, *results.divide));
    if (c.stagnation)
        dots.push_back(Map(data, layout, *results.stagnationPoint));
    dots.push_back(Map(data, layout, results.waterTableTop));
    ASSERT_EQ(marks.dots.size(), dots.size());
    for (std::size_t i = 0; i < dots.size(); ++i) {
        EXPECT_EQ((Pixel{marks.dots[i].x1, marks.dots[i].y1}), dots[i]) << "dot " << i;
        EXPECT_EQ(marks.dots[i].x2, DivideMarkRadius(c.side)) << "dot " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, DivideMarksTest,
    ::testing::Values(
        // The whole line inside: one piece of 201 points.
        MarkCase{"startup", 0.2, 0.5, 3.0, 500, 1, true, true},
        // The stagnation point at x = -1.53 lies left of the window: the line
        // is cut where it leaves, and that end gets no dot.
        MarkCase{"stagnation_outside", 0.05, 0.5, 1.0, 800, 1, true, false},
        // H/L 0: divide and water-table top at (0.5, 0.25), no stagnation
        // point; the line goes down and leaves the window at the bottom.
        MarkCase{"no_left_drain", 0.0, 0.5, 1.0, 640, 1, true, false},
        // No divide: only the top of the water table, at the left drain's end.
        MarkCase{"no_divide", 2.0, 0.5, 3.0, 500, 0, false, false},
        MarkCase{"no_infiltration", 0.2, 0.0, 3.0, 500, 0, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DivideMarksTest, TheLineIsCutWhereItLeavesTheWindow)
{
    // Cross-checks the table: in these cases the line has points outside the
    // window, and the drawn piece stops short of them.
    for (const auto& [hl, xmaxL] : {std::pair{0.05, 1.0}, std::pair{0.0, 1.0}}) {
        GeneralData data;
        data.HL = hl;
        data.XmaxL = xmaxL;
        UpdateDerived(data);
        const std::vector<ModelPoint> line = DividingStreamLine(data);
        ASSERT_FALSE(line.empty());
        std::size_t inside = 0;
        for (const ModelPoint& p : line)
            inside += Inside(data, p);
        EXPECT_GT(inside, 10u) << hl;
        EXPECT_LT(inside, line.size()) << hl;

        FigureLayout layout;
        layout.side = 600;
        RecordingCanvas canvas;
        DrawDivideMarks(canvas, data, layout);
        const Marks marks = ReadMarks(canvas);
        ASSERT_EQ(marks.pieces.size(), 1u);
        EXPECT_EQ(marks.pieces[0].size(), inside) << hl;
        for (const Pixel& p : marks.pieces[0]) {
            EXPECT_GE(p.x, 60) << hl;
            EXPECT_LE(p.x, 540) << hl;
            EXPECT_GE(p.y, 60) << hl;
            EXPECT_LE(p.y, 540) << hl;
        }
    }
}

TEST(DivideMarksTest, DotsGrowWithTheFigure)
{
    EXPECT_EQ(DivideMarkRadius(16), 2);
    EXPECT_EQ(DivideMarkRadius(300), 2);
    EXPECT_EQ(DivideMarkRadius(800), 5);
    EXPECT_EQ(DivideMarkRadius(4500), 30);
}

TEST(DivideMarksTest, NothingForAFigureWithoutRoom)
{
    RecordingCanvas canvas;
    FigureLayout layout;
    layout.side = 0;
    DrawDivideMarks(canvas, GeneralData{}, layout);
    EXPECT_TRUE(canvas.ops.empty());
}

bool AnyRed(const RecordingCanvas& canvas)
{
    for (const Op& op : canvas.ops)
        if ((op.kind == Op::Pen || op.kind == Op::Brush) && op.color == kMarkColor)
            return true;
    return false;
}

bool AnyDot(const RecordingCanvas& canvas)
{
    for (const Op& op : canvas.ops)
        if (op.kind == Op::Dot)
            return true;
    return false;
}

bool SameOp(const Op& a, const Op& b)
{
    return a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 &&
           a.color == b.color && a.text == b.text && a.font.family == b.font.family &&
           a.font.pointSize == b.font.pointSize && a.font.bold == b.font.bold;
}

// The report's page: without marks nothing red; with them the same page,
// then the marks over the finished net.
TEST(DivideMarksTest, ReportPageGetsTheMarksOnlyWhenAskedAndOverTheNet)
{
    for (const GeneralData& data : {GeneralData{}, [] {
                                        GeneralData d;
                                        d.HL = 0.05;
                                        d.XmaxL = 1.0;
                                        UpdateDerived(d);
                                        return d;
                                    }()}) {
        RecordingCanvas plain, defaulted, marked;
        PrintReportPage(plain, 4000, 5600, 1, data, false);
        PrintReportPage(defaulted, 4000, 5600, 1, data);
        PrintReportPage(marked, 4000, 5600, 1, data, true);
        EXPECT_FALSE(AnyRed(plain));
        EXPECT_FALSE(AnyDot(plain));
        ASSERT_EQ(plain.ops.size(), defaulted.ops.size());
        for (std::size_t i = 0; i < plain.ops.size(); ++i)
            ASSERT_TRUE(SameOp(plain.ops[i], defaulted.ops[i])) << "op " << i;

        ASSERT_GT(marked.ops.size(), plain.ops.size());
        for (std::size_t i = 0; i < plain.ops.size(); ++i)
            ASSERT_TRUE(SameOp(plain.ops[i], marked.ops[i])) << "op " << i;
        const Op& first = marked.ops[plain.ops.size()];
        EXPECT_EQ(first.kind, Op::Pen);
        EXPECT_EQ(first.color, kMarkColor);
        EXPECT_TRUE(AnyDot(marked));
    }
}

TEST(DivideMarksTest, ScreenPlotStaysBlackWithoutTheMarks)
{
    RecordingCanvas canvas;
    DrawScreenPlot(canvas, GeneralData{}, 500);
    EXPECT_FALSE(AnyRed(canvas));
    EXPECT_FALSE(AnyDot(canvas));
}

} // namespace
} // namespace brelloc
