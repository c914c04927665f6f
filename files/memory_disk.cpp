#include "files/memory_disk.h"

#include <cerrno>
#include <string_view>
#include <vector>

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

} // namespace

bool MemoryDisk::FolderExists(const std::string& path) const {
    return m_folders.count(path) != 0;
}

std::FILE* MemoryDisk::OpenRead(const char* path, FileStamp* stamp) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto at = m_files.find(path);
    if (at == m_files.end()) {
        errno = FolderExists(path) ? EISDIR : ENOENT;
        return nullptr;
    }
    // A buffer of the stream's own, so that later writes do not touch what is being read.
    const std::string& text = at->second.text;
    if (text.size() > kReadLimit) {
        errno = EFBIG;
        return nullptr;
    }
    std::FILE* file = ::fmemopen(nullptr, text.size() + 1, "w+");
    if (file == nullptr) {
        return nullptr;
    }
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
        std::fclose(file);
        errno = ENOMEM;
        return nullptr;
    }
    std::rewind(file);
    if (stamp != nullptr) {
        *stamp = FileStamp{true, 0, at->second.version, int64_t(text.size()), 0, 0};
    }
    return file;
}

FileStamp MemoryDisk::Stamp(const char* path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto at = m_files.find(path);
    if (at == m_files.end()) {
        return FileStamp{};
    }
    return FileStamp{true, 0, at->second.version, int64_t(at->second.text.size()), 0, 0};
}

int MemoryDisk::WriteWhole(const char* path, std::string_view text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::string name = path;
    if (name.empty() || !FolderExists(FolderOf(name))) {
        errno = ENOENT;
        return 0;
    }
    if (FolderExists(name) || name.back() == '/') {
        errno = EISDIR;
        return 0;
    }
    const auto at = m_files.find(name);
    if (at != m_files.end() && at->second.read_only) {
        errno = EACCES;
        return 0;
    }
    if (m_space >= 0 && int64_t(text.size()) > m_space) {
        errno = ENOSPC;
        return 0;
    }
    File& file = m_files[name];
    file.text = std::string(text);
    file.version = ++m_version;
    return 1;
}

int MemoryDisk::CreateNew(const char* path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::string name = path;
    if (m_files.count(name) != 0 || FolderExists(name)) {
        errno = EEXIST;
        return 0;
    }
    if (!FolderExists(FolderOf(name))) {
        errno = ENOENT;
        return 0;
    }
    m_files[name].version = ++m_version;
    return 1;
}

int MemoryDisk::Remove(const char* path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_files.erase(path) == 0) {
        errno = FolderExists(path) ? EISDIR : ENOENT;
        return 0;
    }
    return 1;
}

int MemoryDisk::LockFolder(const char* folder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!FolderExists(folder)) {
        errno = ENOENT;
        return -1;
    }
    // One thread drives every window of a test in turn, so a second lock would never be
    // released: that is a fault of the code under test.
    if (m_locks != 0) {
        errno = EDEADLK;
        return -1;
    }
    ++m_locks;
    return 0;
}

void MemoryDisk::UnlockFolder(int) {
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_locks;
}

void MemoryDisk::AddFolder(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folders.insert(path);
}

void MemoryDisk::Put(const std::string& path, std::string_view text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    File& file = m_files[path];
    file.text = std::string(text);
    file.version = ++m_version;
}

std::string MemoryDisk::Text(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto at = m_files.find(path);
    return at == m_files.end() ? "" : at->second.text;
}

bool MemoryDisk::Exists(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files.count(path) != 0 || FolderExists(path) || m_links.count(path) != 0 ||
           m_specials.count(path) != 0;
}

void MemoryDisk::AddLink(const std::string& path, const std::string& target) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_links[path] = target;
}

void MemoryDisk::AddSpecial(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_specials.insert(path);
}

int MemoryDisk::PagePlaceProblem(const std::string& path) const {
    const std::string folder = FolderOf(path);
    if (!FolderExists(folder) || m_links.count(folder) != 0) {
        return ENOENT;
    }
    if (m_links.count(path) != 0) {
        return ELOOP;
    }
    if (FolderExists(path)) {
        return EISDIR;
    }
    if (m_specials.count(path) != 0) {
        return ENODEV;
    }
    const auto at = m_files.find(path);
    return at != m_files.end() && at->second.read_only ? EACCES : 0;
}

