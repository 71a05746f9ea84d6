#include "RenderedOutputs.h"

#include "FileRenderers.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace brelloc {

static_assert(kExportFigureMinSize == kFigureMinSize && kExportFigureMaxSize == kFigureMaxSize &&
                  kExportFigureDefaultSize == kFigureDefaultSize,
              "the exporter checks the same figure sizes the renderers accept");

namespace {

QPageSize::PageSizeId PageSizeOf(PaperSize paper)
{
    switch (paper) {
    case PaperSize::A4: return QPageSize::A4;
    case PaperSize::Letter: return QPageSize::Letter;
    case PaperSize::A3: return QPageSize::A3;
    case PaperSize::Legal: return QPageSize::Legal;
    case PaperSize::A5: return QPageSize::A5;
    }
    return QPageSize::A4;
}

// Qt's notes while it starts (a missing XDG_RUNTIME_DIR, which a headless
// run from a script cannot help) would be noise on every run; its errors
// still show.
void StartUpMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "brelloc-export: %s\n", message.toLocal8Bit().constData());
}

} // namespace

RenderedOutputs::RenderedOutputs(char* programName) : argv_{programName, nullptr} {}

RenderedOutputs::~RenderedOutputs() = default;

void RenderedOutputs::StartQt()
{
    if (app_)
        return;
    // Always headless, whatever platform the environment names (a display
    // that is not there, or one that does not exist): nothing is shown, and
    // the offscreen platform comes with Qt's own libraries.
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    // Qt's hashes are seeded at random in every run, and the PDF engine
    // writes its fonts in the order of one: a fixed seed keeps the bytes of
    // the report the same from run to run.
    QHashSeed::setDeterministicGlobalSeed();
    const QtMessageHandler previous = qInstallMessageHandler(StartUpMessage);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    qInstallMessageHandler(previous);
    // Without any installed font the texts would come out as empty boxes.
    LoadBuiltInFaces();
}

ExportResult RenderedOutputs::Write(const GeneralData& data, const OutputRequest& request,
                                    const ExportOptions& options)
{
    StartQt();
    switch (request.kind) {
    case OutputKind::ReportPdf:
        return WriteReportPdf(data, request.path, QPageSize(PageSizeOf(options.paper)),
                              options.landscape ? QPageLayout::Landscape
                                                : QPageLayout::Portrait,
                              options.markDivide);
    case OutputKind::FigureSvg:
        return WriteFigureSvg(data, request.path, options.figureSize, options.markDivide);
    case OutputKind::FigurePng:
        return WriteFigurePng(data, request.path, options.figureSize, options.markDivide);
    case OutputKind::PicTeX:
    case OutputKind::ResultsJson:
        break;
    }
    return WriteFailed(request.path, "not a rendered output");
}

} // namespace brelloc
