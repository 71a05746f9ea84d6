#include "FileRenderers.h"

#include "DivideMarks.h"
#include "FlowNetFigure.h"
#include "InterruptCleanup.h"
#include "NumberFormat.h"
#include "PainterCanvas.h"
#include "PrintedReport.h"
#include "SafeFileWriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QTimeZone>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QString>
#include <QSvgGenerator>

#include <cstring>
#include <QCoreApplication>

#include <cstdlib>

namespace brelloc {

namespace {

// Screen resolution for the figure files: the fonts' point sizes become the
// same pixel sizes as on the screen.
constexpr int kFigureDpi = 96;

// The SVG names its font, and a viewer that lacks it falls back to its
// default, often a serif face: the labels are set in the built-in face,
// whose metrics placed them, with the generic family after it.
// (Built on use: FontDialog2 lives in another file's static data.)
FontSpec SvgFont()
{
    return FontSpec{PainterCanvas::kBuiltInFamily, FontDialog2.pointSize, FontDialog2.bold};
}

void AddGenericFamily(QByteArray& svg)
{
    const QByteArray named = QByteArray("font-family=\"") + PainterCanvas::kBuiltInFamily + "\"";
    const QByteArray withGeneric =
        QByteArray("font-family=\"") + PainterCanvas::kBuiltInFamily + ", sans-serif\"";
    svg.replace(named, withGeneric);
}

constexpr long long kLastSecondOfYear9999 = 253402300799LL;

// Reads a whole number of the digits in text, or -1 (also beyond the limit).
long long ReadSeconds(const std::string& text)
{
    if (text.empty() || text.size() > 12)
        return -1;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value <= kLastSecondOfYear9999 ? value : -1;
}

// The decimal number at pdf[at..], or -1.
long long NumberAt(const QByteArray& pdf, qsizetype at, qsizetype* end = nullptr)
{
    while (at < pdf.size() && (pdf[at] == ' ' || pdf[at] == '\r' || pdf[at] == '\n'))
        ++at;
    long long value = -1;
    while (at < pdf.size() && pdf[at] >= '0' && pdf[at] <= '9') {
        value = (value < 0 ? 0 : value * 10) + (pdf[at] - '0');
        ++at;
        if (value > (1LL << 40))
            return -1;
    }
    if (end)
        *end = at;
    return value;
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

// What every figure file checks before it is drawn: its size, then its name.
ExportResult CheckFigureTarget(const std::string& path, int size)
{
    if (!SizeIsValid(size))
        return Failed(path, SizeReason(size));
    return CheckTarget(path);
}

} // namespace

bool LoadBuiltInFaces()
{
    return PainterCanvas::LoadBuiltInFaces();
}

std::string ReportTitle(const GeneralData& data)
{
    return "Groundwater Divide, H/L=" + FormatFixed(data.HL, 5, 3) +
           ", N/k=" + FormatFixed(data.NK, 5, 3);
}

ReportDate ReportDateFromEnvironment()
{
    ReportDate date;
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (text == nullptr || *text == '\0')
        return date;
    const long long seconds = ReadSeconds(text);
    if (seconds < 0) {
        date.error = std::string("SOURCE_DATE_EPOCH \"") + text +
                     "\" is not a whole number of seconds since 1970 (up to the year 9999)";
        return date;
    }
    date.fixed = true;
    date.seconds = seconds;
    return date;
}

bool SetPdfCreationDate(QByteArray& pdf, long long secondsSince1970)
{
    const QByteArray key = "/CreationDate (";
    const qsizetype keyAt = pdf.indexOf(key);
    if (keyAt < 0)
        return false;
    const qsizetype valueAt = keyAt + key.size();
    const qsizetype valueEnd = pdf.indexOf(')', valueAt);
    if (valueEnd < 0)
        return false;
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(secondsSince1970, QTimeZone::utc());
    const QByteArray date = "D:" + moment.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z";
    const qsizetype shift = date.size() - (valueEnd - valueAt);

    // Every object after the date moves by the shift, and so does the
    // cross-reference table itself: one section of 20-byte entries.
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    if (startAt < 0)
        return false;
    qsizetype startNumberEnd = 0;
    const long long xrefAt = NumberAt(pdf, startAt + 9, &startNumberEnd);
    if (xrefAt <= valueEnd || xrefAt >= startAt || !pdf.mid(xrefAt, 4).startsWith("xref"))
        return false;
    qsizetype at = xrefAt + 4;
    qsizetype afterFirst = 0;
    if (NumberAt(pdf, at, &afterFirst) < 0)
        return false;
    const long long count = NumberAt(pdf, afterFirst, &at);
    if (count < 0)
        return false;
    while (at < pdf.size() && (pdf[at] == ' ' || pdf[at] == '\r' || pdf[at] == '\n'))
        ++at;
    if (at + count * 20 > startAt)
        return false;
    for (long long i = 0; i < count; ++i, at += 20) {
        const long long offset = NumberAt(pdf, at);
        if (offset < 0 || pdf[at + 10] != ' ')
            return false;
        if (pdf[at + 17] == 'n' && offset > valueEnd)
            pdf.replace(at, 10, QByteArray::number(offset + shift).rightJustified(10, '0'));
    }
    pdf.replace(startAt + 9, startNumberEnd - (startAt + 9), "\n" + QByteArray::number(xrefAt + shift));
    pdf.replace(valueAt, valueEnd - valueAt, date);
    return true;
}

void DrawExportFigure(Canvas& canvas, const GeneralData& data, int size)
{
    DrawExportFigure(canvas, data, size, FontDialog2);
}

void DrawExportFigure(Canvas& canvas, const GeneralData& data, int size, const FontSpec& font,
                      bool markDivide)
{
    canvas.SetPenColor(kWhite);
    canvas.SetBrushColor(kWhite);
    canvas.Rectangle(0, 0, size, size);
    canvas.SetPenColor(kBlack);
    canvas.SetFont(font);

    FigureLayout layout;
    layout.side = size;
    DrawFlowNetFigure(canvas, data, layout);
    if (markDivide)
        DrawDivideMarks(canvas, data, layout);
}

ExportResult WriteReportPdf(const GeneralData& data, const std::string& path, QPageSize pageSize,
                            QPageLayout::Orientation orientation, bool markDivide)
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
    printer.setCreator(QStringLiteral("Brelloc " BRELLOC_VERSION));
    printer.setDocName(QString::fromStdString(ReportTitle(data)));
    const ReportDate date = ReportDateFromEnvironment();
    if (!date.error.empty())
        return WriteFailed(path, date.error);
    if (!PrintReport(printer, data, markDivide).ok)
        return Failed(path, "the report page could not be rendered");

    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::ReadOnly))
        return Failed(path, "the rendered page cannot be read back: " + pdf.errorString());
    QByteArray bytes = pdf.readAll();
    // The PDF engine does not report a short write; a PDF is whole only when
    // its end-of-file marker made it to the disk.
    if (!bytes.trimmed().endsWith("%%EOF"))
        return Failed(path, "the report page could not be rendered completely");
    if (date.fixed && !SetPdfCreationDate(bytes, date.seconds))
        return Failed(path, "the creation date could not be set in the rendered page");
    return WriteWhole(path, bytes);
}

