// The real file system behind the Disk interface.

#include "files/disk.h"
#include "files/page_tree.h"
#include "files/read_file.h"
#include "files/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileStamp StampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = uint64_t(st.st_dev);
    stamp.inode = uint64_t(st.st_ino);
    stamp.size = int64_t(st.st_size);
    stamp.modified_ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed_ns = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

class PosixDisk final : public Disk {
public:
    explicit PosixDisk(std::size_t read_limit) : m_read_limit(read_limit) {}

    std::FILE* OpenRead(const char* path, FileStamp* stamp) override {
        // The stamp of what was opened: every write renames a new file into place, so the same
        // inode, size and times mean the same text.
        struct stat st;
        std::FILE* file = OpenRegularFile(path, m_read_limit, &st);
        if (file != nullptr && stamp != nullptr) {
            *stamp = StampOf(st);
        }
        return file;
    }

    FileStamp Stamp(const char* path) override {
        struct stat st;
        return ::stat(path, &st) == 0 ? StampOf(st) : FileStamp{};
    }

    int WriteWhole(const char* path, std::string_view text) override {
        return WriteFileWhole(path, text);
    }

    int CreateNew(const char* path) override {
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0) {
            return 0;
        }
        ::close(fd);
        return 1;
    }

    int Remove(const char* path) override { return ::unlink(path) == 0 ? 1 : 0; }

    // flock on the folder itself: nothing is added to the folder, and the lock goes with the
    // descriptor when a process ends in any way.
    int LockFolder(const char* folder) override {
        const int fd = ::open(*folder != '\0' ? folder : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return -1;
        }
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const int error = errno;
                ::close(fd);
                errno = error;
                return -1;
            }
        }
        return fd;
    }

    void UnlockFolder(int handle) override { ::close(handle); }

    std::unique_ptr<PageTree> OpenPageTree(const char* root) override {
        return OpenRealPageTree(root);
    }

private:
    std::size_t m_read_limit;
};

} // namespace

Disk& RealDisk() {
    static PosixDisk disk(Disk::kReadLimit);
    return disk;
}

Disk& RealDiskReadingUpTo(std::size_t limit) {
    // One disk per limit asked for; a benchmark asks for one or two.
    static std::mutex mutex;
    static std::map<std::size_t, std::unique_ptr<PosixDisk>> disks;
    const std::lock_guard<std::mutex> lock(mutex);
    std::unique_ptr<PosixDisk>& disk = disks[limit];
    if (!disk) {
        disk = std::make_unique<PosixDisk>(limit);
    }
    return *disk;
}
