// main() for the tests that need the widgets on a real X server with a window manager, as a
// desktop runs them: starts Xvfb and openbox (scripts/deps installs both), runs the tests there on
// the xcb platform, then ends both. Every Qt warning fails the test that caused it.

#include "platform/qt_test_warnings.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// The session bus library keeps a block for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace {

// A child process, ended and waited for with this object.
class Child {
public:
    Child() = default;
    ~Child() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Starts `args` from PATH, with `keep_fd` (if not -1) as its descriptor 3.
    bool Start(std::vector<std::string> args, int keep_fd = -1) {
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (keep_fd >= 0) {
            ::posix_spawn_file_actions_adddup2(&actions, keep_fd, 3);
        }
        const int error = ::posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            m_pid = 0;
            std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(error));
        }
        return error == 0;
    }

private:
    pid_t m_pid = 0;
};

// Xvfb on a free display, told by the server itself once it takes clients.
bool StartServer(Child& server, std::string& display) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    const bool started = server.Start(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, fds[1]);
    ::close(fds[1]);
    char text[32] = {};
    std::size_t length = 0;
    while (started && length + 1 < sizeof text) {
        const ssize_t n = ::read(fds[0], text + length, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || text[length] == '\n') {
            break;
        }
        ++length;
    }
    ::close(fds[0]);
    display = ":" + std::string(text, length);
    return started && length > 0;
}

// openbox, managing the screen once the file its start-up command writes is there.
bool StartWindowManager(Child& manager, const std::filesystem::path& ready) {
    if (!manager.Start({"openbox", "--startup", "touch " + ready.string()})) {
        return false;
    }
    for (int waited = 0; waited < 60000; waited += 10) {
        if (std::filesystem::exists(ready)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    char folder[] = "/tmp/tarvo-desktop-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        return 1;
    }
    int status = 1;
    {
        Child server;
        Child manager;
        std::string display;
        if (!StartServer(server, display)) {
            std::fprintf(stderr, "no X server (Xvfb) to test on\n");
        } else {
            ::setenv("DISPLAY", display.c_str(), 1);
            if (!StartWindowManager(manager, std::filesystem::path(folder) / "ready")) {
                std::fprintf(stderr, "no window manager (openbox) on %s\n", display.c_str());
            } else {
                qputenv("QT_QPA_PLATFORM", "xcb");
                QApplication app(argc, argv);
                qInstallMessageHandler(platform::FailOnWarnings);
                status = RUN_ALL_TESTS();
            }
        }
    } // the window manager and the server end here
    std::filesystem::remove_all(folder);
    return status;
}
