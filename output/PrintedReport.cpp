#include "PrintedReport.h"

#include "DevicePixel.h"
#include "DivideMarks.h"
#include "FlowNetFigure.h"
#include "FlowResults.h"
#include "NumberFormat.h"

#include <cmath>

namespace brelloc {

const FontSpec FontDialog1{"MS Sans Serif", 10.0, true};
const FontSpec FontDialog2{"MS Sans Serif", 8.0, false};

const char* const kReportNotice =
    "Results are for guidance; check them against the assumptions of the model.";

const char* const kFlowNetHeading = "Potential lines and stream lines";

namespace {

// Three decimals; a value too large for a line of the page (extreme
// parameter sets put the stagnation point very far out) in powers of ten.
std::string ResultNumber(double value)
{
    if (!std::isfinite(value))
        return "none";
    if (std::fabs(value) < 1e6)
        return FormatFixed(value, 0, 3);
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    double mantissa = value / std::pow(10.0, exponent);
    if (std::fabs(std::round(mantissa * 1000.0)) >= 10000.0) { // 9.9996 shows as 10.000
        mantissa /= 10.0;
        ++exponent;
    }
    return FormatFixed(mantissa, 0, 3) + "e" + std::to_string(exponent);
}

std::string PointText(const char* name, const ModelPoint& p)
{
    return std::string(name) + ": x/L = " + ResultNumber(p.x) + ", y/L = " + ResultNumber(p.y);
}

} // namespace

int PrintPageHeader(ReportPage& page)
{
    Canvas& canvas = page.canvas;
    canvas.SetPenColor(kBlack);
    canvas.SetBrushColor(kWhite);

    canvas.SetFont(FontDialog1);
    const int hh = canvas.TextHeight("W");
    int y = hh;
    canvas.TextOut(page.LeftMargin, y, "Brelloc - Groundwater Divide");

    canvas.SetFont(FontDialog2);
    // A fixed column: a seven-digit page number would end at the right edge.
    const int pageColumn = page.PageWidth - canvas.TextWidth("Page 9999999");
    canvas.TextOut(pageColumn, y, "Page " + std::to_string(page.PageNumber));

    y = TruncToPixel(static_cast<long double>(y) + static_cast<long double>(1.25) * hh);
    canvas.TextOut(page.LeftMargin, y, "A Korvanne University Geotechnics Program");
    y += hh;
    canvas.TextOut(page.LeftMargin, y, kReportNotice);
    y += 2 * hh;
    return y;
}

int PrintGeneralData(ReportPage& page, const GeneralData& data)
{
    Canvas& canvas = page.canvas;
    int y = PrintPageHeader(page);
    const int top = y;
    const int hb = canvas.TextHeight("W"); // the header leaves the body font selected

    canvas.SetFont(FontDialog1);
    canvas.TextOut(page.LeftMargin, y, "General Data");
    canvas.SetFont(FontDialog2);
    y += 2 * hb;
    canvas.TextOut(page.LeftMargin, y, "H/L = " + FormatFixed(data.HL, 6, 3));
    y += hb;
    canvas.TextOut(page.LeftMargin, y, "N/k = " + FormatFixed(data.NK, 6, 3));
    y += 2 * hb;
    PrintResults(page, data, top);
    return y;
}

void PrintResults(ReportPage& page, const GeneralData& data, int top)
{
    Canvas& canvas = page.canvas;
    // Measured in the body font that is selected on entry.
    const int hb = canvas.TextHeight("W");
    const int gap = 2 * canvas.TextWidth("x");
    // Its last lines stand beside the figure's heading, which a narrow page
    // makes reach past the middle.
    canvas.SetFont(FontDialog1);
    const int headingEnd = page.LeftMargin + canvas.TextWidth(kFlowNetHeading) + gap;
    const int x = headingEnd > page.PageWidth / 2 ? headingEnd : page.PageWidth / 2;

    const FlowResults results = ComputeResults(data);
    std::string lines[5];
    lines[0] = results.divide ? PointText("Divide", *results.divide) : "Divide: none";
    if (results.stagnationPoint)
        lines[1] = "Stagnation point: x/L = " + ResultNumber(results.stagnationPoint->x);
    else if (results.stagnationAt)
        lines[1] = "Stagnation point: x/L out of range";
    else
        lines[1] = "Stagnation point: none";
    lines[2] = PointText("Water-table top", results.waterTableTop);
    lines[3] = "Left drain takes Q/kL = " + ResultNumber(results.infiltrationToLeftDrain);
    lines[4] = "Right drain takes Q/kL = " + ResultNumber(results.infiltrationToRightDrain);

    canvas.TextOut(x, top, "Results");
    canvas.SetFont(FontDialog2);
    // Five lines from top + 2 hb end at top + 7 hb, the figure's top edge.
    int y = top + 2 * hb;
    for (const std::string& line : lines) {
        canvas.TextOut(x, y, line);
        y += hb;
    }
}

void PrintFlowNet(ReportPage& page, const GeneralData& data, int y, bool markDivide)
{
    Canvas& canvas = page.canvas;
    // Measured in the body font that is selected on entry.
    const int hb = canvas.TextHeight("W");
    canvas.SetFont(FontDialog1);
    canvas.TextOut(page.LeftMargin, y, kFlowNetHeading);
    y += 2 * hb;
    canvas.SetFont(FontDialog2);

    // The square ends at y + side <= PageHeight - 0.2 y, inside the page.
    const int wmax = page.PageWidth - page.LeftMargin;
    const int hmax = TruncToPixel(static_cast<long double>(page.PageHeight) -
                                  static_cast<long double>(1.2) * y);
    const int side = hmax < wmax ? hmax : wmax;
    if (side <= 0)
        return; // the heading sits too low for any figure

    FigureLayout layout;
    layout.left = page.LeftMargin;
    layout.top = y;
    layout.side = side;
    DrawFlowNetFigure(canvas, data, layout);
    if (markDivide)
        DrawDivideMarks(canvas, data, layout);
}

void PrintReportPage(Canvas& canvas, int pageWidth, int pageHeight, int pageNumber,
                     const GeneralData& data, bool markDivide)
{
    ReportPage page{canvas};
    page.PageWidth = pageWidth;
    page.PageHeight = pageHeight;
    page.PageNumber = pageNumber;
    page.LeftMargin = pageWidth / 20;
    const int y = PrintGeneralData(page, data);
    PrintFlowNet(page, data, y, markDivide);
}

} // namespace brelloc
