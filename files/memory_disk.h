#pragma once
// A disk in memory, for tests: files and folders in maps, and the failures a test asks for. The
// current folder "" always exists; paths are taken as they are written, "a/b" being the file b
// in the folder "a".

#include "files/disk.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

class MemoryDisk final : public Disk {
public:
    MemoryDisk() = default;

    std::FILE* OpenRead(const char* path, FileStamp* stamp) override;
    FileStamp Stamp(const char* path) override;
    int WriteWhole(const char* path, std::string_view text) override;
    int CreateNew(const char* path) override;
    int Remove(const char* path) override;
    int LockFolder(const char* folder) override;
    void UnlockFolder(int handle) override;

    // Set-up and inspection, bypassing every rule.
    void AddFolder(const std::string& path);
    void Put(const std::string& path, std::string_view text);
    // The text of a file; "" when there is none.
    std::string Text(const std::string& path) const;
    bool Exists(const std::string& path) const;
    // Every file with its text.
    std::map<std::string, std::string> Files() const;
    // Writes to `path` fail with "Permission denied" while set.
    void SetReadOnly(const std::string& path, bool read_only);
    // Writes of more than `bytes` bytes fail with "No space left on device"; -1: no limit.
    void SetSpace(int64_t bytes);
    int LocksHeld() const;

private:
    struct File {
        std::string text;
        uint64_t version = 0;
        bool read_only = false;
    };
    bool FolderExists(const std::string& path) const;

    mutable std::mutex m_mutex;
    std::map<std::string, File> m_files;
    std::set<std::string> m_folders{""};
    uint64_t m_version = 0;
    int64_t m_space = -1;
    int m_locks = 0;
};
