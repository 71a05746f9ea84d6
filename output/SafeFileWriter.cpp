#include "SafeFileWriter.h"

#include "ExportResult.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelloc {

namespace {

// Symbolic links followed before giving up, as the kernel does.
constexpr int kLinkLimit = 40;

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

// The name cut to at most size bytes, not inside a UTF-8 character.
std::string Shortened(const std::string& name, std::size_t size)
{
    if (name.size() <= size)
        return name;
    std::size_t end = size;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

std::size_t NameLimit(const std::string& folder)
{
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 && limit < 4096 ? static_cast<std::size_t>(limit) : 255;
}

// A hidden name beside the target: ".NAME.PID-N.SUFFIX", within the folder's
// name limit however long NAME is.
std::string BesideName(const std::string& target, int attempt, const char* suffix)
{
    const std::string folder = FolderOf(target);
    const std::string tail = "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + "." + suffix;
    const std::size_t limit = NameLimit(folder);
    const std::size_t room = limit > tail.size() + 2 ? limit - tail.size() - 1 : 1;
    return folder + "/." + Shortened(NameOf(target), room) + tail;
}

std::string TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder == '/' ? std::string(folder) : std::string("/tmp");
}

bool ReadsAsNumber(const std::string& text, int& number)
{
    if (text.empty() || text.size() > 9)
        return false;
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    return true;
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

// Copies all of from (from its start) over to (from its start); false with
// errno set on failure.
bool CopyContent(int from, int to)
{
    std::vector<char> buffer(256 * 1024);
    if (lseek(to, 0, SEEK_SET) < 0)
        return false;
    off_t offset = 0;
    for (;;) {
        const ssize_t got = pread(from, buffer.data(), buffer.size(), offset);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got)))
            return false;
        offset += got;
    }
}

// Errors of rename(2) that a rewrite in place can get round.
bool RenameRefused(int error)
{
    return error == EPERM || error == EACCES || error == EBUSY || error == EXDEV;
}

} // namespace

int StreamDescriptorOf(const std::string& path)
{
    if (path == "/dev/stdin")
        return 0;
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    const std::string own = "/proc/" + std::to_string(getpid()) + "/fd/";
    for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"),
                                      std::string("/proc/thread-self/fd/"), own}) {
        int number = 0;
        if (path.compare(0, prefix.size(), prefix) == 0 && ReadsAsNumber(path.substr(prefix.size()), number))
            return number;
    }
    return -1;
}

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path))
{
    RegisterInterruptible(this);
}

SafeFileWriter::~SafeFileWriter()
{
    {
        std::lock_guard<std::recursive_mutex> guard(FileStateLock());
        if (!committed_)
            Discard();
    }
    UnregisterInterruptible(this);
}

bool SafeFileWriter::Fail(int error)
{
    std::lock_guard<std::recursive_mutex> guard(FileStateLock());
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    Discard();
    return false;
}

