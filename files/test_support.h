#pragma once
// Helpers shared by the profile tests: a scratch directory that is the current directory for
// the duration of a test, and whole-file reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <poll.h>
#include <pwd.h>
#include <string>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvo-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
    }
    void TearDown() override {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_dir);
    }
    // Every name in the directory, sorted.
    std::string Listing() const {
        std::string names;
        std::vector<std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(m_dir)) {
            all.push_back(e.path().filename().string());
        }
        std::sort(all.begin(), all.end());
        for (const auto& n : all) {
            names += n + "\n";
        }
        return names;
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_previous;
};

// The same in memory where the machine has a tmpfs: runs that flush every file they write to the
// disk, over trees of many small files, stay quick.
class InMemoryTempDir : public InTempDir {
protected:
    void SetUp() override {
        InTempDir::SetUp();
        char pattern[] = "/dev/shm/tarvo-test-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) {
            std::filesystem::current_path(m_previous);
            std::filesystem::remove_all(m_dir);
            m_dir = pattern;
            std::filesystem::current_path(m_dir);
        }
    }
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Lets the process write files of at most `bytes` bytes, as a full disk would: later writes
// fail with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_handler)(int);
};

// Runs `body` in a child process as a user whom permission bits stop: nobody when the tests run
// as root, the user itself otherwise. Returns what `body` returned, or -1 when the child did not
// end normally.
inline int AsUnprivilegedUser(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
            const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) {
                ::_exit(125);
            }
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Counts the names in `dir` that begin with ".tarvo-": the write routine's temporary files.
inline int TempFilesIn(const std::filesystem::path& dir) {
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        count += e.path().filename().string().rfind(".tarvo-", 0) == 0 ? 1 : 0;
    }
    return count;
}

// Watches `dir` for new files from before a child process starts; then StopWithTempFiles
// stops `child` (SIGSTOP) as soon as `count` temporary files of the write routine sit in `dir`
// at once. False when the child ended or renamed them before it could be stopped; it is then
// left running, or reaped.
class TempFileWatch {
public:
    explicit TempFileWatch(const std::filesystem::path& dir)
        : m_dir(dir), m_fd(::inotify_init1(IN_CLOEXEC)) {
        ::inotify_add_watch(m_fd, dir.c_str(), IN_CREATE | IN_MOVED_FROM | IN_DELETE);
    }
    ~TempFileWatch() { ::close(m_fd); }
    TempFileWatch(const TempFileWatch&) = delete;
    TempFileWatch& operator=(const TempFileWatch&) = delete;

    bool StopWithTempFiles(pid_t child, int count) {
        char events[4096];
        for (;;) {
            if (TempFilesIn(m_dir) >= count) {
                ::kill(child, SIGSTOP);
                int status = 0;
                ::waitpid(child, &status, WUNTRACED);
                if (WIFSTOPPED(status) && TempFilesIn(m_dir) >= count) {
                    return true;
                }
                if (!WIFSTOPPED(status)) {
                    return false; // it ended
                }
                ::kill(child, SIGCONT);
            }
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) == child) {
                return false; // it ended
            }
            pollfd wait{m_fd, POLLIN, 0};
            // Events end the wait; the bound only lets the loop see a child that ended.
            if (::poll(&wait, 1, 100) < 0 ||
                (wait.revents != 0 && ::read(m_fd, events, sizeof events) <= 0)) {
                return false;
            }
        }
    }

private:
    std::filesystem::path m_dir;
    int m_fd;
};

// What a call cost in a child process: its result, the wall time, and how much its peak resident
// memory grew. A child that has not answered within 20 s is killed (result -1).
struct CallCost {
    int result = -1;
    double seconds = 0;
    long peak_growth_mb = 0;
};

inline CallCost MeasureCall(const std::function<int()>& body) {
    int channel[2];
    EXPECT_EQ(::pipe(channel), 0);
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::alarm(20);
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        long answer[2] = {body(), 0};
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        answer[1] = (after.ru_maxrss - before.ru_maxrss) / 1024;
        const bool sent = ::write(channel[1], answer, sizeof answer) == ssize_t(sizeof answer);
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    long answer[2] = {-1, 0};
    const bool got = ::read(channel[0], answer, sizeof answer) == ssize_t(sizeof answer);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    CallCost cost;
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (got) {
        cost.result = int(answer[0]);
        cost.peak_growth_mb = answer[1];
    }
    return cost;
}

// Prints what a call cost, for the record.
inline void TellCost(const std::string& what, const CallCost& cost) {
    std::printf("[ figures  ] %s: %.3f s, peak grew %ld MB\n", what.c_str(), cost.seconds,
                cost.peak_growth_mb);
}

// A character device node at `path` with the numbers of a /dev device (1, 3 null; 1, 5 zero;
// 1, 7 full), made with mknod as root, so that no test ever opens or risks replacing the real
// one. False where devices cannot be made (a nodev mount, no CAP_MKNOD).
inline bool MakeDeviceNode(const std::filesystem::path& path, unsigned minor) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

// A character device like /dev/zero at `path`, never opened; a FIFO where devices cannot be made.
inline void MakeDevice(const std::filesystem::path& path) {
    if (!MakeDeviceNode(path, 5)) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    }
}

// A FIFO, and a link "zero" to a device like /dev/zero, in `dir`, as an attacker or an unlucky
// user might leave them where a file is expected. The link holds the whole path, so that it
// still leads to the device when a test moves it.
inline void MakeSpecialFiles(const std::filesystem::path& dir) {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    MakeDevice(dir / "zero-device");
    std::filesystem::create_symlink(std::filesystem::absolute(dir / "zero-device"), dir / "zero");
}

// Whether the program runs under AddressSanitizer, which reserves terabytes of address space
// and ends the process instead of failing an allocation: limits on the address space cannot be
// tested then.
constexpr bool kUnderAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif
