#pragma once

#include <string>
#include <vector>

namespace brelloc {

// A grid value given on the command line, committed as if typed into its row.
struct ValueOption {
    std::string option; // as spelled in the usage, e.g. "--hl"
    int row = 0;        // grid row it is committed to
    std::string text;   // what was typed
};

// The kinds of file the exporter writes; each has its own option.
enum class OutputKind { PicTeX };

struct OutputRequest {
    OutputKind kind = OutputKind::PicTeX;
    std::string path; // "-" is standard output
};

struct ExportOptions {
    std::vector<ValueOption> values;    // in the order given
    std::vector<OutputRequest> outputs; // in the order given
    bool help = false;
};

struct ParsedOptions {
    ExportOptions options;
    std::string error; // empty when the command line was understood
    bool Ok() const { return error.empty(); }
};

// Reads the arguments after the program name. "--option VALUE" and
// "--option=VALUE" are both accepted; the word after a value option is its
// value even when it begins with a dash, so "--hl -0.5" works. Without
// --help at least one output is required.
ParsedOptions ParseExportOptions(const std::vector<std::string>& args);

std::string ExportUsage();

} // namespace brelloc
