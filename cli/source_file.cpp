#include "cli/source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

int ReadToEnd(int fd, std::string& text, std::size_t expected) {
    text.clear();
    text.reserve(expected + expected / 4 + 64);
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
