#pragma once

#include "ExportOptions.h"
#include "ExportResult.h"
#include "GeneralData.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace brelloc {

// Commits the values to data in order, as the grid would, and updates the
// derived values. Returns one warning line (without line end) for each value
// that was replaced or only partly read.
std::vector<std::string> ApplyValueOptions(GeneralData& data,
                                           const std::vector<ValueOption>& values);

// Exit codes of brelloc-export.
enum ExitCode : int { ExitOk = 0, ExitWriteFailed = 1, ExitUsage = 2 };

// Writes one rendered output (PDF report, SVG or PNG figure) to its file,
// with the settings of options. Supplied by the Qt part of the program, so
// this part stays free of Qt.
using RenderedOutputWriter = std::function<ExportResult(
    const GeneralData& data, const OutputRequest& request, const ExportOptions& options)>;

// Runs a parsed command line: usage for --help, the version for --version,
// otherwise the values, then every requested output in order, going on after
// a failure. Standard output ("-") goes to out, warnings and errors to err.
// Rendered outputs go to render; without one they fail.
int RunExport(const ExportOptions& options, std::FILE* out, std::FILE* err,
              const RenderedOutputWriter& render = {});

} // namespace brelloc
