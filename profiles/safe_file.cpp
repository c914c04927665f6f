#include "profiles/safe_file.h"

#include "profiles/temp_files.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
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
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        text.remove_prefix(std::size_t(n));
    }
    return true;
}

// Closes `fd`, keeping the first failure's reason in `error`.
bool CloseKeeping(int fd, bool ok, int& error) {
    if (::close(fd) != 0 && ok) {
        error = errno;
        return false;
    }
    return ok;
}

bool IsDescriptorLink(const std::string& path) {
    return path.rfind("/proc/", 0) == 0 || path.rfind("/dev/fd/", 0) == 0 || path == "/dev/stdin" ||
           path == "/dev/stdout" || path == "/dev/stderr";
}

// Follows the symbolic links that the last part of `path` names, to the path of the file they
// lead to, which need not exist. `descriptor` is set when the way passes a descriptor link.
bool FollowLinks(std::string& path, bool& descriptor) {
    for (int hops = 0;; ++hops) {
        descriptor = descriptor || IsDescriptorLink(path);
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) {
            return errno == ENOENT; // a dangling last link names a file to create
        }
        if (!S_ISLNK(st.st_mode)) {
            return true;
        }
        if (hops == 40) {
            errno = ELOOP;
            return false;
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n < 0 || n == ssize_t(sizeof target)) {
            errno = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        const std::string next(target, std::size_t(n));
        const std::size_t slash = path.rfind('/');
        path =
            next[0] == '/' || slash == std::string::npos ? next : path.substr(0, slash + 1) + next;
    }
}

// Writes into what is there, as a shell's redirection would.
int WriteInPlace(const char* path, std::string_view text, bool truncate) {
    const int fd = ::open(path, O_WRONLY | O_NOCTTY | O_CLOEXEC | (truncate ? O_TRUNC : 0));
    if (fd < 0) {
        return 0;
    }
    bool ok = WriteAll(fd, text);
    int error = errno;
    ok = CloseKeeping(fd, ok, error);
    errno = error;
    return ok ? 1 : 0;
}

int Fail(int dir, int error) {
    ::close(dir);
    errno = error;
    return 0;
}

// Replaces (or creates) the file `target`, which is no link, by a new file beside it.
int Replace(const std::string& target, std::string_view text) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) {
        errno = EISDIR;
        return 0;
    }
    // A folder that may be written but not listed cannot be flushed; it still takes the file.
    bool can_sync = true;
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0 && errno == EACCES) {
        dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        can_sync = false;
    }
    if (dir < 0) {
        return 0;
    }
    struct stat old;
    const bool had = ::fstatat(dir, base.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!had && errno != ENOENT) {
        return Fail(dir, errno);
    }
    if (had && S_ISDIR(old.st_mode)) {
        return Fail(dir, EISDIR);
    }
    if (had && ::faccessat(dir, base.c_str(), W_OK, AT_EACCESS) != 0) {
        return Fail(dir, errno);
    }
    TempFile temp;
    // A new file gets what umask leaves of 0666; a replaced one its own mode, set below.
    const int fd = temp.Create(dir, had ? 0600 : 0666);
    if (fd < 0) {
        return Fail(dir, errno);
    }
    bool ok = true;
    if (had) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Root gives the file back to its owner; anyone else keeps its group if a member.
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), old.st_gid);
            }
        }
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && WriteAll(fd, text) && (::fsync(fd) == 0 || errno == EINVAL);
    int error = errno;
    ok = CloseKeeping(fd, ok, error);
    if (ok && ::renameat(dir, temp.Name(), dir, base.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlinkat(dir, temp.Name(), 0);
        temp.Forget();
        return Fail(dir, error);
    }
    temp.Forget();
    if (can_sync) {
        ::fsync(dir); // so that the rename survives a power cut; it has happened either way
    }
    ::close(dir);
    return 1;
}

} // namespace

int WriteFileWhole(const char* path, std::string_view text) {
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return 0;
    }
    struct stat st;
    const bool exists = ::stat(path, &st) == 0;
    if (!exists && errno != ENOENT) {
        return 0; // the real reason: not a directory, permission denied, too many links
    }
    const std::string_view given = path;
    if ((exists && S_ISDIR(st.st_mode)) || (!exists && given.back() == '/')) {
        errno = EISDIR;
        return 0;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        return WriteInPlace(path, text, false);
    }
    std::string target = path;
    bool descriptor = false;
    if (!FollowLinks(target, descriptor)) {
        return 0;
    }
    if (exists && descriptor) {
        // A file that the caller's standard output (or another descriptor) is open on.
        return WriteInPlace(path, text, true);
    }
    return Replace(target, text);
}