void SafeFileWriter::CloseDescriptor()
{
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

void SafeFileWriter::Discard()
{
    std::lock_guard<std::recursive_mutex> guard(FileStateLock());
    if (stream_)
        stream_->DropBuffer();
    if (rewriting_)
        Restore();
    if (backupFd_ >= 0) {
        close(backupFd_);
        backupFd_ = -1;
    }
    if (!backup_.empty() && outcome_ != Outcome::BackupKept) {
        unlink(backup_.c_str());
        backup_.clear();
    }
    CloseDescriptor();
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool SafeFileWriter::Restore()
{
    // fd_ is the target, backupFd_ the complete copy of its old content.
    rewriting_ = false;
    errno = 0;
    if (ftruncate(fd_, 0) == 0 && CopyContent(backupFd_, fd_) && fsync(fd_) == 0) {
        outcome_ = Outcome::PutBack;
        return true;
    }
    outcome_ = Outcome::BackupKept;
    return false;
}

std::string SafeFileWriter::CleanUpAfterInterruption()
{
    if (committed_)
        return std::string();
    const bool wasRewriting = rewriting_;
    Discard();
    committed_ = true; // nothing more to do, also for the destructor
    if (wasRewriting && outcome_ == Outcome::BackupKept)
        return WriteErrorMessage(path_, "interrupted; the old content is kept in \"" + backup_ + "\"");
    return std::string();
}

bool SafeFileWriter::Open()
{
    // The lock is taken only for the steps that leave something on disk: a
    // FIFO's open may wait for a reader, and an interruption must not wait
    // for it.
    if (path_.empty())
        return Fail(ENOENT);

    // Follow symbolic links by hand: a dangling one still names the file to
    // create, and a link to one of this process's streams is that stream.
    target_ = path_;
    struct stat info {};
    for (int step = 0;; ++step) {
        const int descriptor = StreamDescriptorOf(target_);
        if (descriptor >= 0)
            return OpenStream(descriptor);
        if (lstat(target_.c_str(), &info) != 0) {
            if (errno != ENOENT)
                return Fail(errno);
            break;
        }
        if (!S_ISLNK(info.st_mode))
            break;
        if (step == kLinkLimit)
            return Fail(ELOOP);
        std::vector<char> text(PATH_MAX + 1);
        const ssize_t size = readlink(target_.c_str(), text.data(), text.size() - 1);
        if (size < 0)
            return Fail(errno);
        const std::string next(text.data(), static_cast<std::size_t>(size));
        target_ = next.rfind('/', 0) == 0 ? next : FolderOf(target_) + "/" + next;
    }

    exists_ = stat(target_.c_str(), &existing_) == 0;
    if (!exists_ && errno != ENOENT)
        return Fail(errno);
    if (exists_) {
        if (S_ISDIR(existing_.st_mode))
            return Fail(EISDIR);
        if (!S_ISREG(existing_.st_mode))
            return OpenDevice();
        if (access(target_.c_str(), W_OK) != 0)
            return Fail(errno);
        if (existing_.st_nlink > 1)
            return OpenInPlace();
    }

    std::lock_guard<std::recursive_mutex> guard(FileStateLock());
    if (!CreateTemporary()) {
        const int error = errno;
        // A writable file in a folder that takes no new file is rewritten
        // where it stands.
        if (exists_)
            return OpenInPlace();
        return Fail(error);
    }
    if (exists_ && !TemporaryKeepsOwnerAndMode()) {
        CloseDescriptor();
        unlink(temporary_.c_str());
        temporary_.clear();
        return OpenInPlace();
    }
    method_ = Method::Replace;
    stream_ = std::make_unique<FdTextStream>(fd_, &FileStateLock());
    return true;
}

bool SafeFileWriter::CreateTemporary()
{
    // Created with 0666 so the process umask applies, as for a plain open.
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = BesideName(target_, attempt, "tmp");
        fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    temporary_.clear();
    errno = error;
    return false;
}

bool SafeFileWriter::TemporaryKeepsOwnerAndMode()
{
    struct stat created {};
    if (fstat(fd_, &created) != 0)
        return false;
    // The owner first: changing it clears the set-user and set-group bits.
    if ((created.st_uid != existing_.st_uid || created.st_gid != existing_.st_gid) &&
        fchown(fd_, existing_.st_uid, existing_.st_gid) != 0)
        return false;
    if (fchmod(fd_, existing_.st_mode & 07777) != 0 || fstat(fd_, &created) != 0)
        return false;
    // A mode bit the user may not set is dropped silently.
    return created.st_uid == existing_.st_uid && created.st_gid == existing_.st_gid &&
           (created.st_mode & 07777) == (existing_.st_mode & 07777);
}

bool SafeFileWriter::OpenStream(int descriptor)
{
    // Written through the descriptor itself, as "-" writes to standard
    // output: an appending descriptor appends, and its offset is shared.
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
        return Fail(EBADF);
    fd_ = fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    if (fd_ < 0)
        return Fail(errno);
    method_ = Method::Stream;
    stream_ = std::make_unique<FdTextStream>(fd_);
    return true;
}

bool SafeFileWriter::OpenDevice()
{
    // A device, a FIFO or a socket cannot be replaced; it is written as it
    // stands, like a plain open would, without truncating.
    fd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0)
        return Fail(errno);
    method_ = Method::Stream;
    stream_ = std::make_unique<FdTextStream>(fd_);
    return true;
}

bool SafeFileWriter::OpenInPlace()
{
    std::lock_guard<std::recursive_mutex> guard(FileStateLock());
    // Read as well: the old content is copied before it is overwritten.
    fd_ = open(target_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0)
        return Fail(errno);
    if (!MakeBackup())
        return Fail(errno);
    method_ = Method::InPlace;
    if (ftruncate(fd_, 0) != 0)
        return Fail(errno);
    rewriting_ = true;
    stream_ = std::make_unique<FdTextStream>(fd_, &FileStateLock());
    return true;
}

bool SafeFileWriter::CopyBackupFrom(const std::string& candidate, int backupFd)
{
    backup_ = candidate;
    backupFd_ = backupFd;
    if (CopyContent(fd_, backupFd_) && fsync(backupFd_) == 0)
        return true;
    const int error = errno;
    close(backupFd_);
    backupFd_ = -1;
    unlink(backup_.c_str());
    backup_.clear();
    errno = error;
    return false;
}

bool SafeFileWriter::MakeBackup()
{
    int error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string beside = BesideName(target_, attempt, "bak");
        const int fd = open(beside.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            error = errno;
            if (error == EEXIST)
                continue;
            break;
        }
        if (CopyBackupFrom(beside, fd))
            return true;
        error = errno;
        break;
    }
    // The folder takes no new file (or has no room for it): TMPDIR.
    const std::string folder = TemporaryFolder();
    const std::string suffix = ".backup-XXXXXX";
    std::string pattern = folder + "/" + Shortened(NameOf(target_), NameLimit(folder) - suffix.size()) + suffix;
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd >= 0 && CopyBackupFrom(pattern, fd))
        return true;
    if (fd < 0 && error == 0)
        error = errno;
    errno = error != 0 ? error : EIO;
    return false;
}

