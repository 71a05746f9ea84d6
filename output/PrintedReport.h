#pragma once

#include "Canvas.h"
#include "GeneralData.h"

#include <string>

class QPrinter;

namespace brelloc {

// The report's two fixed fonts: headings ("MS Sans Serif" bold, 10 pt) and
// body text ("MS Sans Serif", 8 pt). Point sizes, so a printer of any
// resolution prints them at the same physical size.
extern const FontSpec FontDialog1;
extern const FontSpec FontDialog2;

// The one line printed under the credit line.
extern const char* const kReportNotice;

// The heading of the report's figure, also measured to keep the results
// block clear of it.
extern const char* const kFlowNetHeading;

// The page being printed: its canvas and printable area in device pixels, the
// number of the current page, and the left margin of every text line and of
// the figure (PageWidth / 20, set when the job begins).
struct ReportPage {
    Canvas& canvas;
    int PageWidth = 0;
    int PageHeight = 0;
    int PageNumber = 1;
    int LeftMargin = 0;
};

// Title, page number, credit and notice lines; sets the job's black hairline
// pen and white brush. Returns the y below the header, the body font selected.
int PrintPageHeader(ReportPage& page);

// The header, then "General Data" with the values of H/L and N/k, and the
// results beside them. Returns the y below them, the body font selected.
int PrintGeneralData(ReportPage& page, const GeneralData& data);

// The heading "Results" at top, then the divide, the stagnation point, the
// top of the water table (in units of L) and each drain's share of the
// infiltration (in units of k*L), three decimals, "none" for what does not
// exist. Stands in the free space right of the "General Data" lines: from
// PageWidth / 2, or just clear of the figure's heading where that reaches
// further, and no lower than the figure's top edge. Leaves the body font
// selected.
void PrintResults(ReportPage& page, const GeneralData& data, int top);

// The heading "Potential lines and stream lines" at y, then the figure in the
// largest square that fits below it: no frame, no background; with
// markDivide, the results are marked on it in red. When no square fits,
// nothing is printed below the heading.
void PrintFlowNet(ReportPage& page, const GeneralData& data, int y, bool markDivide = false);

// The whole one-page report on a canvas of the given printable area.
void PrintReportPage(Canvas& canvas, int pageWidth, int pageHeight, int pageNumber,
                     const GeneralData& data, bool markDivide = false);

struct ReportResult {
    bool ok = false;
    std::string error; // names the printer (or output file) and the reason
};

// Prints the report as one job of one page on the printer as it is set up
// (printer or PDF file). A job that cannot start or fails is aborted and
// reported, never left half-printed.
ReportResult PrintReport(QPrinter& printer, const GeneralData& data, bool markDivide = false);

} // namespace brelloc
