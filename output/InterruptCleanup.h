#pragma once

#include <mutex>
#include <string>

namespace brelloc {

// What a run leaves on disk while it writes (temporary files, backups of
// files rewritten in place, scratch folders) registers here, so that an
// interrupted run removes it and puts back what it was rewriting. Every step
// that changes such state holds FileStateLock(), so the clean-up never sees a
// step half done.
class Interruptible {
public:
    virtual ~Interruptible() = default;
    // Runs at most once, with FileStateLock() held. Returns a sentence to
    // show when something could not be put back, or "".
    virtual std::string CleanUpAfterInterruption() = 0;
};

std::recursive_mutex& FileStateLock();
void RegisterInterruptible(Interruptible* item);
void UnregisterInterruptible(Interruptible* item);

// A scratch folder "TMPDIR/PREFIX-XXXXXX" (TMPDIR, else /tmp), made and
// registered in one step and removed with everything in it when the object
// goes or the run is interrupted, whichever comes first.
class ScratchFolder : private Interruptible {
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder() override;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Ok() const { return error_ == 0; }
    int Error() const { return error_; }
    const std::string& Path() const { return path_; }

private:
    std::string CleanUpAfterInterruption() override;
    void Remove();
    std::string path_;
    int error_ = 0;
};

// For a program that writes files and may be stopped: blocks SIGINT, SIGTERM
// and SIGHUP in the calling thread (and so in every thread it starts later)
// and starts a thread that waits for them. On one, every registered item is
// cleaned up (the lock is kept, so nothing more is written), each sentence
// it returns is printed to standard error after prefix, and the process ends
// by that signal. A signal that was ignored at start stays ignored. Call it
// first thing in main, before any other thread exists.
void HandleInterruptions(const std::string& prefix);

} // namespace brelloc
