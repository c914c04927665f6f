#include "platform/application.h"

#include <QApplication>
#include <QString>

namespace platform {

int Application::Run(int argc, char** argv) {
    int toolkit_argc = argc; // the toolkit keeps a reference to it
    QApplication app(toolkit_argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(m_info.name));
    QApplication::setApplicationVersion(QString::fromUtf8(m_info.version));
    QApplication::setDesktopFileName(QString::fromUtf8(m_info.desktop_file));
    if (!InitInstance()) {
        return 0;
    }
    return QApplication::exec();
}

} // namespace platform
