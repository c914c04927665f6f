#include "platform/application.h"

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {

const char* g_program = "";
QtMessageHandler g_previous = nullptr;

struct HeldMessage {
    QtMsgType type;
    QString text;
};
QList<HeldMessage>& Held() {
    static QList<HeldMessage> held;
    return held;
}

// While the toolkit starts: a fatal message (no display, no platform to show windows on) ends
// the program with one line and status 1 instead of the toolkit's abort, its advice and the
// warnings that led to it. The others wait until the start has gone well.
void StartMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtFatalMsg) {
        Held().append({type, text});
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty() && wayland.isEmpty()) {
        std::fprintf(stderr,
                     "%s: no display to show the window on (DISPLAY and WAYLAND_DISPLAY "
                     "are both empty)\n",
                     g_program);
    } else {
        std::fprintf(stderr, "%s: cannot show the window on the display '%s'\n", g_program,
                     (display.isEmpty() ? wayland : display).constData());
    }
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

int Application::Run(int argc, char** argv) {
    int toolkit_argc = argc; // the toolkit keeps a reference to it
    g_program = m_info.desktop_file;
    g_previous = qInstallMessageHandler(StartMessages);
    QApplication app(toolkit_argc, argv);
    qInstallMessageHandler(g_previous);
    for (const HeldMessage& m : std::exchange(Held(), {})) {
        g_previous(m.type, QMessageLogContext(), m.text);
    }
    QApplication::setApplicationName(QString::fromUtf8(m_info.name));
    QApplication::setApplicationVersion(QString::fromUtf8(m_info.version));
    QApplication::setDesktopFileName(QString::fromUtf8(m_info.desktop_file));
    if (!InitInstance()) {
        return 0;
    }
    return QApplication::exec();
}

} // namespace platform
