#pragma once
// Temporary files in flight, for writers on any number of threads: each one sits in a slot of a
// fixed table that a handler for SIGINT, SIGTERM and SIGHUP reads, so that no temporary file
// outlives a process ended by one of them. The handler is installed at the first use, for each
// of those signals whose disposition is still the default, and then ends the process by the
// same signal.

#include <sys/types.h>

class TempFile {
public:
    // Longest name, its NUL included.
    static constexpr int kNameSize = 16;

    TempFile() = default;
    ~TempFile() { Forget(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates a new file with a name of its own, ".tarvo-" and six letters or digits, in the
    // folder open as `dir_fd` (O_CREAT|O_EXCL, so nothing is ever taken over), with `mode` as
    // umask leaves it. Returns the descriptor for writing (close-on-exec), or -1 with errno.
    int Create(int dir_fd, mode_t mode);
    // The name of the file created.
    const char* Name() const { return m_name; }
    // The file has been renamed or removed: a signal no longer removes it.
    void Forget();
    // Whether a file was created and not forgotten since.
    bool Created() const { return m_created; }

private:
    int m_slot = -1;
    bool m_created = false;
    char m_name[kNameSize] = {};
};
