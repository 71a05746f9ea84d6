#include "FileTextStream.h"

#include <cerrno>

namespace brelloc {

namespace {

int ErrnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

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

} // namespace brelloc
