#pragma once

#include <string>

namespace brelloc {

// The outcome of writing one output file: ok, or the error to show, which
// names the file and the reason.
struct ExportResult {
    bool ok = false;
    std::string error; // a full sentence naming the path and the reason
};

// The sentence every output that could not be written shows:
// Could not write the file "<path>": <reason>.
inline std::string WriteErrorMessage(const std::string& path, const std::string& reason)
{
    return "Could not write the file \"" + path + "\": " + reason + ".";
}

inline ExportResult WriteFailed(const std::string& path, const std::string& reason)
{
    return ExportResult{false, WriteErrorMessage(path, reason)};
}

} // namespace brelloc
