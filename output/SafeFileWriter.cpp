#include "SafeFileWriter.h"

#include "ExportResult.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelloc {

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a symbolic link so that the file it points to is replaced, not the
// link; a dangling link is replaced itself.
std::string ResolveTarget(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

void SyncFolder(const std::string& folder)
{
    // Makes the rename itself durable; a folder that cannot be opened for
    // this is no reason to call the export failed.
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {}

SafeFileWriter::~SafeFileWriter()
{
    if (!committed_)
        Discard();
}

bool SafeFileWriter::Fail(int error)
{
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    Discard();
    return false;
}

void SafeFileWriter::Discard()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool SafeFileWriter::Open()
{
    if (path_.empty())
        return Fail(ENOENT);
    target_ = ResolveTarget(path_);

    // Refuse what a plain open for writing would refuse, before any work.
    struct stat existing {};
    const bool exists = stat(target_.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            return Fail(EISDIR);
        if (access(target_.c_str(), W_OK) != 0)
            return Fail(errno);
        if (!S_ISREG(existing.st_mode))
            return OpenInPlace();
    } else if (errno != ENOENT) {
        return Fail(errno);
    }

    const std::string folder = FolderOf(target_);
    std::string name = NameOf(target_);
    if (name.size() > 200)
        name.resize(200);
    // Created with 0666 so the process umask applies, as for a plain open.
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary_ = folder + "/." + name + "." + std::to_string(getpid()) + "-" +
                     std::to_string(attempt) + ".tmp";
        fd = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            const int error = errno;
            temporary_.clear();
            // A writable file in a folder that takes no new file can only be
            // rewritten where it stands, as a plain open would; then a
            // failure half-way is reported but cannot leave the old file.
            if (error == EACCES && exists)
                return OpenInPlace();
            return Fail(error);
        }
    }
    if (fd < 0) {
        temporary_.clear();
        return Fail(EEXIST);
    }
    // The replacement keeps the old file's permissions.
    if (exists)
        fchmod(fd, existing.st_mode & 07777);

    file_ = fdopen(fd, "w");
    if (file_ == nullptr) {
        const int error = errno;
        close(fd);
        return Fail(error);
    }
    stream_ = std::make_unique<FileTextStream>(file_);
    return true;
}

bool SafeFileWriter::OpenInPlace()
{
    // A device or a pipe (/dev/stdout, a FIFO) cannot be replaced either; it
    // is written as it stands, like a plain open would.
    file_ = std::fopen(target_.c_str(), "w");
    if (file_ == nullptr)
        return Fail(errno);
    stream_ = std::make_unique<FileTextStream>(file_);
    return true;
}

TextStream& SafeFileWriter::Stream()
{
    return *stream_;
}

bool SafeFileWriter::Commit()
{
    if (error_ != 0 || file_ == nullptr)
        return Fail(error_ != 0 ? error_ : EBADF);
    if (!stream_->Flush())
        return Fail(stream_->Error());
    if (!temporary_.empty() && fsync(fileno(file_)) != 0)
        return Fail(errno);
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0)
        return Fail(errno);
    if (temporary_.empty()) {
        committed_ = true;
        return true;
    }
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
        return Fail(errno);
    temporary_.clear();
    committed_ = true;
    SyncFolder(FolderOf(target_));
    return true;
}

std::string SafeFileWriter::ErrorMessage() const
{
    if (error_ == 0)
        return std::string();
    return WriteErrorMessage(path_, std::strerror(error_));
}

} // namespace brelloc
