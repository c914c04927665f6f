#include "platform/desktop.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include <utility>

namespace platform {

namespace {

// One opener for the process; the program has one thread.
FileOpener& Opener() {
    static FileOpener opener;
    return opener;
}

} // namespace

FileOpener SetFileOpener(FileOpener opener) {
    return std::exchange(Opener(), std::move(opener));
}

bool OpenWithDesktop(std::string_view path) {
    if (Opener()) {
        return Opener()(path);
    }
    const QString name = QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(name));
}

} // namespace platform
