#include "PrintedReport.h"

#include "DevicePixel.h"
#include "FlowNetFigure.h"
#include "NumberFormat.h"

namespace brelloc {

const FontSpec FontDialog1{"MS Sans Serif", 10.0, true};
const FontSpec FontDialog2{"MS Sans Serif", 8.0, false};

const char* const kReportNotice =
    "Results are for guidance; check them against the assumptions of the model.";

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
    const int hb = canvas.TextHeight("W"); // the header leaves the body font selected

    canvas.SetFont(FontDialog1);
    canvas.TextOut(page.LeftMargin, y, "General Data");
    canvas.SetFont(FontDialog2);
    y += 2 * hb;
    canvas.TextOut(page.LeftMargin, y, "H/L = " + FormatFixed(data.HL, 6, 3));
    y += hb;
    canvas.TextOut(page.LeftMargin, y, "N/k = " + FormatFixed(data.NK, 6, 3));
    y += 2 * hb;
    return y;
}

void PrintFlowNet(ReportPage& page, const GeneralData& data, int y)
{
    Canvas& canvas = page.canvas;
    // Measured in the body font that is selected on entry.
    const int hb = canvas.TextHeight("W");
    canvas.SetFont(FontDialog1);
    canvas.TextOut(page.LeftMargin, y, "Potential lines and stream lines");
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
}

void PrintReportPage(Canvas& canvas, int pageWidth, int pageHeight, int pageNumber,
                     const GeneralData& data)
{
    ReportPage page{canvas};
    page.PageWidth = pageWidth;
    page.PageHeight = pageHeight;
    page.PageNumber = pageNumber;
    page.LeftMargin = pageWidth / 20;
    const int y = PrintGeneralData(page, data);
    PrintFlowNet(page, data, y);
}

} // namespace brelloc
