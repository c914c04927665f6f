#include "files/safe_file.h"

#include "files/temp_files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// Where a write goes: nowhere (errno tells why), into what is there, or a file replaced.
enum class Route { Refused, InPlace, InPlaceTruncated, Replace };

// The route for `path`; for Replace, `target` is the file that links lead to.
Route RouteFor(const char* path, std::string& target) {
    if (path == nullptr || *path == '\0') {
        errno = ENOENT;
        return Route::Refused;
    }
    struct stat st;
    const bool exists = ::stat(path, &st) == 0;
    if (!exists && errno != ENOENT) {
        return Route::Refused; // the real reason: not a directory, permission denied, a loop
    }
    const std::string_view given = path;
    if ((exists && S_ISDIR(st.st_mode)) || (!exists && given.back() == '/')) {
        errno = EISDIR;
        return Route::Refused;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        return Route::InPlace;
    }
    target = path;
    bool descriptor = false;
    if (!FollowLinks(target, descriptor)) {
        return Route::Refused;
    }
    // A file that the caller's standard output (or another descriptor) is open on.
    return exists && descriptor ? Route::InPlaceTruncated : Route::Replace;
}

// A write that goes anywhere but into a replaced file: refused, or in place.
int WriteWithoutReplacing(Route route, const char* path, std::string_view text) {
    return route == Route::Refused ? 0 : WriteInPlace(path, text, route == Route::InPlaceTruncated);
}

} // namespace

// A file's new text in a temporary file beside it, written and closed, not yet in place.
struct NewVersion {
    NewVersion() = default;
    ~NewVersion() {
        if (dir >= 0) {
            if (temp.Created()) {
                ::unlinkat(dir, temp.Name(), 0);
            }
            ::close(dir);
        }
    }
    NewVersion(const NewVersion&) = delete;
    NewVersion& operator=(const NewVersion&) = delete;

    int dir = -1;         // the folder
    bool can_sync = true; // false: the folder may be written but not read, and cannot be flushed
    bool flushed = false; // the temporary file's text is on the disk
    std::string base;     // the file's name in the folder
    TempFile temp;
};

namespace {

// Writes `text` into a new version of `target`, which is no link, with the mode and owner of the
// file it replaces; `flush` sends it to the disk too. Returns 1, or 0 with errno, and then
// nothing new is left on the disk.
int WriteNewVersion(const std::string& target, std::string_view text, bool flush,
                    NewVersion& version) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : target.substr(0, slash);
    version.base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (version.base.empty()) {
        errno = EISDIR;
        return 0;
    }
    // A folder that may be written but not listed cannot be flushed; it still takes the file.
    version.dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (version.dir < 0 && errno == EACCES) {
        version.dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        version.can_sync = false;
    }
    if (version.dir < 0) {
        return 0;
    }
    struct stat old;
    const char* base = version.base.c_str();
    const bool had = ::fstatat(version.dir, base, &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!had && errno != ENOENT) {
        return 0;
    }
    if (had && S_ISDIR(old.st_mode)) {
        errno = EISDIR;
        return 0;
    }
    if (had && ::faccessat(version.dir, base, W_OK, AT_EACCESS) != 0) {
        return 0;
    }
    // A new file gets what umask leaves of 0666; a replaced one its own mode, set below.
    const int fd = version.temp.Create(version.dir, had ? 0600 : 0666);
    if (fd < 0) {
        return 0;
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
    // Without a folder to flush, the file is flushed at once, so that it is safe without that.
    version.flushed = flush || !version.can_sync;
    ok = ok && WriteAll(fd, text) && (!version.flushed || ::fsync(fd) == 0 || errno == EINVAL);
    int error = errno;
    ok = CloseKeeping(fd, ok, error);
    errno = error;
    return ok ? 1 : 0; // on failure the destructor removes the temporary file
}

// Renames the new version over its file. Returns 1, or 0 with errno, the new version removed.
int PutInPlace(NewVersion& version) {
    if (::renameat(version.dir, version.temp.Name(), version.dir, version.base.c_str()) != 0) {
        return 0;
    }
    version.temp.Forget();
    return 1;
}

// Flushes a folder after renames, so that they survive a power cut; they have happened either
// way.
void FlushFolder(const NewVersion& version) {
    if (version.can_sync) {
        ::fsync(version.dir);
    }
}

} // namespace

int WriteFileWhole(const char* path, std::string_view text) {
    std::string target;
    const Route route = RouteFor(path, target);
    if (route != Route::Replace) {
        return WriteWithoutReplacing(route, path, text);
    }
    NewVersion version;
    if (!WriteNewVersion(target, text, true, version) || !PutInPlace(version)) {
        return 0;
    }
    FlushFolder(version);
    return 1;
}

struct FileWriteGroup::WaitingFile {
    std::string path; // as the caller gave it; empty once it failed
    NewVersion version;
};

FileWriteGroup::FileWriteGroup() = default;
FileWriteGroup::~FileWriteGroup() = default; // the destructors remove what waits

int FileWriteGroup::Write(const char* path, std::string_view text) {
    std::string target;
    const Route route = RouteFor(path, target);
    if (route != Route::Replace) {
        return WriteWithoutReplacing(route, path, text);
    }
    auto waiting = std::make_unique<WaitingFile>();
    waiting->path = path;
    if (!WriteNewVersion(target, text, false, waiting->version)) {
        return 0;
    }
    m_waiting.push_back(std::move(waiting));
    return 1;
}

std::vector<FileWriteGroup::Failure> FileWriteGroup::Commit() {
    std::vector<Failure> failures;
    // One flush per file system for every text not flushed yet.
    std::vector<std::pair<dev_t, int>> synced; // file system, and the error of its flush
    for (const auto& waiting : m_waiting) {
        const NewVersion& version = waiting->version;
        struct stat st;
        if (version.flushed || ::fstat(version.dir, &st) != 0) {
            continue;
        }
        auto done = std::find_if(synced.begin(), synced.end(),
                                 [&](const auto& fs) { return fs.first == st.st_dev; });
        if (done == synced.end()) {
            synced.emplace_back(st.st_dev, ::syncfs(version.dir) == 0 ? 0 : errno);
            done = synced.end() - 1;
        }
        if (done->second != 0) {
            failures.push_back({waiting->path, done->second});
            waiting->path.clear(); // failed: its temporary file goes with it below
        }
    }
    std::vector<std::pair<dev_t, ino_t>> flushed; // folders flushed after their renames
    for (const auto& waiting : m_waiting) {
        if (waiting->path.empty()) {
            continue;
        }
        if (!PutInPlace(waiting->version)) {
            failures.push_back({waiting->path, errno});
            continue;
        }
        struct stat st;
        if (::fstat(waiting->version.dir, &st) == 0 &&
            std::find(flushed.begin(), flushed.end(), std::pair(st.st_dev, st.st_ino)) ==
                flushed.end()) {
            flushed.emplace_back(st.st_dev, st.st_ino);
            FlushFolder(waiting->version);
        }
    }
    m_waiting.clear();
    return failures;
}
