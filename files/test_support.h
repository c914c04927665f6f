#pragma once
// Helpers shared by the profile tests: a scratch directory that is the current directory for
// the duration of a test, and whole-file reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
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
