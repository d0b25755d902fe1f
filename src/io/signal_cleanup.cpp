#include "io/signal_cleanup.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace varn {
namespace {

enum SlotState : int { kFree = 0, kFilling = 1, kReady = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

Slot g_slots[kTemporaryFileSlots];

static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the slots");

extern "C" void RemoveTemporaryFilesAndReraise(int sig) {
    const int saved_errno = errno;
    for (Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) == kReady) ::unlink(slot.path);
    }
    // End the way the signal would have ended the process.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
    ::raise(sig);  // delivered when this handler returns, the signal being blocked in it
    errno = saved_errno;
}

}  // namespace

int RegisterTemporaryFile(std::string_view path) noexcept {
    if (path.empty() || path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kTemporaryFileSlots; ++i) {
        Slot& slot = g_slots[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
            continue;
        }
        std::memcpy(slot.path, path.data(), path.size());
        slot.path[path.size()] = '\0';
        slot.state.store(kReady, std::memory_order_release);
        return i;
    }
    return -1;
}

void ForgetTemporaryFile(int slot) noexcept {
    if (slot < 0 || slot >= kTemporaryFileSlots) return;
    g_slots[slot].state.store(kFree, std::memory_order_release);
}

int RegisteredTemporaryFiles() noexcept {
    int count = 0;
    for (const Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) == kReady) ++count;
    }
    return count;
}

void InstallCleanupOnSignals() noexcept {
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0) continue;
        if (old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemoveTemporaryFilesAndReraise;
        sigemptyset(&action.sa_mask);
        // The other two wait while one handler runs, so the slots are walked once.
        for (const int other : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESTART;
        ::sigaction(sig, &action, nullptr);
    }
}

bool OpenClosedStandardStreams() noexcept {
    bool ok = true;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor is fd itself, the lower ones being open.
        // Opened for reading only: standard input reads as empty, and a write
        // to a closed standard output or error still fails (EBADF) as it would
        // have, rather than vanishing into the null device.
        const int opened = ::open("/dev/null", O_RDONLY | O_NOCTTY);
        if (opened != fd) {
            if (opened >= 0) ::close(opened);
            ok = false;
        }
    }
    return ok;
}

}  // namespace varn
