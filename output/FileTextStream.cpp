#include "FileTextStream.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace brelloc {

namespace {

int ErrnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

WriteFunction g_write = nullptr;

constexpr std::size_t kBufferSize = 64 * 1024;
// A big text is written in pieces, so that an interruption need not wait
// for all of it.
constexpr std::size_t kPieceSize = 1024 * 1024;

} // namespace

void FileTextStream::Write(std::string_view text)
{
    if (error_ != 0 || text.empty())
        return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        error_ = ErrnoOr(EIO);
}

bool FileTextStream::Flush()
{
    if (error_ != 0)
        return false;
    errno = 0;
    if (std::fflush(file_) != 0)
        error_ = ErrnoOr(EIO);
    return error_ == 0;
}

void SetWriteFunction(WriteFunction function)
{
    g_write = function;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = g_write != nullptr ? g_write(fd, data, size) : ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool FdTextStream::WriteOut(const char* data, std::size_t size)
{
    while (size > 0 && error_ == 0) {
        const std::size_t piece = std::min(size, kPieceSize);
        std::unique_lock<std::recursive_mutex> guard;
        if (lock_ != nullptr)
            guard = std::unique_lock<std::recursive_mutex>(*lock_);
        errno = 0;
        if (!WriteAll(fd_, data, piece))
            error_ = ErrnoOr(EIO);
        data += piece;
        size -= piece;
    }
    return error_ == 0;
}

void FdTextStream::Write(std::string_view text)
{
    if (error_ != 0 || text.empty())
        return;
    if (buffer_.size() + text.size() <= kBufferSize) {
        buffer_.append(text.data(), text.size());
        return;
    }
    if (!Flush())
        return;
    if (text.size() >= kBufferSize)
        WriteOut(text.data(), text.size());
    else
        buffer_.assign(text.data(), text.size());
}

bool FdTextStream::Flush()
{
    if (error_ != 0)
        return false;
    const bool written = WriteOut(buffer_.data(), buffer_.size());
    buffer_.clear();
    return written;
}

} // namespace brelloc
