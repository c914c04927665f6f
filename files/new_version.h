#pragma once
// The pieces of a whole-file write that WriteFileWhole and FileWriteGroup share: where a write
// goes, and a file's new version in a temporary file beside it. Only files/ uses them.

#include "files/safe_file.h"
#include "files/temp_files.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace safe_file_detail {

// Where a write goes: nowhere (errno tells why), into what is there, or a file replaced.
enum class Route { Refused, InPlace, InPlaceTruncated, Replace };

// The route for `path`; for Replace, `target` is the file that links lead to.
Route RouteFor(const char* path, std::string& target);

// A write that goes anywhere but into a replaced file: refused, or in place.
int WriteWithoutReplacing(Route route, const char* path, std::string_view text, WriteTarget target);

// A file's new text in a temporary file beside it, written and closed, not yet in place.
struct NewVersion {
    NewVersion() = default;
    ~NewVersion() {
        if (temp.Created()) {
            RemoveTemporaryFile();
        }
        CloseFolder();
    }
    NewVersion(const NewVersion&) = delete;
    NewVersion& operator=(const NewVersion&) = delete;

    void CloseFolder() {
        if (dir >= 0) {
            ::close(dir);
            dir = -1;
        }
    }
    // In its folder as it was opened: by descriptor when it is open, else through the opener,
    // else by path.
    void RemoveTemporaryFile() {
        const int error = errno;
        if (dir >= 0) {
            ::unlinkat(dir, temp.Name(), 0);
        } else if (opener != nullptr) {
            bool ignored = true;
            const int fd = opener->OpenFolder(folder_id, ignored);
            if (fd >= 0) {
                ::unlinkat(fd, temp.Name(), 0);
                ::close(fd);
            }
        } else {
            ::unlink(temp.Path());
        }
        errno = error;
    }

    int dir = -1;                   // the folder, while it is open
    FolderOpener* opener = nullptr; // WriteIn's: how the folder is opened again
    int folder_id = -1;             // the opener's number of the folder
    bool can_sync = true; // false: the folder may be written but not read, and cannot be flushed
    bool flushed = false; // the temporary file's text is on the disk
    std::string folder;   // the folder's path
    dev_t folder_device = 0;
    ino_t folder_inode = 0;
    std::string base; // the file's name in the folder
    bool had = false; // a regular file was in its place: `replaced` tells its mode and owner
    struct stat replaced {};
    TempFile temp;
};

// Opens `folder`; a folder that may be written but not listed cannot be flushed (`can_sync`
// false), and still takes the file. -1 with errno when it cannot be opened.
int OpenFolder(const std::string& folder, bool& can_sync);

// Writes `text` into a new version of the file `version.base` in the folder open as
// `version.dir`, with the mode and owner of the regular file it replaces; `flush` sends it to the
// disk too. Whatever else is in the file's place is refused: a link (ELOOP), a folder (EISDIR),
// anything else (ENODEV). Returns 1, or 0 with errno, and then nothing new is left on the disk.
int WriteNewVersionIn(std::string_view text, bool flush, NewVersion& version);

// WriteNewVersionIn in steps, for a text that comes in pieces: the temporary file's descriptor,
// or -1 with errno; then EndNewVersion gives the file its mode, flushes and closes it, and
// answers as WriteNewVersionIn does (`ok` false: a write failed, errno tells why).
int BeginNewVersionIn(bool flush, NewVersion& version);
int EndNewVersion(int fd, bool ok, NewVersion& version);

// Opens the folder of `target` for its new version. 1, or 0 with errno.
int OpenNewVersionFolder(const std::string& target, NewVersion& version);

// Writes `text` into a new version of `target`, which is no link, as WriteNewVersionIn does.
int WriteNewVersion(const std::string& target, std::string_view text, bool flush,
                    NewVersion& version);

// Renames the new version over its file. Returns 1, or 0 with errno, the new version removed.
int PutInPlace(NewVersion& version);

// Flushes a folder after renames, so that they survive a power cut; they have happened either
// way.
void FlushFolder(const NewVersion& version);

} // namespace safe_file_detail
