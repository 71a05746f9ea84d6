#pragma once

#include "FileTextStream.h"

#include <cstdio>
#include <memory>
#include <string>

namespace brelloc {

// Writes a file so that the old one survives any failure: the text goes to a
// new file beside the target, which replaces the target only once it is
// completely written, flushed to disk and closed. Until Commit() succeeds the
// target is not touched; a writer destroyed without a successful Commit()
// removes its temporary file.
//
//   SafeFileWriter writer(path);
//   if (writer.Open()) { write to writer.Stream(); writer.Commit(); }
//   if (!writer.Ok()) report writer.ErrorMessage();
//
// An existing target that the user may not write (a read-only file) is
// refused, although the folder would allow replacing it. An existing target
// that is not a regular file (a device, a pipe), or a writable file in a
// folder that takes no new file, is written in place.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    bool Open();
    // Valid after a successful Open(); collects the first write error.
    TextStream& Stream();
    bool Commit();

    bool Ok() const { return error_ == 0; }
    int Error() const { return error_; }
    // "Could not write the file "<path>": <reason>." for the path as given.
    std::string ErrorMessage() const;

    const std::string& Path() const { return path_; }
    // The temporary file while it exists (empty otherwise).
    const std::string& TemporaryPath() const { return temporary_; }

private:
    bool OpenInPlace();
    bool Fail(int error);
    void Discard();

    std::string path_;
    std::string target_;    // path_ with a symbolic link resolved
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::unique_ptr<FileTextStream> stream_;
    int error_ = 0;
    bool committed_ = false;
};

} // namespace brelloc
