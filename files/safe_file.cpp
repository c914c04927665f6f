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
int WriteWithoutReplacing(Route route, const char* path, std::string_view text,
                          WriteTarget target) {
    if (route != Route::Refused && target == WriteTarget::RegularOnly) {
        errno = ENODEV; // never opened: a FIFO would wait for a reader
        return 0;
    }
    return route == Route::Refused ? 0 : WriteInPlace(path, text, route == Route::InPlaceTruncated);
}

} // namespace

// A file's new text in a temporary file beside it, written and closed, not yet in place.
struct NewVersion {
    NewVersion() = default;
    ~NewVersion() {
        if (temp.Created()) {
            dir >= 0 ? ::unlinkat(dir, temp.Name(), 0) : ::unlink(temp.Path());
        }
        CloseFolder();
    }
    NewVersion(const NewVersion&) = delete;
    NewVersion& operator=(const NewVersion&) = delete;

    void CloseFolder() {
        if (dir >= 0) {
            ::close(dir);
            dir = -1;
        }
    }

    int dir = -1;         // the folder, while it is open
    bool can_sync = true; // false: the folder may be written but not read, and cannot be flushed
    bool flushed = false; // the temporary file's text is on the disk
    std::string folder;   // the folder's path
    dev_t folder_device = 0;
    ino_t folder_inode = 0;
    std::string base; // the file's name in the folder
    TempFile temp;
};

namespace {

// Opens `folder`; a folder that may be written but not listed cannot be flushed (`can_sync`
// false), and still takes the file. -1 with errno when it cannot be opened.
int OpenFolder(const std::string& folder, bool& can_sync) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    can_sync = fd >= 0 || errno != EACCES;
    if (!can_sync) {
        fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    return fd;
}

// Writes `text` into a new version of `target`, which is no link, with the mode and owner of the
// file it replaces; `flush` sends it to the disk too. Returns 1, or 0 with errno, and then
// nothing new is left on the disk.
int WriteNewVersion(const std::string& target, std::string_view text, bool flush,
                    NewVersion& version) {
    const std::size_t slash = target.rfind('/');
    version.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    version.base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (version.base.empty()) {
        errno = EISDIR;
        return 0;
    }
    struct stat folder;
    version.dir = OpenFolder(version.folder, version.can_sync);
    if (version.dir < 0 || ::fstat(version.dir, &folder) != 0) {
        return 0;
    }
    version.folder_device = folder.st_dev;
    version.folder_inode = folder.st_ino;
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
    const int fd = version.temp.Create(version.dir, version.folder, had ? 0600 : 0666);
    if (fd < 0) {
        return 0;
    }
    bool ok = true;
    if (had && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Root gives the file back to its owner; anyone else keeps its group if a member.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), old.st_gid);
        }
    }
    // Without a folder to flush, the file is flushed at once, so that it is safe without that.
    version.flushed = flush || !version.can_sync;
    ok = WriteAll(fd, text);
    // The mode after the last write: a write by anyone but root clears setuid and setgid.
    ok = ok && (!had || ::fchmod(fd, old.st_mode & 07777) == 0);
    ok = ok && (!version.flushed || ::fsync(fd) == 0 || errno == EINVAL);
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

// The folder that a group's Commit works in: one at a time, opened again by its path and taken
// only when it is the folder the files were written in.
struct FolderAtHand {
    FolderAtHand() = default;
    ~FolderAtHand() { Close(); }
    FolderAtHand(const FolderAtHand&) = delete;
    FolderAtHand& operator=(const FolderAtHand&) = delete;

    void Close() {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
    // The folder of `version`, open; false with errno (ENOENT when another folder took its place).
    bool Open(const NewVersion& version) {
        if (fd >= 0 && path == version.folder) {
            return true;
        }
        Close();
        path = version.folder;
        fd = OpenFolder(path, can_sync);
        struct stat st;
        if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_dev != version.folder_device ||
                        st.st_ino != version.folder_inode)) {
            Close();
            errno = ENOENT;
        }
        return fd >= 0;
    }

    std::string path;
    int fd = -1;
    bool can_sync = true;
};

} // namespace

int WriteFileWhole(const char* path, std::string_view text, WriteTarget target) {
    std::string replaced;
    const Route route = RouteFor(path, replaced);
    if (route != Route::Replace) {
        return WriteWithoutReplacing(route, path, text, target);
    }
    NewVersion version;
    if (!WriteNewVersion(replaced, text, true, version) || !PutInPlace(version)) {
        return 0;
    }
    FlushFolder(version);
    return 1;
}

struct FileWriteGroup::WaitingFile {
    std::string path; // as the caller gave it; empty once it failed
    NewVersion version;
};

FileWriteGroup::FileWriteGroup(WriteTarget target) : m_target(target) {}
FileWriteGroup::~FileWriteGroup() = default; // the destructors remove what waits

int FileWriteGroup::Write(const char* path, std::string_view text) {
    std::string target;
    const Route route = RouteFor(path, target);
    if (route != Route::Replace) {
        return WriteWithoutReplacing(route, path, text, m_target);
    }
    auto waiting = std::make_unique<WaitingFile>();
    waiting->path = path;
    if (!WriteNewVersion(target, text, false, waiting->version)) {
        return 0;
    }
    // No folder stays open while its file waits: a group holds no descriptor, whatever its size
    // and however many groups there are.
    waiting->version.CloseFolder();
    m_waiting.push_back(std::move(waiting));
    return 1;
}

std::vector<FileWriteGroup::Failure> FileWriteGroup::Commit() {
    std::vector<Failure> failures;
    auto fail = [&](WaitingFile& waiting, int error) {
        failures.push_back({waiting.path, error});
        waiting.path.clear(); // its temporary file goes with it when the group is cleared
    };
    FolderAtHand folder;
    // One flush per file system for every text not flushed yet.
    std::vector<std::pair<dev_t, int>> synced; // file system, and the error of its flush
    for (const auto& waiting : m_waiting) {
        const NewVersion& version = waiting->version;
        if (version.flushed) {
            continue;
        }
        auto done = std::find_if(synced.begin(), synced.end(),
                                 [&](const auto& fs) { return fs.first == version.folder_device; });
        if (done == synced.end()) {
            if (!folder.Open(version)) {
                fail(*waiting, errno);
                continue;
            }
            synced.emplace_back(version.folder_device, ::syncfs(folder.fd) == 0 ? 0 : errno);
            done = synced.end() - 1;
        }
        if (done->second != 0) {
            fail(*waiting, done->second);
        }
    }
    // Each folder flushed after the renames into it, once for neighbours in the same folder.
    for (std::size_t i = 0; i < m_waiting.size(); ++i) {
        WaitingFile& waiting = *m_waiting[i];
        NewVersion& version = waiting.version;
        if (waiting.path.empty()) {
            continue;
        }
        if (!folder.Open(version) ||
            ::renameat(folder.fd, version.temp.Name(), folder.fd, version.base.c_str()) != 0) {
            fail(waiting, errno);
            continue;
        }
        version.temp.Forget();
        const bool same_next =
            i + 1 < m_waiting.size() && m_waiting[i + 1]->version.folder == version.folder;
        if (!same_next && folder.can_sync) {
            ::fsync(folder.fd);
        }
    }
    folder.Close();
    m_waiting.clear();
    return failures;
}
