#include "files/read_file.h"

#include "base/memory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

// Opens `path` without waiting for a writer or a device, and only when it is a regular file;
// then it reads as any file does. -1 with errno otherwise (EISDIR for a folder, ENODEV for
// anything else that is not a regular file).
int OpenRegular(const char* path, struct stat& st) {
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    int error = ::fstat(fd, &st) != 0  ? errno
                : S_ISDIR(st.st_mode)  ? EISDIR
                : !S_ISREG(st.st_mode) ? ENODEV
                                       : 0;
    if (error == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

ReadStatus ReadInto(int fd, const ReadRules& rules, std::size_t expected, std::string& bytes) {
    bytes.clear();
    const std::size_t first = std::min(expected, rules.limit);
    bytes.reserve(first + first / 4 + 64);
    tarvo::PreferLargePages(bytes);
    std::size_t want = first + 1; // one byte more, to see the end in the same read
    for (;;) {
        const std::size_t old = bytes.size();
        if (old == want) {
            want = old + std::max<std::size_t>(old / 2, 1 << 16); // it has grown since
        }
        // One byte beyond the limit tells that there is more.
        want = std::min(want, rules.limit == std::size_t(-1) ? want : rules.limit + 1);
        bytes.resize(want);
        const ssize_t n = ::read(fd, bytes.data() + old, want - old);
        if (n < 0) {
            bytes.resize(old);
            if (errno == EINTR) {
                continue;
            }
            return ReadStatus::Failed;
        }
        bytes.resize(old + std::size_t(n));
        if (rules.refuse_nul && std::memchr(bytes.data() + old, '\0', std::size_t(n)) != nullptr) {
            return ReadStatus::HoldsNul;
        }
        if (bytes.size() > rules.limit) {
            return ReadStatus::TooLarge;
        }
        if (n == 0) {
            return ReadStatus::Ok;
        }
    }
}

// Frees what a failed read had taken.
ReadStatus Keep(ReadStatus status, std::string& bytes) {
    if (status != ReadStatus::Ok) {
        const int error = errno;
        std::string().swap(bytes);
        errno = error;
    }
    return status;
}

} // namespace

ReadStatus ReadToEnd(int fd, const ReadRules& rules, std::size_t expected,
                     std::string& bytes) noexcept {
    try {
        return Keep(ReadInto(fd, rules, expected, bytes), bytes);
    } catch (const std::bad_alloc&) {
        return Keep(ReadStatus::NoMemory, bytes);
    } catch (const std::length_error&) {
        return Keep(ReadStatus::NoMemory, bytes);
    }
}

ReadStatus ReadRegularFile(const char* path, const ReadRules& rules, std::string& bytes,
                           off_t* size) noexcept {
    bytes.clear();
    struct stat st;
    const int fd = OpenRegular(path, st);
    if (fd < 0) {
        return errno == ENODEV ? ReadStatus::NotRegular : ReadStatus::Failed;
    }
    if (size != nullptr) {
        *size = st.st_size;
    }
    ReadStatus status = ReadStatus::TooLarge;
    if (uint64_t(st.st_size) <= rules.limit) {
        status = ReadToEnd(fd, rules, std::size_t(st.st_size), bytes);
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return status;
}

std::FILE* OpenRegularFile(const char* path, std::size_t limit, struct stat* st) noexcept {
    struct stat own;
    struct stat& seen = st != nullptr ? *st : own;
    const int fd = OpenRegular(path, seen);
    if (fd < 0) {
        return nullptr;
    }
    if (uint64_t(seen.st_size) > limit) {
        ::close(fd);
        errno = EFBIG;
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "r");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

const char* ReadFailureText(ReadStatus status, int error) noexcept {
    switch (status) {
    case ReadStatus::Ok:
        return "";
    case ReadStatus::NotRegular:
        return "not a regular file";
    case ReadStatus::HoldsNul:
        return "not text (holds NUL bytes)";
    case ReadStatus::NoMemory:
        return "Not enough memory";
    case ReadStatus::TooLarge:
        return "file too large";
    case ReadStatus::Failed:
        break;
    }
    return std::strerror(error);
}
