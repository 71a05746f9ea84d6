#include "RenderedOutputs.h"

#include "FileRenderers.h"

#include <QByteArray>
#include <QGuiApplication>
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
    // Headless by default, also where a display exists: nothing is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    const QtMessageHandler previous = qInstallMessageHandler(StartUpMessage);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    qInstallMessageHandler(previous);
}

ExportResult RenderedOutputs::Write(const GeneralData& data, const OutputRequest& request,
                                    const ExportOptions& options)
{
    StartQt();
    switch (request.kind) {
    case OutputKind::ReportPdf:
        return WriteReportPdf(data, request.path, QPageSize(PageSizeOf(options.paper)),
                              options.landscape ? QPageLayout::Landscape
                                                : QPageLayout::Portrait);
    case OutputKind::FigureSvg:
        return WriteFigureSvg(data, request.path, options.figureSize);
    case OutputKind::FigurePng:
        return WriteFigurePng(data, request.path, options.figureSize);
    case OutputKind::PicTeX:
    case OutputKind::ResultsJson:
        break;
    }
    return WriteFailed(request.path, "not a rendered output");
}

} // namespace brelloc
