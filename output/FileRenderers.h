#pragma once

#include "Canvas.h"
#include "ExportResult.h"
#include "GeneralData.h"

#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>

#include <string>

namespace brelloc {

// Sides of the figure files, in pixels.
constexpr int kFigureMinSize = 16;
constexpr int kFigureMaxSize = 16384;
constexpr int kFigureDefaultSize = 800;

// The figure as the printed report draws it, on a white square of the given
// side: axes with arrowheads and labels in the given font (the report's body
// font unless told), the three boundaries and the flow net in a black
// hairline; with markDivide, the results marked over it in red.
void DrawExportFigure(Canvas& canvas, const GeneralData& data, int size);
void DrawExportFigure(Canvas& canvas, const GeneralData& data, int size, const FontSpec& font,
                      bool markDivide = false);

// Loads the faces built into the program into Qt's font database, so texts
// never come out fontless; called once the QGuiApplication runs. False when
// they could not be loaded.
bool LoadBuiltInFaces();

// The title of the report's PDF: "Groundwater Divide, H/L=0.200, N/k=0.500".
std::string ReportTitle(const GeneralData& data);

// The date the PDF report gives as its creation date, in whole seconds
// since 1970 UTC: SOURCE_DATE_EPOCH when the environment sets it, so that a
// build that makes the report can reproduce it byte for byte; otherwise
// none (Qt writes the current time). Sets error for a value that is not a
// whole number of seconds from 0 to the end of year 9999.
struct ReportDate {
    bool fixed = false;
    long long seconds = 0;
    std::string error;
};
ReportDate ReportDateFromEnvironment();

// Replaces the creation date Qt wrote into a PDF by the given moment, in
// UTC, and moves the cross-reference offsets after it by the change in
// length. False when the PDF does not have the layout expected.
bool SetPdfCreationDate(QByteArray& pdf, long long secondsSince1970);

// Each writer writes its file completely or not at all: an existing file is
// replaced only once the new one is whole, and a failure leaves it intact and
// names the path and the reason. They need a QGuiApplication (for fonts) but
// no display: the offscreen platform will do.

// With markDivide, each marks the results on its figure.

// The one-page printed report as a PDF page, through the same printing code.
ExportResult WriteReportPdf(const GeneralData& data, const std::string& path, QPageSize pageSize,
                            QPageLayout::Orientation orientation, bool markDivide = false);

// The figure as SVG vector graphics of size x size pixels.
ExportResult WriteFigureSvg(const GeneralData& data, const std::string& path, int size,
                            bool markDivide = false);

// The figure as a PNG picture of size x size pixels.
ExportResult WriteFigurePng(const GeneralData& data, const std::string& path, int size,
                            bool markDivide = false);

} // namespace brelloc
