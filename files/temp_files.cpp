#include "files/temp_files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A slot goes Free -> Claimed (its fields are filled) -> Creating (open in progress, on a
// thread that has the signals blocked) -> Armed (the file exists) -> Free. A guarded folder's
// slot is ArmedFolder, removed after every file.
enum SlotState : int { kFree, kClaimed, kCreating, kArmed, kArmedFolder };

struct Slot {
    std::atomic<int> state{kFree};
    std::atomic<const char*> path{nullptr};
};

struct Block {
    static constexpr int kSlots = 1024;
    Slot slots[kSlots];
    std::atomic<Block*> next{nullptr};
};

// The first block lives as long as the program; the later ones are never freed, so that the
// handler may walk them at any time.
Block g_first;
std::mutex g_grow;
std::atomic<bool> g_ending{false};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
                  std::atomic<const char*>::is_always_lock_free &&
                  std::atomic<Block*>::is_always_lock_free,
              "the signal handler may use only lock-free atomics");

// Empties the folder `path` of its files (one level: it holds no folders) and removes it, with
// system calls alone, as a signal handler may.
void RemoveFolder(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) {
        alignas(8) char entries[4096];
        for (long n; (n = ::syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0;) {
            for (long at = 0; at < n;) {
                // struct linux_dirent64: inode, offset, record length, type, name
                unsigned short length;
                std::memcpy(&length, entries + at + 16, sizeof length);
                const char* name = entries + at + 19;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
                    ::unlinkat(fd, name, 0);
                }
                at += length;
            }
        }
        ::close(fd);
    }
    ::rmdir(path);
}

// Only async-signal-safe calls here.
void RemoveTempFilesAndEnd(int signal) {
    g_ending.store(true);
    for (const int pass : {kArmed, kArmedFolder}) {
        for (Block* block = &g_first; block != nullptr; block = block->next.load()) {
            for (Slot& slot : block->slots) {
                int state = slot.state.load();
                while (state == kCreating) { // another thread is inside open(); it returns at once
                    state = slot.state.load();
                }
                if (state == pass && pass == kArmed) {
                    ::unlink(slot.path.load());
                } else if (state == pass) {
                    RemoveFolder(slot.path.load());
                }
            }
        }
    }
    // The handler was installed with SA_RESETHAND and SA_NODEFER: this ends the process as
    // the signal would have without it.
    ::raise(signal);
}

void InstallHandlers() {
    // Past the file size limit a write then fails with EFBIG, which the writer names and cleans
    // up after, instead of the signal ending the process with its temporary file left.
    struct sigaction size_limit {};
    if (::sigaction(SIGXFSZ, nullptr, &size_limit) == 0 &&
        (size_limit.sa_flags & SA_SIGINFO) == 0 && size_limit.sa_handler == SIG_DFL) {
        ::signal(SIGXFSZ, SIG_IGN);
    }
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

// A free slot, now Claimed; a new block when every one is taken. Null when memory ran out.
Slot* ClaimSlot() {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    for (Block* block = &g_first;;) {
        for (Slot& slot : block->slots) {
            int expected = kFree;
            if (slot.state.load(std::memory_order_relaxed) == kFree &&
                slot.state.compare_exchange_strong(expected, kClaimed)) {
                return &slot;
            }
        }
        Block* next = block->next.load();
        if (next == nullptr) {
            const std::lock_guard<std::mutex> lock(g_grow);
            next = block->next.load();
            if (next == nullptr) {
                next = new (std::nothrow) Block;
                if (next == nullptr) {
                    return nullptr;
                }
                block->next.store(next);
            }
        }
        block = next;
    }
}

uint64_t Mix(uint64_t x) {
    x += 0x9e3779b97f4a7c15u;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

void NewName(char (&name)[16]) {
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

// A copy of `text` with room for `extra` more bytes, or null.
std::unique_ptr<char[]> CopyOf(const std::string& text, std::size_t extra) {
    std::unique_ptr<char[]> copy(new (std::nothrow) char[text.size() + extra + 1]);
    if (copy) {
        std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    }
    return copy;
}

} // namespace

int TempFile::Create(int dir_fd, const std::string& folder, mode_t mode) {
    Forget();
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    m_path = CopyOf(prefix, sizeof m_name);
    if (!m_path) {
        errno = ENOMEM;
        return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        NewName(m_name);
        std::memcpy(m_path.get() + prefix.size(), m_name, sizeof m_name);
        // No slot (memory ran out): this one goes unguarded.
        Slot* slot = m_slot != nullptr ? static_cast<Slot*>(m_slot) : ClaimSlot();
        m_slot = slot;
        if (slot != nullptr) {
            slot->path.store(m_path.get());
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
    if (m_slot != nullptr) {
        static_cast<Slot*>(m_slot)->state.store(kFree);
        m_slot = nullptr;
    }
}

bool SignalRemovedPath::Guard(const std::string& path, bool folder) {
    Forget();
    m_path = CopyOf(path, 0);
    Slot* slot = m_path ? ClaimSlot() : nullptr;
    if (slot == nullptr) {
        return false;
    }
    slot->path.store(m_path.get());
    slot->state.store(folder ? kArmedFolder : kArmed);
    m_slot = slot;
    return true;
}

void SignalRemovedPath::Forget() {
    if (m_slot != nullptr) {
        static_cast<Slot*>(m_slot)->state.store(kFree);
        m_slot = nullptr;
    }
}
