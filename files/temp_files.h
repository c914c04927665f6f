#pragma once
// Temporary files in flight, for writers on any number of threads: each one sits in a slot of a
// table that a handler for SIGINT, SIGTERM and SIGHUP reads, so that no temporary file outlives
// a process ended by one of them. The table grows in blocks that are never freed, so that it
// holds every file that can wait at once, however many threads write. The handler is installed
// at the first use, for each of those signals whose disposition is still the default, and then
// ends the process by the same signal. SIGXFSZ, where it is still the default, is then ignored:
// a write past the file size limit fails (EFBIG) and its writer removes what it began.

#include <memory>
#include <string>
#include <sys/types.h>

class TempFile {
public:
    TempFile() = default;
    ~TempFile() { Forget(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates a new file with a name of its own, ".tarvo-" and six letters or digits, in the
    // folder open as `dir_fd`, whose path is `folder` (O_CREAT|O_EXCL, so nothing is ever taken
    // over), with `mode` as umask leaves it. Returns the descriptor for writing (close-on-exec),
    // or -1 with errno. A signal removes the file by its path: the folder need not stay open.
    int Create(int dir_fd, const std::string& folder, mode_t mode);
    // The name of the file created, in its folder.
    const char* Name() const { return m_name; }
    // The path of the file created: its folder's path and its name.
    const char* Path() const { return m_path.get(); }
    // The file has been renamed or removed: a signal no longer removes it.
    void Forget();
    // Whether a file was created and not forgotten since.
    bool Created() const { return m_created; }

private:
    void* m_slot = nullptr;
    bool m_created = false;
    char m_name[16] = {};
    std::unique_ptr<char[]> m_path;
};

// A file or a folder that lives only as long as the process: a signal that ends it removes the
// path, by the same handler as TempFile's; a folder with the files in it (it holds no folders).
class SignalRemovedPath {
public:
    SignalRemovedPath() = default;
    ~SignalRemovedPath() { Forget(); }
    SignalRemovedPath(const SignalRemovedPath&) = delete;
    SignalRemovedPath& operator=(const SignalRemovedPath&) = delete;

    // From now on a signal removes `path`: a file, or a folder and every file in it (after every
    // TempFile). False when there is no slot left (memory ran out).
    bool Guard(const std::string& path, bool folder);
    // A signal no longer removes it.
    void Forget();
    bool Guarded() const { return m_slot != nullptr; }

private:
    void* m_slot = nullptr;
    std::unique_ptr<char[]> m_path;
};
