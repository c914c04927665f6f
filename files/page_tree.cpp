#include "files/page_tree.h"

#include "files/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

// Opens `name` in the folder `dir` as a folder without following a link: `last` for reading
// (O_PATH when that is not allowed: `can_sync` false), otherwise only to go through. -1 with
// errno ELOOP for a link, ENOTDIR for anything else but a folder.
int OpenBelow(int dir, const char* name, bool last, bool& can_sync) {
    constexpr int kFlags = O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(dir, name, (last ? O_RDONLY : O_PATH) | kFlags);
    can_sync = fd >= 0 || !last || errno != EACCES;
    if (!can_sync) {
        fd = ::openat(dir, name, O_PATH | kFlags);
    }
    if (fd < 0 && errno == ENOTDIR) {
        struct stat st;
        if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            errno = ELOOP;
        }
    }
    return fd;
}

class RealPageTree;

class RealPageGroup final : public PageGroup {
public:
    explicit RealPageGroup(FolderOpener& tree) : m_tree(tree) {}

    int Write(int folder, const char* name, std::string_view text) override {
        return m_files.WriteIn(m_tree, folder, name, text);
    }
    std::size_t Waiting() const override { return m_files.Waiting(); }
    std::vector<Failure> Commit() override {
        std::vector<Failure> failures;
        for (const FileWriteGroup::Failure& f : m_files.Commit()) {
            failures.push_back({f.index, f.error});
        }
        return failures;
    }

private:
    FolderOpener& m_tree;
    FileWriteGroup m_files{WriteTarget::RegularOnly};
};

class RealPageTree final : public PageTree, public FolderOpener {
public:
    RealPageTree(int root, std::string path, const struct stat& st, bool can_sync)
        : m_root(root), m_root_syncs(can_sync) {
        m_folders.push_back({-1, "", std::move(path), st.st_dev, st.st_ino});
        m_stamp.exists = true;
        m_stamp.device = uint64_t(st.st_dev);
        m_stamp.inode = uint64_t(st.st_ino);
    }
    ~RealPageTree() override { ::close(m_root); }
    RealPageTree(const RealPageTree&) = delete;
    RealPageTree& operator=(const RealPageTree&) = delete;

    FileStamp RootStamp() const override { return m_stamp; }

    int MakeFolder(int parent, const char* name) override {
        if (name == nullptr || !IsBareName(name)) {
            errno = EINVAL;
            return -1;
        }
        bool can_sync = true;
        const int dir = OpenFolder(parent, can_sync);
        if (dir < 0) {
            return -1;
        }
        if (::mkdirat(dir, name, 0777) != 0 && errno != EEXIST) {
            const int error = errno;
            ::close(dir);
            errno = error;
            return -1;
        }
        const int fd = OpenBelow(dir, name, false, can_sync);
        struct stat st;
        const int error = fd < 0 ? errno : ::fstat(fd, &st) != 0 ? errno : 0;
        ::close(dir);
        if (fd >= 0) {
            ::close(fd);
        }
        if (error != 0) {
            errno = error;
            return -1;
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        const std::string path = m_folders[std::size_t(parent)].path + "/" + name;
        m_folders.push_back({parent, name, path, st.st_dev, st.st_ino});
        return int(m_folders.size() - 1);
    }

    std::unique_ptr<PageGroup> NewGroup() override {
        return std::make_unique<RealPageGroup>(*this);
    }

    int OpenFolder(int folder, bool& can_sync) override {
        std::vector<std::string> names; // from the root down
        dev_t device = 0;
        ino_t inode = 0;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (folder < 0 || std::size_t(folder) >= m_folders.size()) {
                errno = ENOENT;
                return -1;
            }
            device = m_folders[std::size_t(folder)].device;
            inode = m_folders[std::size_t(folder)].inode;
            for (int at = folder; at != kRoot; at = m_folders[std::size_t(at)].parent) {
                names.insert(names.begin(), m_folders[std::size_t(at)].name);
            }
        }
        if (names.empty()) {
            can_sync = m_root_syncs;
            return ::fcntl(m_root, F_DUPFD_CLOEXEC, 0);
        }
        int fd = m_root;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const int next = OpenBelow(fd, names[i].c_str(), i + 1 == names.size(), can_sync);
            const int error = errno;
            if (fd != m_root) {
                ::close(fd);
            }
            if (next < 0) {
                errno = error;
                return -1;
            }
            fd = next;
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || st.st_dev != device || st.st_ino != inode) {
            ::close(fd);
            errno = ENOENT; // another folder took its place
            return -1;
        }
        return fd;
    }

    std::string PathOf(int folder) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_folders.at(std::size_t(folder)).path;
    }

private:
    struct Folder {
        int parent;
        std::string name;
        std::string path;
        dev_t device;
        ino_t inode;
    };

    int m_root;
    bool m_root_syncs;
    FileStamp m_stamp;
    std::mutex m_mutex;
    std::vector<Folder> m_folders; // the root first
};

} // namespace

std::unique_ptr<PageTree> OpenRealPageTree(const char* root) {
    std::string path = root != nullptr ? root : "";
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    if (path.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) {
        errno = ec.value();
        return nullptr;
    }
    bool can_sync = true;
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) {
        can_sync = false;
        fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        errno = error;
        return nullptr;
    }
    return std::make_unique<RealPageTree>(fd, std::move(path), st, can_sync);
}
