#include "platform/desktop.h"

#include "platform/dialog_qt.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QSocketNotifier>
#include <QUrl>
#include <QWidget>

#include <csignal>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace platform {

namespace {

// One opener for the process; the program has one thread.
FileOpener& Opener() {
    static FileOpener opener;
    return opener;
}

// Waits for the desktop's opener without blocking the window: its exit status says whether it
// found and started a program. Gone with its owner window; the opener runs on regardless.
class OpenerWatch : public QObject {
public:
    OpenerWatch(pid_t pid, int pidfd, QObject* owner, std::function<void()> on_failure)
        : QObject(owner), m_pid(pid), m_pidfd(pidfd),
          m_notifier(pidfd, QSocketNotifier::Read, this), m_on_failure(std::move(on_failure)) {
        connect(&m_notifier, &QSocketNotifier::activated, this, &OpenerWatch::Ended);
    }
    ~OpenerWatch() override { ::close(m_pidfd); }
    OpenerWatch(const OpenerWatch&) = delete;
    OpenerWatch& operator=(const OpenerWatch&) = delete;

private:
    void Ended() {
        m_notifier.setEnabled(false);
        int status = 0;
        const bool failed = ::waitpid(m_pid, &status, 0) == m_pid &&
                            !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        const std::function<void()> on_failure = std::move(m_on_failure);
        deleteLater(); // nothing of this object is used after
        if (failed && on_failure) {
            on_failure();
        }
    }

    pid_t m_pid;
    int m_pidfd;
    QSocketNotifier m_notifier;
    std::function<void()> m_on_failure;
};

// Starts xdg-open on `path` in a session of its own, as the toolkit would, but keeps its exit
// status. False when there is no xdg-open to start.
bool SpawnXdgOpen(std::string_view path, QObject* owner, std::function<void()> on_failure) {
    const std::string file(path);
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(file.c_str()), nullptr};
    posix_spawnattr_t attributes;
    if (::posix_spawnattr_init(&attributes) != 0) {
        return false;
    }
    // Signals as a program started from the desktop has them, whatever this one blocks.
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setflags(&attributes,
                               POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, program, nullptr, &attributes, argv, environ);
    ::posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        return false;
    }
    // Without a window to report to, or a pidfd (an old kernel), its end goes unnoticed.
    const int pidfd = owner != nullptr ? int(::syscall(SYS_pidfd_open, pid, 0)) : -1;
    if (pidfd >= 0) {
        new OpenerWatch(pid, pidfd, owner, std::move(on_failure)); // owned by `owner`
    }
    return true;
}

} // namespace

FileOpener SetFileOpener(FileOpener opener) {
    return std::exchange(Opener(), std::move(opener));
}

bool OpenWithDesktop(std::string_view path, const Dialog& owner, std::function<void()> on_failure) {
    if (Opener()) {
        return Opener()(path);
    }
    if (SpawnXdgOpen(path, DialogWindowOf(owner), std::move(on_failure))) {
        return true;
    }
    // No xdg-open: what the toolkit knows of the desktop.
    const QString name = QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(name));
}

} // namespace platform
