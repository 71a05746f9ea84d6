#pragma once

#include <string>

namespace brelloc {

// The outcome of writing one output file: ok, or the error to show, which
// names the file and the reason.
struct ExportResult {
    bool ok = false;
    std::string error; // a full sentence naming the path and the reason
};

} // namespace brelloc
