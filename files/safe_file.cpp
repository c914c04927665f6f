#include "files/safe_file.h"

#include "files/new_version.h"
#include "files/temp_files.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <memory>
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

constexpr std::size_t kWritebackBlock = std::size_t(4) << 20;

// Asks the kernel to start putting a block of a new file on the disk while the writer goes on:
// the flush before the rename then waits for the last block only, and a large text does not
// pile up as dirty pages that stall the writer all at once. Only a hint: where the file system
// cannot take it, the flush does the whole work as before.
void StartWriteback(int fd, off_t offset, std::size_t length) {
    ::sync_file_range(fd, offset, off_t(length), SYNC_FILE_RANGE_WRITE);
}

// Writes a new file's text in blocks, each sent on its way to the disk.
bool WriteAllStartingWriteback(int fd, std::string_view text) {
    off_t offset = 0;
    while (text.size() > kWritebackBlock) {
        if (!WriteAll(fd, text.substr(0, kWritebackBlock))) {
            return false;
        }
        StartWriteback(fd, offset, kWritebackBlock);
        offset += off_t(kWritebackBlock);
        text.remove_prefix(kWritebackBlock);
    }
    return WriteAll(fd, text);
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

} // namespace

namespace safe_file_detail {

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

int WriteWithoutReplacing(Route route, const char* path, std::string_view text,
                          WriteTarget target) {
    if (route != Route::Refused && target == WriteTarget::RegularOnly) {
        errno = ENODEV; // never opened: a FIFO would wait for a reader
        return 0;
    }
    return route == Route::Refused ? 0 : WriteInPlace(path, text, route == Route::InPlaceTruncated);
}

int OpenFolder(const std::string& folder, bool& can_sync) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    can_sync = fd >= 0 || errno != EACCES;
    if (!can_sync) {
        fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    return fd;
}

int BeginNewVersionIn(bool flush, NewVersion& version) {
    struct stat folder;
    if (::fstat(version.dir, &folder) != 0) {
        return -1;
    }
    version.folder_device = folder.st_dev;
    version.folder_inode = folder.st_ino;
    struct stat& old = version.replaced;
    const char* base = version.base.c_str();
    version.had = ::fstatat(version.dir, base, &old, AT_SYMLINK_NOFOLLOW) == 0;
    const bool had = version.had;
    if (!had && errno != ENOENT) {
        return -1;
    }
    if (had && !S_ISREG(old.st_mode)) {
        errno = S_ISLNK(old.st_mode) ? ELOOP : S_ISDIR(old.st_mode) ? EISDIR : ENODEV;
        return -1;
    }
    if (had && ::faccessat(version.dir, base, W_OK, AT_EACCESS) != 0) {
        return -1;
    }
    // A new file gets what umask leaves of 0666; a replaced one its own mode, set at the end.
    const int fd = version.temp.Create(version.dir, version.folder, had ? 0600 : 0666);
    if (fd < 0) {
        return -1;
    }
    if (had && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Root gives the file back to its owner; anyone else keeps its group if a member.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), old.st_gid);
        }
    }
    // Without a folder to flush, the file is flushed at once, so that it is safe without that.
    version.flushed = flush || !version.can_sync;
    return fd;
}

int EndNewVersion(int fd, bool ok, NewVersion& version) {
    // The mode after the last write: a write by anyone but root clears setuid and setgid.
    ok = ok && (!version.had || ::fchmod(fd, version.replaced.st_mode & 07777) == 0);
    ok = ok && (!version.flushed || ::fsync(fd) == 0 || errno == EINVAL);
    int error = errno;
    ok = CloseKeeping(fd, ok, error);
    errno = error;
    return ok ? 1 : 0; // on failure the destructor removes the temporary file
}

int WriteNewVersionIn(std::string_view text, bool flush, NewVersion& version) {
    const int fd = BeginNewVersionIn(flush, version);
    if (fd < 0) {
        return 0;
    }
    return EndNewVersion(fd, WriteAllStartingWriteback(fd, text), version);
}

int OpenNewVersionFolder(const std::string& target, NewVersion& version) {
    const std::size_t slash = target.rfind('/');
    version.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    version.base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (version.base.empty()) {
        errno = EISDIR;
        return 0;
    }
    version.dir = OpenFolder(version.folder, version.can_sync);
    return version.dir >= 0 ? 1 : 0;
}

int WriteNewVersion(const std::string& target, std::string_view text, bool flush,
                    NewVersion& version) {
    return OpenNewVersionFolder(target, version) ? WriteNewVersionIn(text, flush, version) : 0;
}

int PutInPlace(NewVersion& version) {
    if (::renameat(version.dir, version.temp.Name(), version.dir, version.base.c_str()) != 0) {
        return 0;
    }
    version.temp.Forget();
    return 1;
}

void FlushFolder(const NewVersion& version) {
    if (version.can_sync) {
        ::fsync(version.dir);
    }
}

} // namespace safe_file_detail

using namespace safe_file_detail;

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

StreamedFile::StreamedFile() = default;
StreamedFile::~StreamedFile() {
    if (m_fd >= 0) {
        ::close(m_fd); // the new version's destructor removes the temporary file
    }
}

StreamedFile::Start StreamedFile::Begin(const char* path) {
    std::string replaced;
    const Route route = RouteFor(path, replaced);
    if (route == Route::Refused) {
        return Start::Failed;
    }
    if (route != Route::Replace) {
        return Start::NotStreamed;
    }
    m_version = std::make_unique<NewVersion>();
    if (!OpenNewVersionFolder(replaced, *m_version) ||
        (m_fd = BeginNewVersionIn(true, *m_version)) < 0) {
        m_version.reset();
        return Start::Failed;
    }
    return Start::Streaming;
}

bool StreamedFile::Write(std::string_view piece) {
    if (m_error != 0) {
        errno = m_error;
        return false;
    }
    if (!WriteAll(m_fd, piece)) {
        m_error = errno;
        return false;
    }
    m_written += static_cast<long long>(piece.size());
    while (m_written - m_sent >= static_cast<long long>(kWritebackBlock)) {
        StartWriteback(m_fd, off_t(m_sent), kWritebackBlock);
        m_sent += static_cast<long long>(kWritebackBlock);
    }
    return true;
}

int StreamedFile::Commit() {
    const int fd = m_fd;
    m_fd = -1;
    const bool written = m_error == 0;
    errno = m_error;
    if (!EndNewVersion(fd, written, *m_version) || !PutInPlace(*m_version)) {
        return 0;
    }
    FlushFolder(*m_version);
    return 1;
}
