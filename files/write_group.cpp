// Many files written whole and flushed to the disk together (safe_file.h).

#include "files/disk.h"
#include "files/new_version.h"
#include "files/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace safe_file_detail;

// The folder that a group's Commit works in: one at a time, opened again by its path (or its
// opener) and taken only when it is the folder the files were written in.
struct FileWriteGroup::FolderAtHand {
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
        if (fd >= 0 && opener == version.opener &&
            (opener != nullptr ? id == version.folder_id : path == version.folder)) {
            return true;
        }
        Close();
        path = version.folder;
        opener = version.opener;
        id = version.folder_id;
        fd = opener != nullptr ? opener->OpenFolder(id, can_sync) : OpenFolder(path, can_sync);
        struct stat st;
        if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_dev != version.folder_device ||
                        st.st_ino != version.folder_inode)) {
            Close();
            errno = ENOENT;
        }
        return fd >= 0;
    }

    std::string path;
    FolderOpener* opener = nullptr;
    int id = -1;
    int fd = -1;
    bool can_sync = true;
};

struct FileWriteGroup::WaitingFile {
    std::string path; // as the caller gave it; empty once it failed
    std::size_t index = 0;
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
    waiting->index = m_waiting.size();
    m_waiting.push_back(std::move(waiting));
    return 1;
}

int FileWriteGroup::WriteIn(FolderOpener& opener, int folder, const char* name,
                            std::string_view text) {
    const std::string_view base = name != nullptr ? name : "";
    if (!IsBareName(base)) {
        errno = EINVAL; // a bare name only: nothing leads out of the folder
        return 0;
    }
    auto waiting = std::make_unique<WaitingFile>();
    NewVersion& version = waiting->version;
    version.folder = opener.PathOf(folder);
    waiting->path = version.folder + "/" + std::string(base);
    version.base = base;
    version.opener = &opener;
    version.folder_id = folder;
    // Opened anew for each file, from the tree's root: the file goes into the folder that is in
    // its place now, or nowhere.
    version.dir = opener.OpenFolder(folder, version.can_sync);
    if (version.dir < 0 || !WriteNewVersionIn(text, false, version)) {
        return 0; // the destructor removes what was begun, through the folder still open
    }
    version.CloseFolder();
    waiting->index = m_waiting.size();
    m_waiting.push_back(std::move(waiting));
    return 1;
}

std::vector<FileWriteGroup::Failure> FileWriteGroup::Commit() {
    std::vector<Failure> failures;
    auto fail = [&](WaitingFile& waiting, int error) {
        failures.push_back({waiting.path, error, waiting.index});
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
    // A rename replaces whatever took the file's place meanwhile and never follows it.
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
