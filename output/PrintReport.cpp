// The print job around the report page: one job, one page, and a job that
// cannot start or fails is aborted and reported.
#include "PrintedReport.h"

#include "PainterCanvas.h"

#include <QPainter>
#include <QPrinter>

#include <exception>

namespace brelloc {

namespace {

std::string PrinterName(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return "the file " + printer.outputFileName().toStdString();
    const QString name = printer.printerName();
    return name.isEmpty() ? std::string("the default printer")
                          : "the printer " + name.toStdString();
}

ReportResult Failed(const QPrinter& printer, const std::string& reason)
{
    ReportResult result;
    result.error = "Cannot print on " + PrinterName(printer) + ": " + reason + ".";
    return result;
}

} // namespace

ReportResult PrintReport(QPrinter& printer, const GeneralData& data, bool markDivide)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        printer.abort();
        return Failed(printer, printer.outputFormat() == QPrinter::PdfFormat
                                   ? "the file could not be opened for writing"
                                   : "the print job could not be started");
    }

    try {
        PainterCanvas canvas(painter);
        PrintReportPage(canvas, printer.width(), printer.height(), 1, data, markDivide);
    } catch (const std::exception& e) {
        printer.abort();
        painter.end();
        return Failed(printer, e.what());
    }

    if (printer.printerState() == QPrinter::Error) {
        printer.abort();
        painter.end();
        return Failed(printer, "the printer reported an error while printing");
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return Failed(printer, "the job could not be completed");

    ReportResult result;
    result.ok = true;
    return result;
}

} // namespace brelloc
