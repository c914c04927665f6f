#include "cli/source_file.h"

#include "convert/line_ends.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

// Large pages for the whole 2 MiB pages between `start` and `end`; a hint only.
void AdviseLargePages(uintptr_t start, uintptr_t end) {
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const uintptr_t first = (start + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t last = end & ~(kLarge - 1);
    if (first < last) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

} // namespace

void PreferLargePages(std::string& text) {
    const auto start = reinterpret_cast<uintptr_t>(text.data());
    AdviseLargePages(start, start + text.capacity());
}

int ReadToEnd(int fd, std::string& text, std::size_t expected) {
    text.clear();
    text.reserve(expected + expected / 4 + 64);
    PreferLargePages(text);
    std::size_t want = expected + 1; // one byte more, to see the end in the same read
    for (;;) {
        const std::size_t old = text.size();
        if (old == want) {
            want = old + std::max<std::size_t>(old / 2, 1 << 16); // it has grown since
        }
        text.resize(want);
        const ssize_t n = ::read(fd, text.data() + old, want - old);
        if (n < 0) {
            text.resize(old);
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        text.resize(old + std::size_t(n));
        if (n == 0) {
            return 0;
        }
    }
}

int ReadWithCrLf(int fd, std::string& text, std::size_t expected) {
    text.clear();
    // A big source, its HTML and the converter's own copy of it are served from one heap that
    // grows with room to spare, and all of it gets large pages: 4 KiB pages would cost a page
    // fault every 4 KiB of tens of megabytes.
    constexpr std::size_t kBig = std::size_t(4) << 20;
    const bool big = expected >= kBig && expected <= (std::size_t(64) << 20);
    if (big) {
        ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
        ::mallopt(M_TOP_PAD, int(expected * 4));
    }
    // Lines of eight bytes and more fit; the text grows by doubling beyond that.
    text.reserve(expected + expected / 8 + 64);
    if (big) {
        AdviseLargePages(reinterpret_cast<uintptr_t>(text.data()),
                         reinterpret_cast<uintptr_t>(::sbrk(0)));
    }
    CrLfAppender appender(text);
    std::string piece(std::size_t(1) << 18, '\0');
    for (;;) {
        const ssize_t n = ::read(fd, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            appender.Finish();
            return 0;
        }
        appender.Append(std::string_view(piece.data(), std::size_t(n)));
    }
}

int ReadRegularFile(const char* path, std::string& text) {
    // Not blocking: a pipe put where a file was must not stop the run.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return errno;
    }
    struct stat st;
    int error = ::fstat(fd, &st) != 0 ? errno : !S_ISREG(st.st_mode) ? ENODEV : 0;
    if (error == 0) {
        error = ReadToEnd(fd, text, std::size_t(st.st_size));
    }
    ::close(fd);
    return error;
}
