#pragma once
// The file system as the profile code and the batch runner see it: read a file, write one whole,
// claim a new name, remove a claim, tell whether a file changed, lock a folder against the other
// windows, and write a tree of pages that nothing leads out of.
// RealDisk() is the disk itself; tests use an in-memory one. Every operation returns 1 on
// success and 0 on failure with errno telling why, and is safe to call from several threads.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

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

// Whether `name` names a file in a folder and nothing else: not empty, not "." or "..", no "/".
inline bool IsBareName(std::string_view name) noexcept {
    return !name.empty() && name != "." && name != ".." && name.find('/') == name.npos;
}

// Files written into a PageTree's folders by one thread, each whole or not at all by the rules of
// WriteFileWhole (safe_file.h), and flushed to the disk together: each text waits in a temporary
// file beside its place until Commit. What still waits when the group ends is removed.
class PageGroup {
public:
    // Commit when this many files wait.
    static constexpr std::size_t kMaxWaiting = 32;

    struct Failure {
        std::size_t index; // the file's place among those that waited, 0 the first
        int error;         // an errno value
    };

    virtual ~PageGroup() = default;
    // Writes `text` as the file `name` in the folder `folder` of the tree. 1 when it waits for
    // Commit; 0 with errno when it failed already, the file keeping what it held.
    virtual int Write(int folder, const char* name, std::string_view text) = 0;
    virtual std::size_t Waiting() const = 0;
    // Puts every waiting file in place; the ones that could not be are named in the result and
    // hold what they held before.
    virtual std::vector<Failure> Commit() = 0;
};

// The folder tree that the pages of a batch run go into. Nothing outside it is ever created,
// replaced or followed into: each folder below the root is opened relative to its parent
// without following a link, and each file is created in its folder and renamed into its place
// there, never through a link; so a link swapped in during the run does not redirect it either.
// In a folder's place, a symbolic link fails with ELOOP and anything else but a folder with
// ENOTDIR; in a file's place, a symbolic link fails with ELOOP, a folder with EISDIR, and a FIFO,
// a device or a socket with ENODEV, unopened.
class PageTree {
public:
    static constexpr int kRoot = 0; // the root folder's handle

    virtual ~PageTree() = default;
    // The root folder's device and inode, so that it is never read as an input.
    virtual FileStamp RootStamp() const = 0;
    // Makes the folder `name` (a bare name) in the folder `parent` (kRoot or a handle this gave
    // before), or takes the folder that is there. Returns its handle, or -1 with errno. Not while
    // a group of this tree writes.
    virtual int MakeFolder(int parent, const char* name) = 0;
    // A group for one thread; any number of groups may write at once.
    virtual std::unique_ptr<PageGroup> NewGroup() = 0;
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
    // Opens the folder `root` as a page tree, making it and the folders above it when missing.
    // The way to `root` is the caller's own choice: links on it are followed. Null with errno.
    virtual std::unique_ptr<PageTree> OpenPageTree(const char* root) = 0;
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
