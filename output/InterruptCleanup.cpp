#include "InterruptCleanup.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include <pthread.h>

namespace brelloc {

namespace {

struct Registry {
    std::recursive_mutex lock;
    std::vector<Interruptible*> items;
};

// Never destroyed: the interruption thread may use it while the program
// runs its exit handlers.
Registry& TheRegistry()
{
    static Registry* registry = new Registry;
    return *registry;
}

void WaitForInterruption(sigset_t signals, std::string prefix)
{
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    Registry& registry = TheRegistry();
    // Kept locked: the other threads stop at their next file step.
    registry.lock.lock();
    for (Interruptible* item : registry.items) {
        const std::string message = item->CleanUpAfterInterruption();
        if (!message.empty())
            std::fprintf(stderr, "%s%s\n", prefix.c_str(), message.c_str());
    }
    registry.items.clear();
    std::fflush(stderr);
    // Ends the process by the same signal, so the caller sees why it ended.
    std::signal(signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal);
}

} // namespace

std::recursive_mutex& FileStateLock()
{
    return TheRegistry().lock;
}

void RegisterInterruptible(Interruptible* item)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    registry.items.push_back(item);
}

void UnregisterInterruptible(Interruptible* item)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    registry.items.erase(std::remove(registry.items.begin(), registry.items.end(), item),
                         registry.items.end());
}

ScratchFolder::ScratchFolder(const std::string& prefix)
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base == '/' ? base : "/tmp") + "/" + prefix + "-XXXXXX";
    std::lock_guard<std::recursive_mutex> guard(FileStateLock());
    if (mkdtemp(pattern.data()) == nullptr) {
        error_ = errno;
        return;
    }
    path_ = pattern;
    RegisterInterruptible(this);
}

ScratchFolder::~ScratchFolder()
{
    std::lock_guard<std::recursive_mutex> guard(FileStateLock());
    Remove();
    UnregisterInterruptible(this);
}

void ScratchFolder::Remove()
{
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
}

std::string ScratchFolder::CleanUpAfterInterruption()
{
    Remove();
    return std::string();
}

void HandleInterruptions(const std::string& prefix)
{
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&signals, signal);
    }
    if (sigisemptyset(&signals))
        return;
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(WaitForInterruption, signals, prefix).detach();
}

} // namespace brelloc
