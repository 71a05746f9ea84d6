#pragma once

#include "ExportOptions.h"
#include "GeneralData.h"

#include <cstdio>
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

// Runs a parsed command line: usage for --help, otherwise the values, then
// every requested output in order. Standard output ("-") goes to out,
// warnings and errors to err.
int RunExport(const ExportOptions& options, std::FILE* out, std::FILE* err);

} // namespace brelloc
