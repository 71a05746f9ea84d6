#pragma once

#include "ExportOptions.h"
#include "ExportResult.h"
#include "GeneralData.h"

#include <memory>

class QGuiApplication;

namespace brelloc {

// The exporter's PDF report and SVG and PNG figures, rendered by Qt without a
// display. The QGuiApplication that fonts and painting need is started only
// with the first rendered output, always on the offscreen platform, so a
// PicTeX-only run never starts Qt.
class RenderedOutputs {
public:
    explicit RenderedOutputs(char* programName);
    ~RenderedOutputs();
    RenderedOutputs(const RenderedOutputs&) = delete;
    RenderedOutputs& operator=(const RenderedOutputs&) = delete;

    ExportResult Write(const GeneralData& data, const OutputRequest& request,
                       const ExportOptions& options);

private:
    void StartQt();

    // Qt keeps references to these for the application's life. Only the
    // program name is passed: the exporter's own arguments are not Qt's.
    int argc_ = 1;
    char* argv_[2];
    std::unique_ptr<QGuiApplication> app_;
};

} // namespace brelloc
