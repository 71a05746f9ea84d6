#pragma once

#include "PlotSink.h"

#include <string>
#include <vector>

namespace brelloc {

// A grid value given on the command line, committed as if typed into its row.
struct ValueOption {
    std::string option; // as spelled in the usage, e.g. "--hl"
    int row = 0;        // grid row it is committed to
    std::string text;   // what was typed
};

// The kinds of file the exporter writes; each has its own option. The PicTeX
// text and the results are written without Qt; the others are rendered
// pictures.
enum class OutputKind { PicTeX, ReportPdf, FigureSvg, FigurePng, ResultsJson };

struct OutputRequest {
    OutputKind kind = OutputKind::PicTeX;
    std::string path; // "-" is standard output (PicTeX and results only)
};

// The paper of the PDF report.
enum class PaperSize { A4, Letter, A3, Legal, A5 };

// Sides of the SVG and PNG figures, in pixels.
constexpr int kExportFigureMinSize = 16;
constexpr int kExportFigureMaxSize = 16384;
constexpr int kExportFigureDefaultSize = 800;

struct ExportOptions {
    std::vector<ValueOption> values;    // in the order given
    std::vector<OutputRequest> outputs; // in the order given
    std::vector<ModelPoint> probes;     // --probe points, in the order given
    bool probing = false;               // --probe was given (the results list the probes)
    PaperSize paper = PaperSize::A4;
    bool landscape = false;
    bool markDivide = false; // --mark-divide: results marked on the SVG, PNG and report figures
    int figureSize = kExportFigureDefaultSize;
    bool help = false;
    bool version = false;

    // Whether an output needs Qt's rendering (and so a QGuiApplication).
    bool NeedsRendering() const;
};

struct ParsedOptions {
    ExportOptions options;
    std::string error; // empty when the command line was understood
    bool Ok() const { return error.empty(); }
};

// Reads the arguments after the program name. "--option VALUE" and
// "--option=VALUE" are both accepted; the word after a value option is its
// value even when it begins with a dash, so "--hl -0.5" works; the word after
// an output option is its file name unless it is spelt as one of the
// exporter's own options ("--report --landscape" lacks a file name). "--"
// ends the options. Settings given twice take the last value. Without --help
// or --version at least one output is required, and no file may be named by
// two outputs (by device and inode for existing files, resolved paths for new
// ones). --probe X,Y takes two finite numbers with a full stop as decimal
// point and needs --results; --mark-divide needs an SVG, PNG or report
// output to mark.
ParsedOptions ParseExportOptions(const std::vector<std::string>& args);

std::string ExportUsage();

// "brelloc-export" and the program's version.
std::string ExportVersion();

} // namespace brelloc
