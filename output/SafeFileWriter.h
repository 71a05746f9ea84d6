#pragma once

#include "FileTextStream.h"
#include "InterruptCleanup.h"

#include <memory>
#include <string>

#include <sys/stat.h>

namespace brelloc {

// Writes a file so that the old one is never lost.
//
//   SafeFileWriter writer(path);
//   if (writer.Open()) { write to writer.Stream(); writer.Commit(); }
//   if (!writer.Ok()) report writer.ErrorMessage();
//
// A regular file is replaced by a new file written beside it, renamed over
// it once complete, flushed and synced, only where the new file can keep the
// old one's owner, group and mode and the old file has one link. Otherwise
// (several links, an owner or group the new file cannot get, a folder that
// takes no new file or refuses the rename) the old content is first copied
// to a backup (beside the file, else in TMPDIR), the new content written
// into the file itself, flushed and synced, and the backup removed; on any
// failure, or a writer abandoned before Commit(), the old content is put
// back from the backup. A symbolic link is followed, and a dangling one gets
// the file it points to. A stream or device (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N, a FIFO, a terminal) is written as it is, never replaced:
// a name for one of this process's descriptors writes through that
// descriptor, so an appending one appends. An existing file the user may not
// write is refused, although the folder would allow replacing it.
//
// While it works, the writer is registered for clean-up after an
// interruption (see InterruptCleanup.h).
class SafeFileWriter : private Interruptible {
public:
    explicit SafeFileWriter(std::string path);
    ~SafeFileWriter() override;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    bool Open();
    // Valid after a successful Open(); collects the first write error.
    TextStream& Stream();
    bool Commit();

    bool Ok() const { return error_ == 0; }
    int Error() const { return error_; }
    // "Could not write the file "<path>": <reason>." for the path as given;
    // where the file was being rewritten in place it ends "<reason>; the old
    // content was put back." or "<reason>; the old content is kept in
    // "<backup>"." instead.
    std::string ErrorMessage() const;

    // How the file is written, decided by Open().
    enum class Method { None, Replace, InPlace, Stream };
    Method WriteMethod() const { return method_; }

    const std::string& Path() const { return path_; }
    // The new file beside the target while it exists (empty otherwise).
    const std::string& TemporaryPath() const { return temporary_; }
    // The copy of the old content while it exists (empty otherwise).
    const std::string& BackupPath() const { return backup_; }

private:
    enum class Outcome { None, PutBack, BackupKept };

    bool OpenStream(int descriptor);
    bool OpenDevice();
    bool OpenInPlace();
    bool CreateTemporary();
    bool TemporaryKeepsOwnerAndMode();
    bool MakeBackup();
    bool CopyBackupFrom(const std::string& candidate, int backupFd);
    bool Restore();
    bool ReplaceInPlaceFrom(int source);
    bool Fail(int error);
    void Discard();
    void CloseDescriptor();
    std::string CleanUpAfterInterruption() override;

    std::string path_;
    std::string target_; // path_ with symbolic links followed
    bool exists_ = false;
    struct stat existing_ {};
    Method method_ = Method::None;
    std::string temporary_;
    std::string backup_;
    int fd_ = -1;        // where the stream writes
    int backupFd_ = -1;
    bool rewriting_ = false; // the target no longer holds its old content
    std::unique_ptr<FdTextStream> stream_;
    int error_ = 0;
    Outcome outcome_ = Outcome::None;
    bool committed_ = false;
};

// The descriptor of this process that a path names (/dev/stdin, /dev/stdout,
// /dev/stderr, /dev/fd/N, /proc/self/fd/N, /proc/PID/fd/N of this process),
// or -1 when it names none.
int StreamDescriptorOf(const std::string& path);

} // namespace brelloc
