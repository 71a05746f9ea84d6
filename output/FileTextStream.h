#pragma once

#include "TextStream.h"

#include <cstdio>

namespace brelloc {

// A TextStream over a C stream it does not own. The first failed write is
// kept (with its errno) and later writes are skipped.
class FileTextStream : public TextStream {
public:
    explicit FileTextStream(std::FILE* file) : file_(file) {}

    void Write(std::string_view text) override;
    // Flushes the C stream's buffer; false (and the error kept) on failure.
    bool Flush();

    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }

private:
    std::FILE* file_;
    int error_ = 0;
};

} // namespace brelloc