QByteArray RenderFigureSvg(const GeneralData& data, int size, bool markDivide)
{
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
        return QByteArray();
    {
        PainterCanvas canvas(painter);
        DrawExportFigure(canvas, data, size, SvgFont(), markDivide);
    }
    painter.end();
    svg.close();
    QByteArray bytes = svg.data();
    AddGenericFamily(bytes);
    return bytes;
}

QImage RenderFigureImage(const GeneralData& data, int size, bool markDivide)
{
    QImage image(size, size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int dotsPerMeter = static_cast<int>(kFigureDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        DrawExportFigure(canvas, data, size, FontDialog2, markDivide);
    }
    return image;
}

ExportResult WriteFigureSvg(const GeneralData& data, const std::string& path, int size,
                            bool markDivide)
{
    const ExportResult target = CheckFigureTarget(path, size);
    if (!target.ok)
        return target;
    const QByteArray svg = RenderFigureSvg(data, size, markDivide);
    if (svg.isEmpty())
        return Failed(path, "the SVG output could not be started");
    return WriteWhole(path, svg);
}

ExportResult WriteFigurePng(const GeneralData& data, const std::string& path, int size,
                            bool markDivide)
{
    const ExportResult target = CheckFigureTarget(path, size);
    if (!target.ok)
        return target;

    const QImage image = RenderFigureImage(data, size, markDivide);
    if (image.isNull())
        return Failed(path, "not enough memory for the picture");

    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (!image.save(&png, "PNG"))
        return Failed(path, "the PNG encoder failed");
    png.close();
    return WriteWhole(path, png.data());
}

ExportResult WriteFigurePdf(const GeneralData& data, const std::string& path, int size,
                            bool markDivide)
{
    const ExportResult target = CheckFigureTarget(path, size);
    if (!target.ok)
        return target;

    // One page the size of the figure, at the figure files' resolution, so
    // the drawing is the SVG's in PDF form.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setCreator("Brelloc");
        writer.setTitle("Flow net");
        writer.setResolution(kFigureDpi);
        const double points = size * 72.0 / kFigureDpi;
        writer.setPageSize(QPageSize(QSizeF(points, points), QPageSize::Point, QString(),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer))
            return Failed(path, "the PDF output could not be started");
        {
            PainterCanvas canvas(painter);
            DrawExportFigure(canvas, data, size, SvgFont(), markDivide);
        }
        painter.end();
    }
    pdf.close();
    if (!pdf.data().trimmed().endsWith("%%EOF"))
        return Failed(path, "the PDF page could not be rendered completely");
    return WriteWhole(path, pdf.data());
}

} // namespace brelloc
