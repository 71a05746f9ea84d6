#include "FileRenderers.h"

#include "FlowNetFigure.h"
#include "InterruptCleanup.h"
#include "PainterCanvas.h"
#include "PrintedReport.h"
#include "SafeFileWriter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <QSvgGenerator>

#include <cstring>
#include <QCoreApplication>

namespace brelloc {

namespace {

// Screen resolution for the figure files: the fonts' point sizes become the
// same pixel sizes as on the screen.
constexpr int kFigureDpi = 96;

// The SVG names its font; a viewer knows the generic family, where it would
// most likely lack the report's face and fall back to a serif one.
// (Built on use: FontDialog2 lives in another file's static data.)
FontSpec SvgFont()
{
    return FontSpec{"sans-serif", FontDialog2.pointSize, FontDialog2.bold};
}

ExportResult Failed(const std::string& path, const QString& reason)
{
    return WriteFailed(path, reason.toStdString());
}

ExportResult Written()
{
    ExportResult result;
    result.ok = true;
    return result;
}

bool SizeIsValid(int size)
{
    return size >= kFigureMinSize && size <= kFigureMaxSize;
}

QString SizeReason(int size)
{
    return QString("the size %1 is not between %2 and %3 pixels")
        .arg(size)
        .arg(kFigureMinSize)
        .arg(kFigureMaxSize);
}

// Writes the finished bytes the way every output file is written: beside the
// target first, replacing it only once the new file is whole, so the old file
// survives any failure.
ExportResult WriteWhole(const std::string& path, const QByteArray& bytes)
{
    SafeFileWriter writer(path);
    if (writer.Open()) {
        writer.Stream().Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        writer.Commit();
    }
    if (!writer.Ok())
        return ExportResult{false, writer.ErrorMessage()};
    return Written();
}

ExportResult CheckTarget(const std::string& path)
{
    if (path.empty())
        return Failed(path, "no file name given");
    return Written();
}

} // namespace

void DrawExportFigure(Canvas& canvas, const GeneralData& data, int size)
{
    DrawExportFigure(canvas, data, size, FontDialog2);
}

void DrawExportFigure(Canvas& canvas, const GeneralData& data, int size, const FontSpec& font)
{
    canvas.SetPenColor(kWhite);
    canvas.SetBrushColor(kWhite);
    canvas.Rectangle(0, 0, size, size);
    canvas.SetPenColor(kBlack);
    canvas.SetFont(font);

    FigureLayout layout;
    layout.side = size;
    DrawFlowNetFigure(canvas, data, layout);
}

ExportResult WriteReportPdf(const GeneralData& data, const std::string& path, QPageSize pageSize,
                            QPageLayout::Orientation orientation)
{
    const ExportResult target = CheckTarget(path);
    if (!target.ok)
        return target;
    // The printer writes the PDF to a file of its own; the finished page is
    // then written to the target in one go.
    // Removed also when the run is interrupted.
    const QString program = QCoreApplication::applicationName();
    const ScratchFolder scratch(program.isEmpty() ? std::string("brelloc") : program.toStdString());
    if (!scratch.Ok())
        return Failed(path, "no temporary folder: " + QString::fromLocal8Bit(std::strerror(scratch.Error())));
    const QString pdfPath = QString::fromStdString(scratch.Path() + "/report.pdf");

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setPageSize(pageSize);
    printer.setPageOrientation(orientation);
    printer.setCreator("Brelloc");
    if (!PrintReport(printer, data).ok)
        return Failed(path, "the report page could not be rendered");

    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::ReadOnly))
        return Failed(path, "the rendered page cannot be read back: " + pdf.errorString());
    const QByteArray bytes = pdf.readAll();
    // The PDF engine does not report a short write; a PDF is whole only when
    // its end-of-file marker made it to the disk.
    if (!bytes.trimmed().endsWith("%%EOF"))
        return Failed(path, "the report page could not be rendered completely");
    return WriteWhole(path, bytes);
}

ExportResult WriteFigureSvg(const GeneralData& data, const std::string& path, int size)
{
    if (!SizeIsValid(size))
        return Failed(path, SizeReason(size));
    const ExportResult target = CheckTarget(path);
    if (!target.ok)
        return target;

    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&svg);
    generator.setSize(QSize(size, size));
    generator.setViewBox(QRect(0, 0, size, size));
    generator.setResolution(kFigureDpi);
    generator.setTitle("Flow net");
    generator.setDescription("Potential lines and stream lines under a water divide");

    QPainter painter;
    if (!painter.begin(&generator))
        return Failed(path, "the SVG output could not be started");
    {
        PainterCanvas canvas(painter);
        DrawExportFigure(canvas, data, size, SvgFont());
    }
    painter.end();
    svg.close();
    return WriteWhole(path, svg.data());
}

ExportResult WriteFigurePng(const GeneralData& data, const std::string& path, int size)
{
    if (!SizeIsValid(size))
        return Failed(path, SizeReason(size));
    const ExportResult target = CheckTarget(path);
    if (!target.ok)
        return target;

    QImage image(size, size, QImage::Format_RGB32);
    if (image.isNull())
        return Failed(path, "not enough memory for the picture");
    const int dotsPerMeter = static_cast<int>(kFigureDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        DrawExportFigure(canvas, data, size);
    }

    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (!image.save(&png, "PNG"))
        return Failed(path, "the PNG encoder failed");
    png.close();
    return WriteWhole(path, png.data());
}

} // namespace brelloc
