#include "files/memory_disk.h"

#include <cerrno>

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
    return m_files.count(path) != 0 || FolderExists(path);
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