// The page tree in memory: folders by their paths, pages waiting in their groups as texts.
class MemoryPageGroup final : public PageGroup {
public:
    MemoryPageGroup(MemoryDisk& disk, const std::vector<std::string>& folders)
        : m_disk(disk), m_folders(folders) {}

    int Write(int folder, const char* name, std::string_view text) override {
        const std::string_view base = name;
        if (!IsBareName(base)) {
            errno = EINVAL;
            return 0;
        }
        const std::string path = m_folders.at(std::size_t(folder)) + "/" + std::string(base);
        std::lock_guard<std::mutex> lock(m_disk.m_mutex);
        if (const int problem = m_disk.PagePlaceProblem(path); problem != 0) {
            errno = problem;
            return 0;
        }
        if (m_disk.m_space >= 0 && int64_t(text.size()) > m_disk.m_space) {
            errno = ENOSPC;
            return 0;
        }
        m_waiting.push_back({path, std::string(text)});
        return 1;
    }
    std::size_t Waiting() const override { return m_waiting.size(); }
    std::vector<Failure> Commit() override {
        std::vector<Failure> failures;
        std::lock_guard<std::mutex> lock(m_disk.m_mutex);
        for (std::size_t i = 0; i < m_waiting.size(); ++i) {
            const auto& [path, text] = m_waiting[i];
            // A rename replaces a link or a special file that came meanwhile, never a folder.
            const std::string folder = FolderOf(path);
            if (!m_disk.FolderExists(folder) || m_disk.m_links.count(folder) != 0) {
                failures.push_back({i, ENOENT});
            } else if (m_disk.FolderExists(path)) {
                failures.push_back({i, EISDIR});
            } else {
                m_disk.m_links.erase(path);
                m_disk.m_specials.erase(path);
                MemoryDisk::File& file = m_disk.m_files[path];
                file.text = text;
                file.version = ++m_disk.m_version;
            }
        }
        m_waiting.clear();
        return failures;
    }

private:
    MemoryDisk& m_disk;
    const std::vector<std::string>& m_folders;
    std::vector<std::pair<std::string, std::string>> m_waiting;
};

class MemoryPageTree final : public PageTree {
public:
    MemoryPageTree(MemoryDisk& disk, std::string root) : m_disk(disk) {
        m_folders.push_back(std::move(root));
    }

    FileStamp RootStamp() const override { return FileStamp{true, 0, 0, 0, 0, 0}; }

    int MakeFolder(int parent, const char* name) override {
        const std::string_view base = name;
        if (!IsBareName(base)) {
            errno = EINVAL;
            return -1;
        }
        const std::string path = m_folders.at(std::size_t(parent)) + "/" + std::string(base);
        {
            std::lock_guard<std::mutex> lock(m_disk.m_mutex);
            if (m_disk.m_links.count(path) != 0) {
                errno = ELOOP;
                return -1;
            }
            if (m_disk.m_files.count(path) != 0 || m_disk.m_specials.count(path) != 0) {
                errno = ENOTDIR;
                return -1;
            }
            m_disk.m_folders.insert(path);
        }
        m_folders.push_back(path);
        return int(m_folders.size() - 1);
    }

    std::unique_ptr<PageGroup> NewGroup() override {
        return std::make_unique<MemoryPageGroup>(m_disk, m_folders);
    }

private:
    MemoryDisk& m_disk;
    std::vector<std::string> m_folders; // paths, the root first
};

std::unique_ptr<PageTree> MemoryDisk::OpenPageTree(const char* root) {
    std::string path = root;
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    // The folder and the folders above it, as create_directories makes them.
    for (std::size_t slash = 0; slash != std::string::npos;) {
        slash = path.find('/', slash + 1);
        const std::string folder = path.substr(0, slash);
        if (m_files.count(folder) != 0 || m_specials.count(folder) != 0) {
            errno = ENOTDIR;
            return nullptr;
        }
        m_folders.insert(folder);
    }
    return std::make_unique<MemoryPageTree>(*this, path);
}

std::map<std::string, std::string> MemoryDisk::Files() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::map<std::string, std::string> files;
    for (const auto& [name, file] : m_files) {
        files[name] = file.text;
    }
    return files;
}

void MemoryDisk::SetReadOnly(const std::string& path, bool read_only) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files[path].read_only = read_only;
}

void MemoryDisk::SetSpace(int64_t bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_space = bytes;
}

int MemoryDisk::LocksHeld() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_locks;
}
