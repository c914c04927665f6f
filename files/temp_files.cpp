#include "files/temp_files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace {

// A slot goes Free -> Claimed (its fields are filled) -> Creating (open in progress, on a
// thread that has the signals blocked) -> Armed (the file exists) -> Free.
enum SlotState : int { kFree, kClaimed, kCreating, kArmed };

struct Slot {
    std::atomic<int> state{kFree};
    int dir_fd = -1;
    char name[TempFile::kNameSize] = {};
};

// Enough for every writer of a batch run with all its pages waiting (FileWriteGroup).
constexpr int kSlots = 1024;
Slot g_slots[kSlots];
std::atomic<bool> g_ending{false};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler may use only lock-free atomics");

// Only async-signal-safe calls here.
void RemoveTempFilesAndEnd(int signal) {
    g_ending.store(true);
    for (Slot& slot : g_slots) {
        int state = slot.state.load();
        while (state == kCreating) { // another thread is inside open(); it returns at once
            state = slot.state.load();
        }
        if (state == kArmed) {
            ::unlinkat(slot.dir_fd, slot.name, 0);
        }
    }
    // The handler was installed with SA_RESETHAND and SA_NODEFER: this ends the process as
    // the signal would have without it.
    ::raise(signal);
}

void InstallHandlers() {
    for (int signal : kSignals) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
            old.sa_handler != SIG_DFL) {
            continue; // ignored, or someone else's: left as it is
        }
        struct sigaction action {};
        action.sa_handler = RemoveTempFilesAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        ::sigaction(signal, &action, nullptr);
    }
}

uint64_t Mix(uint64_t x) {
    x += 0x9e3779b97f4a7c15u;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

void NewName(char (&name)[TempFile::kNameSize]) {
    static std::atomic<uint64_t> counter{0};
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    uint64_t bits = Mix(counter.fetch_add(1) ^ (uint64_t(::getpid()) << 40) ^ uint64_t(now));
    std::memcpy(name, ".tarvo-", 7);
    for (int i = 7; i < 13; ++i, bits /= 62) {
        name[i] = kLetters[bits % 62];
    }
    name[13] = '\0';
}

} // namespace

int TempFile::Create(int dir_fd, mode_t mode) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    Forget();
    for (int attempt = 0; attempt < 100; ++attempt) {
        NewName(m_name);
        for (int i = 0; i < kSlots && m_slot < 0; ++i) {
            int expected = kFree;
            if (g_slots[i].state.compare_exchange_strong(expected, kClaimed)) {
                m_slot = i;
            }
        }
        // More writes in flight than slots: this one goes unguarded.
        Slot* slot = m_slot >= 0 ? &g_slots[m_slot] : nullptr;
        if (slot != nullptr) {
            slot->dir_fd = dir_fd;
            std::memcpy(slot->name, m_name, sizeof m_name);
        }
        // With the signals blocked on this thread, a handler on another one waits for the open
        // to return and then removes the file; one that came before sees g_ending set.
        sigset_t block;
        sigset_t old;
        sigemptyset(&block);
        for (int signal : kSignals) {
            sigaddset(&block, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &block, &old);
        if (slot != nullptr) {
            slot->state.store(kCreating);
        }
        int fd = -1;
        if (g_ending.load()) {
            errno = EINTR;
        } else {
            fd = ::openat(dir_fd, m_name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        }
        const int error = errno;
        if (slot != nullptr) {
            slot->state.store(fd >= 0 ? kArmed : kClaimed);
        }
        ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
        if (fd >= 0 || error != EEXIST) {
            if (fd < 0) {
                Forget();
            }
            m_created = fd >= 0;
            errno = error;
            return fd;
        }
    }
    Forget();
    errno = EEXIST;
    return -1;
}

void TempFile::Forget() {
    m_created = false;
    if (m_slot >= 0) {
        g_slots[m_slot].state.store(kFree);
        m_slot = -1;
    }
}
