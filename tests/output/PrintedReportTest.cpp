#include "PrintedReport.h"

#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brelloc {
namespace {

using test::RecordingCanvas;
using Op = RecordingCanvas::Op;

// Metrics unlike the recording canvas' own, so 1.25 x Hh has a fraction:
// headings 27 pixels high, body lines 15.
class OddMetricsCanvas : public RecordingCanvas {
public:
    int TextHeight(const std::string&) override { return font.bold ? 27 : 15; }
};

struct ExpectedLine {
    std::string text;
    int x, y;
    bool heading;
};

struct PageCase {
    const char* name;
    bool oddMetrics;
    std::vector<ExpectedLine> lines;
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

class ReportPageLinesTest : public ::testing::TestWithParam<PageCase> {};

// A stand-in page of 4000 x 5600 device pixels: LeftMargin 200, and the body
// font's "Page 9999999" is 12 x 8 = 96 wide on the recording canvas.
TEST_P(ReportPageLinesTest, PutsEveryLineWhereTheLayoutSays)
{
    const PageCase& c = GetParam();
    RecordingCanvas plain;
    OddMetricsCanvas odd;
    RecordingCanvas& canvas = c.oddMetrics ? odd : plain;
    GeneralData data;
    PrintReportPage(canvas, 4000, 5600, 1, data);

    const std::vector<Op> texts = canvas.Texts();
    // The page's lines, then the two axis labels.
    ASSERT_EQ(texts.size(), c.lines.size() + 2);
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        const ExpectedLine& e = c.lines[i];
        EXPECT_EQ(texts[i].text, e.text);
        EXPECT_EQ(texts[i].x1, e.x) << e.text;
        EXPECT_EQ(texts[i].y1, e.y) << e.text;
        EXPECT_EQ(texts[i].font.bold, e.heading) << e.text;
        EXPECT_EQ(texts[i].font.pointSize, e.heading ? 10.0 : 8.0) << e.text;
        EXPECT_EQ(texts[i].font.family, "MS Sans Serif") << e.text;
    }
}

const std::string kCredit = "A Korvanne University Geotechnics Program";
// The start-up values' results (divide 0.19851, 0.34064; stagnation point
// -0.17345; water-table top 0.37268, 0.35815; 0.09926 and 0.40074 k L).
const std::string kDivide = "Divide: x/L = 0.199, y/L = 0.341";
const std::string kStagnation = "Stagnation point: x/L = -0.173";
const std::string kTop = "Water-table top: x/L = 0.373, y/L = 0.358";
const std::string kLeft = "Left drain takes Q/kL = 0.099";
const std::string kRight = "Right drain takes Q/kL = 0.401";

INSTANTIATE_TEST_SUITE_P(
    Metrics, ReportPageLinesTest,
    ::testing::Values(
        // Hh = 20, Hb = 16: header at 20, 20 + 25, 45 + 20; Y1 = 4 Hh + 25 = 105;
        // Y2 = Y1 + 5 Hb = 185.
        PageCase{"recording",
                 false,
                 {{"Brelloc - Groundwater Divide", 200, 20, true},
                  {"Page 1", 3904, 20, false},
                  {kCredit, 200, 45, false},
                  {kReportNotice, 200, 65, false},
                  {"General Data", 200, 105, true},
                  {"H/L =  0.200", 200, 137, false},
                  {"N/k =  0.500", 200, 153, false},
                  // The results from the middle of the page, five lines from
                  // Y1 + 2 Hb down to the figure's top edge, 217.
                  {"Results", 2000, 105, true},
                  {kDivide, 2000, 137, false},
                  {kStagnation, 2000, 153, false},
                  {kTop, 2000, 169, false},
                  {kLeft, 2000, 185, false},
                  {kRight, 2000, 201, false},
                  {"Potential lines and stream lines", 200, 185, true}}},
        // Hh = 27, Hb = 15: 1.25 x 27 = 33.75 is truncated to 33.
        PageCase{"odd",
                 true,
                 {{"Brelloc - Groundwater Divide", 200, 27, true},
                  {"Page 1", 3904, 27, false},
                  {kCredit, 200, 60, false},
                  {kReportNotice, 200, 87, false},
                  {"General Data", 200, 141, true},
                  {"H/L =  0.200", 200, 171, false},
                  {"N/k =  0.500", 200, 186, false},
                  {"Results", 2000, 141, true},
                  {kDivide, 2000, 171, false},
                  {kStagnation, 2000, 186, false},
                  {kTop, 2000, 201, false},
                  {kLeft, 2000, 216, false},
                  {kRight, 2000, 231, false},
                  {"Potential lines and stream lines", 200, 216, true}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportPageTest, SetsABlackPenAndWhiteBrushBeforeDrawing)
{
    RecordingCanvas canvas;
    PrintReportPage(canvas, 4000, 5600, 1, GeneralData{});
    ASSERT_GE(canvas.ops.size(), 2u);
    EXPECT_EQ(canvas.ops[0].kind, Op::Pen);
    EXPECT_EQ(canvas.ops[0].color, kBlack);
    EXPECT_EQ(canvas.ops[1].kind, Op::Brush);
    EXPECT_EQ(canvas.ops[1].color, kWhite);
    for (std::size_t i = 2; i < canvas.ops.size(); ++i) {
        EXPECT_NE(canvas.ops[i].kind, Op::Pen);
        EXPECT_NE(canvas.ops[i].kind, Op::Brush);
        // No frame and no background for the figure.
        EXPECT_NE(canvas.ops[i].kind, Op::Rectangle);
    }
}

TEST(ReportPageTest, PageColumnIsFixedWhateverTheNumber)
{
    for (int number : {1, 12, 1234567}) {
        RecordingCanvas canvas;
        ReportPage page{canvas};
        page.PageWidth = 3000;
        page.PageHeight = 4000;
        page.PageNumber = number;
        page.LeftMargin = 150;
        PrintPageHeader(page);
        const std::vector<Op> texts = canvas.Texts();
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[1].text, "Page " + std::to_string(number));
        EXPECT_EQ(texts[1].x1, 3000 - 96);
        // A seven-digit number ends exactly at the right edge.
        if (number == 1234567) {
            EXPECT_EQ(texts[1].x1 + canvas.TextWidth(texts[1].text), 3000);
        }
    }
}

TEST(ReportPageTest, ValuesAreFormattedToSixCharacters)
{
    GeneralData data;
    data.HL = 12.3456;
    data.NK = 0.0004;
    RecordingCanvas canvas;
    PrintReportPage(canvas, 4000, 5600, 1, data);
    const std::vector<Op> texts = canvas.Texts();
    ASSERT_GE(texts.size(), 7u);
    EXPECT_EQ(texts[5].text, "H/L = 12.346");
    EXPECT_EQ(texts[6].text, "N/k =  0.000");
}

struct FigureCase {
    const char* name;
    int pageWidth, pageHeight;
    int originX, originY, tipX, tipY;
};

void PrintTo(const FigureCase& c, std::ostream* os) { *os << c.name; }

class ReportFigureTest : public ::testing::TestWithParam<FigureCase> {};

// The figure's top edge is at Y2 + 2 Hb = 217 on the recording canvas.
TEST_P(ReportFigureTest, SquareFitsThePageAndCarriesTheAxes)
{
    const FigureCase& c = GetParam();
    RecordingCanvas canvas;
    PrintReportPage(canvas, c.pageWidth, c.pageHeight, 1, GeneralData{});

    // Arrowheads 16 long and 4 wide in the 8-pt body font.
    const std::vector<RecordingCanvas::Line> axes = {
        {c.originX, c.originY, c.tipX, c.originY},
        {c.tipX, c.originY, c.tipX - 16, c.originY - 4},
        {c.tipX, c.originY, c.tipX - 16, c.originY + 4},
        {c.originX, c.originY, c.originX, c.tipY},
        {c.originX, c.tipY, c.originX - 4, c.tipY + 16},
        {c.originX, c.tipY, c.originX + 4, c.tipY + 16},
    };
    const std::vector<RecordingCanvas::Line> lines = canvas.Lines();
    ASSERT_GT(lines.size(), axes.size());
    for (std::size_t i = 0; i < axes.size(); ++i)
        EXPECT_EQ(lines[i], axes[i]) << "stroke " << i;

    // The page's 14 lines (results included), then the labels.
    const std::vector<Op> texts = canvas.Texts();
    ASSERT_EQ(texts.size(), 16u);
    EXPECT_EQ(texts[14].text, "x");
    EXPECT_EQ(texts[14].x1, c.tipX + 16);
    EXPECT_EQ(texts[14].y1, c.originY - 8);
    EXPECT_EQ(texts[15].text, "y");
    EXPECT_EQ(texts[15].x1, c.originX + 12);
    EXPECT_EQ(texts[15].y1, c.tipY - 8);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ReportFigureTest,
    ::testing::Values(
        // Portrait: the width limits, side = 4000 - 200 = 3800, so the square
        // reaches the right edge (200 + 3800); the y tip 2117 - 1520 lands on
        // 596 because the double 0.4 lies above 0.4.
        FigureCase{"portrait", 4000, 5600, 2100, 2117, 3620, 596},
        // Landscape: the height limits, side = trunc(4000 - 1.2 x 217) = 3739;
        // the square ends at 217 + 3739 = 3956, within one pixel above
        // 4000 - 0.2 x 217 = 3956.6, with room left on the right. The tips
        // lie 1495.6 from the origin (2149, 2086).
        FigureCase{"landscape", 5600, 4000, 280 + 1869, 217 + 1869, 3644, 590}),
    [](const auto& info) { return std::string(info.param.name); });

// Offsets from the origin of the water table's drawn samples.
std::vector<std::pair<int, int>> WaterTableOffsets(const RecordingCanvas& canvas)
{
    std::vector<std::pair<int, int>> offsets;
    const std::vector<RecordingCanvas::Line> lines = canvas.Lines();
    const int ox = lines.at(0).x1;
    const int oy = lines.at(0).y1;
    // After the six axis strokes, the first curve runs until the next MoveTo.
    int moves = 0;
    bool afterLabels = false;
    for (const Op& op : canvas.ops) {
        if (op.kind == Op::Text && op.text == "y") {
            afterLabels = true;
        } else if (afterLabels && op.kind == Op::MoveTo) {
            if (++moves == 2)
                break;
        } else if (afterLabels && op.kind == Op::LineTo) {
            offsets.emplace_back(op.x1 - ox, op.y1 - oy);
        }
    }
    return offsets;
}

TEST(ReportFigureScaleTest, LargerXmaxLShrinksTheNetButNotTheAxes)
{
    GeneralData near, far;
    far.XmaxL = 6.0;
    UpdateDerived(far);
    RecordingCanvas nearCanvas, farCanvas;
    PrintReportPage(nearCanvas, 4000, 5600, 1, near);
    PrintReportPage(farCanvas, 4000, 5600, 1, far);

    const std::vector<RecordingCanvas::Line> nearLines = nearCanvas.Lines();
    const std::vector<RecordingCanvas::Line> farLines = farCanvas.Lines();
    ASSERT_GT(nearLines.size(), 6u);
    ASSERT_GT(farLines.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(nearLines[i], farLines[i]) << "axis stroke " << i;

    // The water table lies inside both windows: the same samples, each half
    // as far from the origin.
    const auto nearTable = WaterTableOffsets(nearCanvas);
    const auto farTable = WaterTableOffsets(farCanvas);
    ASSERT_GT(nearTable.size(), 50u);
    ASSERT_EQ(nearTable.size(), farTable.size());
    bool moved = false;
    for (std::size_t i = 0; i < nearTable.size(); ++i) {
        EXPECT_NEAR(farTable[i].first, nearTable[i].first / 2.0, 1.0) << "sample " << i;
        EXPECT_NEAR(farTable[i].second, nearTable[i].second / 2.0, 1.0) << "sample " << i;
        moved = moved || farTable[i] != nearTable[i];
    }
    EXPECT_TRUE(moved);
}

struct TightPageCase {
    int pageHeight;
    bool figure;
};

// The figure's top edge is at 217, so hmax = trunc(PageHeight - 260.4).
TEST(ReportFigureScaleTest, NoRoomMeansNothingBelowTheHeading)
{
    const TightPageCase cases[] = {{200, false}, {261, false}, {262, true}, {400, true}};
    for (const TightPageCase& c : cases) {
        RecordingCanvas canvas;
        PrintReportPage(canvas, 4000, c.pageHeight, 1, GeneralData{});
        const std::vector<Op> texts = canvas.Texts();
        ASSERT_GE(texts.size(), 14u);
        EXPECT_EQ(texts[13].text, "Potential lines and stream lines");
        if (c.figure) {
            EXPECT_EQ(texts.size(), 16u) << c.pageHeight;
            EXPECT_FALSE(canvas.Lines().empty()) << c.pageHeight;
        } else {
            EXPECT_EQ(texts.size(), 14u) << c.pageHeight;
            EXPECT_TRUE(canvas.Lines().empty()) << c.pageHeight;
            EXPECT_EQ(canvas.ops.back().kind, Op::Font) << c.pageHeight;
        }
    }
}

struct ResultsCase {
    const char* name;
    double hl, nk;
    std::vector<std::string> lines; // the five lines under "Results"
};

void PrintTo(const ResultsCase& c, std::ostream* os) { *os << c.name; }

class ReportResultsTest : public ::testing::TestWithParam<ResultsCase> {};

TEST_P(ReportResultsTest, ListsTheResultsWithThreeDecimalsOrNone)
{
    const ResultsCase& c = GetParam();
    GeneralData data;
    data.HL = c.hl;
    data.NK = c.nk;
    UpdateDerived(data);
    RecordingCanvas canvas;
    PrintReportPage(canvas, 4000, 5600, 1, data);
    const std::vector<Op> texts = canvas.Texts();
    ASSERT_GE(texts.size(), 13u);
    EXPECT_EQ(texts[7].text, "Results");
    for (std::size_t i = 0; i < c.lines.size(); ++i)
        EXPECT_EQ(texts[8 + i].text, c.lines[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, ReportResultsTest,
    ::testing::Values(
        ResultsCase{"startup", 0.2, 0.5, {kDivide, kStagnation, kTop, kLeft, kRight}},
        // No stagnation point: no divide, all of it to the right drain, the
        // water table rising to the left drain's end.
        ResultsCase{"no_divide",
                    2.0,
                    0.5,
                    {"Divide: none", "Stagnation point: none",
                     "Water-table top: x/L = 0.000, y/L = 2.000", "Left drain takes Q/kL = 0.000",
                     "Right drain takes Q/kL = 0.500"}},
        ResultsCase{"no_infiltration",
                    0.2,
                    0.0,
                    {"Divide: none", "Stagnation point: none",
                     "Water-table top: x/L = 0.000, y/L = 0.200", "Left drain takes Q/kL = 0.000",
                     "Right drain takes Q/kL = 0.000"}},
        // Both drains level: the divide in the middle, no stagnation point.
        ResultsCase{"level_drains",
                    0.0,
                    0.5,
                    {"Divide: x/L = 0.500, y/L = 0.250", "Stagnation point: none",
                     "Water-table top: x/L = 0.500, y/L = 0.250", "Left drain takes Q/kL = 0.250",
                     "Right drain takes Q/kL = 0.250"}},
        // A stagnation point far out (x = -98174769.9) in powers of ten.
        ResultsCase{"far_stagnation",
                    1e-9,
                    0.5,
                    {"Divide: x/L = 0.500, y/L = 0.250", "Stagnation point: x/L = -9.817e7",
                     "Water-table top: x/L = 0.500, y/L = 0.250", "Left drain takes Q/kL = 0.250",
                     "Right drain takes Q/kL = 0.250"}},
        // Its x beyond any double; a water table 5e99 high.
        ResultsCase{"extreme",
                    1e-200,
                    1e100,
                    {"Divide: x/L = 0.500, y/L = 5.000e99", "Stagnation point: x/L out of range",
                     "Water-table top: x/L = 0.500, y/L = 5.000e99",
                     "Left drain takes Q/kL = 5.000e99", "Right drain takes Q/kL = 5.000e99"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Cell {
    std::string text;
    int left, top, right, bottom; // right and bottom exclusive
};

// Every text cell of the page, measured in its own font as the canvas did.
std::vector<Cell> TextCells(RecordingCanvas& canvas)
{
    std::vector<Cell> cells;
    for (const Op& op : canvas.Texts()) {
        canvas.font = op.font;
        cells.push_back({op.text, op.x1, op.y1, op.x1 + canvas.TextWidth(op.text),
                         op.y1 + canvas.TextHeight(op.text)});
    }
    return cells;
}

struct BlockCase {
    const char* name;
    bool oddMetrics;
    int pageWidth, pageHeight;
    int blockX; // where the results stand
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class ReportResultsBlockTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(ReportResultsBlockTest, StandsInTheFreeSpaceBesideTheGeneralData)
{
    const BlockCase& c = GetParam();
    RecordingCanvas plain;
    OddMetricsCanvas odd;
    RecordingCanvas& canvas = c.oddMetrics ? odd : plain;
    PrintReportPage(canvas, c.pageWidth, c.pageHeight, 1, GeneralData{});
    const std::vector<Cell> cells = TextCells(canvas);
    ASSERT_EQ(cells.size(), 16u);

    // The block: "Results" level with "General Data", the lines left-aligned.
    const Cell& heading = cells[7];
    ASSERT_EQ(heading.text, "Results");
    EXPECT_EQ(heading.top, cells[4].top);
    for (std::size_t i = 7; i < 13; ++i)
        EXPECT_EQ(cells[i].left, c.blockX) << cells[i].text;
    int blockRight = 0;
    for (std::size_t i = 7; i < 13; ++i)
        blockRight = std::max(blockRight, cells[i].right);
    EXPECT_LE(blockRight, c.pageWidth);

    // No text cell of the page overlaps another.
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t j = i + 1; j < cells.size(); ++j) {
            const Cell& a = cells[i];
            const Cell& b = cells[j];
            const bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top ||
                               b.bottom <= a.top;
            EXPECT_TRUE(apart) << "\"" << a.text << "\" overlaps \"" << b.text << "\"";
        }

    // The block ends at or above the figure's top edge (heading + 2 Hb), and
    // no stroke of the figure enters it.
    const int hb = cells[5].bottom - cells[5].top;
    const int figureTop = cells[13].top + 2 * hb;
    EXPECT_LE(cells[12].bottom, figureTop);
    for (const RecordingCanvas::Line& line : canvas.Lines()) {
        const int lineLeft = std::min(line.x1, line.x2), lineRight = std::max(line.x1, line.x2);
        const int lineTop = std::min(line.y1, line.y2), lineBottom = std::max(line.y1, line.y2);
        EXPECT_GE(lineTop, figureTop);
        const bool apart = lineRight < c.blockX || lineLeft >= blockRight ||
                           lineBottom < heading.top || lineTop >= cells[12].bottom;
        EXPECT_TRUE(apart) << line.x1 << "," << line.y1 << " - " << line.x2 << "," << line.y2;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ReportResultsBlockTest,
    ::testing::Values(
        BlockCase{"portrait", false, 4000, 5600, 2000},
        BlockCase{"landscape", false, 5600, 4000, 2800},
        BlockCase{"odd_metrics", true, 4000, 5600, 2000},
        // A narrow page: the figure's heading (32 x 11 = 352 from the margin
        // 40) reaches past the middle, 400, so the block starts two body "x"
        // (16) beyond its end: 40 + 352 + 16 = 408.
        BlockCase{"narrow", false, 800, 1400, 408}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace brelloc