TextStream& SafeFileWriter::Stream()
{
    return *stream_;
}

bool SafeFileWriter::ReplaceInPlaceFrom(int source)
{
    // The finished new file could not be renamed over the old one: its
    // content is written into the old file instead, with a backup.
    if (!OpenInPlace())
        return false;
    if (!CopyContent(source, fd_) || fsync(fd_) != 0)
        return Fail(errno);
    return true;
}

bool SafeFileWriter::Commit()
{
    if (error_ != 0 || fd_ < 0)
        return Fail(error_ != 0 ? error_ : EBADF);
    // Flushed before the lock is taken: a pipe may block, and the stream
    // locks for each piece that goes to a file.
    if (!stream_->Flush())
        return Fail(stream_->Error());
    std::lock_guard<std::recursive_mutex> guard(FileStateLock());

    switch (method_) {
    case Method::Stream:
        if (close(fd_) != 0) {
            fd_ = -1;
            return Fail(errno);
        }
        fd_ = -1;
        break;
    case Method::Replace: {
        if (fsync(fd_) != 0)
            return Fail(errno);
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            const int error = errno;
            if (!exists_ || !RenameRefused(error))
                return Fail(error);
            const int source = fd_;
            fd_ = -1;
            const std::string temporary = temporary_;
            temporary_.clear();
            const bool replaced = ReplaceInPlaceFrom(source);
            close(source);
            unlink(temporary.c_str());
            if (!replaced)
                return false;
            return Commit();
        }
        temporary_.clear();
        const int fd = fd_;
        fd_ = -1;
        close(fd);
        SyncFolder(FolderOf(target_));
        break;
    }
    case Method::InPlace:
        if (fsync(fd_) != 0)
            return Fail(errno);
        rewriting_ = false;
        CloseDescriptor();
        close(backupFd_);
        backupFd_ = -1;
        unlink(backup_.c_str());
        backup_.clear();
        break;
    case Method::None:
        return Fail(EBADF);
    }
    committed_ = true;
    return true;
}

std::string SafeFileWriter::ErrorMessage() const
{
    if (error_ == 0)
        return std::string();
    std::string reason = std::strerror(error_);
    if (outcome_ == Outcome::PutBack)
        reason += "; the old content was put back";
    else if (outcome_ == Outcome::BackupKept)
        reason += "; the old content is kept in \"" + backup_ + "\"";
    return WriteErrorMessage(path_, reason);
}

} // namespace brelloc
