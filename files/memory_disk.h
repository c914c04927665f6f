#pragma once
// A disk in memory, for tests: files and folders in maps, and the failures a test asks for. The
// current folder "" always exists; paths are taken as they are written, "a/b" being the file b
// in the folder "a". Links and special files exist for the page tree alone.

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
    std::unique_ptr<PageTree> OpenPageTree(const char* root) override;

    // Set-up and inspection, bypassing every rule.
    void AddFolder(const std::string& path);
    void Put(const std::string& path, std::string_view text);
    // A symbolic link to `target`, and a FIFO or device: only the page tree heeds them, and
    // refuses both.
    void AddLink(const std::string& path, const std::string& target);
    void AddSpecial(const std::string& path);
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
    friend class MemoryPageTree;
    friend class MemoryPageGroup;
    // What is at `path` for the page tree: 0 when nothing, else the errno that a file there
    // meets (ELOOP, EISDIR, ENODEV, EACCES) or ENOENT when its folder is missing or a link.
    int PagePlaceProblem(const std::string& path) const;

    struct File {
        std::string text;
        uint64_t version = 0;
        bool read_only = false;
    };
    bool FolderExists(const std::string& path) const;

    mutable std::mutex m_mutex;
    std::map<std::string, File> m_files;
    std::set<std::string> m_folders{""};
    std::map<std::string, std::string> m_links;
    std::set<std::string> m_specials;
    uint64_t m_version = 0;
    int64_t m_space = -1;
    int m_locks = 0;
};
