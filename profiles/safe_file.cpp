#include "profiles/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        text.remove_prefix(std::size_t(n));
    }
    return true;
}

mode_t NewFileMode(const char* path) {
    struct stat st;
    if (::stat(path, &st) == 0) {
        return st.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

int WriteFileWhole(const char* path, std::string_view text) {
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return 0;
    }
    // mkstemp needs a writable template; the new file sits beside the target so that the
    // rename stays within one file system.
    std::string temp = std::string(path) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return 0;
    }
    bool ok = ::fchmod(fd, NewFileMode(path)) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path) == 0;
    if (!ok) {
        const int error = errno; // the reason, for callers that report it
        ::unlink(temp.c_str());
        errno = error;
        return 0;
    }
    return 1;
}
