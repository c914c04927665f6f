#pragma once
// The file system as the profile code sees it: read a file, write one whole, claim a new name,
// remove a claim, tell whether a file changed, and lock a folder against the other windows.
// RealDisk() is the disk itself; tests use an in-memory one. Every operation returns 1 on
// success and 0 on failure with errno telling why, and is safe to call from several threads.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

// Which version of a file was seen: equal stamps mean the file was not replaced or changed in
// between. A missing file has a stamp of its own.
struct FileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modified_ns = 0;
    int64_t changed_ns = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class Disk {
public:
    // The largest file OpenRead opens: profiles and profiles.ini are a few kilobytes.
    static constexpr std::size_t kReadLimit = std::size_t(4) << 20;

    virtual ~Disk() = default;

    // Opens `path` for reading; close it with std::fclose. Null when it cannot be opened. Only a
    // regular file of at most kReadLimit bytes (RealDiskReadingUpTo: its own limit) is opened, and
    // nothing is waited on: a FIFO or a device answers ENODEV at once, a larger file EFBIG. When
    // `stamp` is given it receives the version of the file opened.
    virtual std::FILE* OpenRead(const char* path, FileStamp* stamp) = 0;
    // The version now at `path`; a file that is not there (or cannot be seen) does not exist.
    virtual FileStamp Stamp(const char* path) = 0;
    // `path` afterwards holds exactly `text`; on 0 it holds what it held before. The rules of
    // WriteFileWhole (safe_file.h) apply.
    virtual int WriteWhole(const char* path, std::string_view text) = 0;
    // Creates `path` as an empty file that nothing else had: 0 with EEXIST when anything is
    // there, a dangling link included.
    virtual int CreateNew(const char* path) = 0;
    // Removes the file `path` (never a folder).
    virtual int Remove(const char* path) = 0;
    // Waits for and takes the advisory lock of `folder` ("" is the current directory), which
    // every Tarvo process that changes profiles.ini there takes. Returns a handle for
    // UnlockFolder, or -1.
    virtual int LockFolder(const char* folder) = 0;
    virtual void UnlockFolder(int handle) = 0;
};

// The real file system.
Disk& RealDisk();
// The real file system with a read limit of `limit` bytes instead of kReadLimit, for measuring
// very large profiles; the program itself uses RealDisk().
Disk& RealDiskReadingUpTo(std::size_t limit);

// Holds a folder's lock for its lifetime.
class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock() { Release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Waits for the lock of `folder` on `disk`; false (errno set) when it cannot be had.
    bool Take(Disk& disk, const char* folder) {
        Release();
        m_handle = disk.LockFolder(folder);
        m_disk = m_handle >= 0 ? &disk : nullptr;
        return m_disk != nullptr;
    }
    void Release() {
        if (m_disk != nullptr) {
            m_disk->UnlockFolder(m_handle);
            m_disk = nullptr;
        }
    }

private:
    Disk* m_disk = nullptr;
    int m_handle = -1;
};
