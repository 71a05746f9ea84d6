#pragma once

#include "TextStream.h"

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

#include <sys/types.h>

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

// The system call every file writer writes with. Tests put one here that
// fails as a full disk would; nullptr puts write(2) back.
using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);
void SetWriteFunction(WriteFunction function);

// Writes all of data to fd, going on after partial writes and interrupted
// calls; false with errno set on failure.
bool WriteAll(int fd, const char* data, std::size_t size);

// A buffered TextStream over a file descriptor it does not own. The first
// failed write is kept and later writes are skipped; what is still buffered
// can be dropped, so a caller that puts the old file back is sure nothing
// more reaches it. Each write to the descriptor holds lock, when one is given.
class FdTextStream : public TextStream {
public:
    explicit FdTextStream(int fd, std::recursive_mutex* lock = nullptr) : fd_(fd), lock_(lock) {}

    void Write(std::string_view text) override;
    // Writes out what is buffered; false (and the error kept) on failure.
    bool Flush();
    // Drops what is buffered, unwritten.
    void DropBuffer() { buffer_.clear(); }

    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }

private:
    bool WriteOut(const char* data, std::size_t size);

    int fd_;
    std::recursive_mutex* lock_;
    std::string buffer_;
    int error_ = 0;
};

} // namespace brelloc
