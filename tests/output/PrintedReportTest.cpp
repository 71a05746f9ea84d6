#include "PrintedReport.h"

#include "RecordingCanvas.h"

#include <gtest/gtest.h>

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

    const std::vector<Op> texts = canvas.Texts();
    ASSERT_EQ(texts.size(), 10u);
    EXPECT_EQ(texts[8].text, "x");
    EXPECT_EQ(texts[8].x1, c.tipX + 16);
    EXPECT_EQ(texts[8].y1, c.originY - 8);
    EXPECT_EQ(texts[9].text, "y");
    EXPECT_EQ(texts[9].x1, c.originX + 12);
    EXPECT_EQ(texts[9].y1, c.tipY - 8);
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
        ASSERT_GE(texts.size(), 8u);
        EXPECT_EQ(texts[7].text, "Potential lines and stream lines");
        if (c.figure) {
            EXPECT_EQ(texts.size(), 10u) << c.pageHeight;
            EXPECT_FALSE(canvas.Lines().empty()) << c.pageHeight;
        } else {
            EXPECT_EQ(texts.size(), 8u) << c.pageHeight;
            EXPECT_TRUE(canvas.Lines().empty()) << c.pageHeight;
            EXPECT_EQ(canvas.ops.back().kind, Op::Font) << c.pageHeight;
        }
    }
}

} // namespace
} // namespace brelloc
