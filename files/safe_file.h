#pragma once
// Writing a file whole or not at all: every file Tarvo writes goes through WriteFileWhole.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Writes `text` to `path`. Returns 1 when `path` now holds exactly `text`, 0 when it still holds
// what it held before (or is still missing); errno then tells why ("Is a directory" for a
// folder, "Permission denied" for a file the user may not write, "No space left on device").
// Safe to call from several threads at once.
//
// - A regular file is replaced: the text goes to a new file beside it, ".tarvo-" and six
//   letters, which is flushed to disk and renamed over it, and the folder is flushed after the
//   rename. A full disk therefore never leaves a truncated file, any valid name works, and no
//   temporary file survives SIGINT, SIGTERM or SIGHUP (temp_files.h).
// - The replaced file keeps its mode and, where the process may set them, its owner and group.
//   Other hard links to it keep the old text: the file is split from them.
// - A file that the effective user may not write is refused, as opening it for writing would be
//   (root may write any file).
// - A symbolic link is followed: the file it leads to is replaced beside that file, and the link
//   stays a link. A dangling link creates the file it names when that folder exists.
// - Anything else that exists, a device, a FIFO or a socket, is opened and written in place and
//   never replaced; so are the descriptor links /dev/stdout, /dev/fd/N and /proc/self/fd/N.
//
// With WriteTarget::RegularOnly, anything that exists and is not a regular file (nor a link to
// one) is refused with ENODEV and never opened, so that a FIFO put in a file's place cannot stop
// the writer.
enum class WriteTarget { Any, RegularOnly };
int WriteFileWhole(const char* path, std::string_view text, WriteTarget target = WriteTarget::Any);

// Many files written whole, each or not at all, by the rules of WriteFileWhole, but flushed to
// the disk together: a flush per file would cost the pages of a batch run more than converting
// them. Each text waits in its temporary file until Commit, which flushes the file system once,
// renames every file into place and flushes each folder once, so that a file is in place only
// with its whole text on the disk, as WriteFileWhole has it. Anything but a regular file (or a
// missing one) is written at once, in place, or refused by WriteTarget::RegularOnly. A waiting
// file holds no descriptor: Commit opens one folder at a time, and renames a file only into the
// folder it was written in. One group belongs to one thread; groups on several threads are
// fine. What is still waiting when the group ends is removed, not put in place.
//
// WriteIn writes into folders that a FolderOpener opens by descriptor (a page tree's), by name
// and never through a link: a symbolic link in the file's place is refused with ELOOP, anything
// else but a regular file with ENODEV (a folder with EISDIR), all unopened.
namespace safe_file_detail {
struct NewVersion;
}

// A file written as WriteFileWhole writes it, from a text that comes in pieces, so that a large
// text is never held whole: where WriteFileWhole would replace the file (or create it), each
// piece goes into its new version as it comes, and Commit puts that in place; a StreamedFile
// that ends uncommitted leaves the file as it was. Anything else in the file's place, a device,
// a FIFO or a descriptor link, is not streamed: Begin says so, and the whole text goes to
// WriteFileWhole instead, as it would have before.
class StreamedFile {
public:
    enum class Start { Streaming, NotStreamed, Failed };

    StreamedFile();
    ~StreamedFile();
    StreamedFile(const StreamedFile&) = delete;
    StreamedFile& operator=(const StreamedFile&) = delete;

    // Failed: errno tells why, and nothing was written.
    Start Begin(const char* path);
    // The next piece. False with errno when it could not be written; Commit then fails too.
    bool Write(std::string_view piece);
    // Returns 1 when the file now holds every piece written, 0 with errno when it holds what it
    // held before. Once, after Begin gave Streaming.
    int Commit();

private:
    std::unique_ptr<safe_file_detail::NewVersion> m_version;
    int m_fd = -1;
    int m_error = 0;         // the first write's failure
    long long m_written = 0; // bytes written
    long long m_sent = 0;    // bytes sent on their way to the disk
};

class FolderOpener;
class FileWriteGroup {
public:
    // Commit when this many files wait: each is a temporary file on the disk.
    static constexpr std::size_t kMaxWaiting = 32;

    struct Failure {
        std::string path;  // as the caller gave it (WriteIn: the folder's path and the name)
        int error;         // an errno value
        std::size_t index; // its place among the files that waited, 0 the first
    };

    explicit FileWriteGroup(WriteTarget target = WriteTarget::Any);
    ~FileWriteGroup();
    FileWriteGroup(const FileWriteGroup&) = delete;
    FileWriteGroup& operator=(const FileWriteGroup&) = delete;

    // Writes `text` for `path`. Returns 1 when it waits for Commit (or was written in place),
    // 0 with errno when it failed already; `path` then holds what it held.
    int Write(const char* path, std::string_view text);
    // Writes `text` as the file `name` of the folder `folder` that `opener` opens; the same
    // answers. `opener` must outlive the group.
    int WriteIn(FolderOpener& opener, int folder, const char* name, std::string_view text);
    std::size_t Waiting() const { return m_waiting.size(); }
    // Puts every waiting file in place; the ones that could not be are named in the result, and
    // hold what they held before.
    std::vector<Failure> Commit();

private:
    struct WaitingFile;
    struct FolderAtHand;
    WriteTarget m_target;
    std::vector<std::unique_ptr<WaitingFile>> m_waiting;
};

// Opens the folders that FileWriteGroup::WriteIn writes into, each named by a number of the
// opener's own; safe to call from several threads at once.
class FolderOpener {
public:
    virtual ~FolderOpener() = default;
    // Opens `folder` (O_DIRECTORY, close-on-exec) and returns its descriptor for the caller to
    // close; `can_sync` false when it may be written but not listed, and so not flushed (it is
    // then open with O_PATH). -1 with errno when it cannot be opened, or is no longer the folder
    // it was (ENOENT).
    virtual int OpenFolder(int folder, bool& can_sync) = 0;
    // Its path, which a signal handler removes a temporary file by.
    virtual std::string PathOf(int folder) = 0;
};
