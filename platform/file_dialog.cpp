#include "platform/file_dialog.h"

#include "platform/app_text.h"
#include "platform/dialog_qt.h"

#include <QFile>
#include <QFileDialog>

#include <utility>

namespace platform {

namespace {

// One handler for the process; the program has one thread.
FileDialogHandler& Handler() {
    static FileDialogHandler handler;
    return handler;
}

} // namespace

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

std::string AskFileName(QWidget* owner, const FileDialogRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    const QString caption = FromAppText(request.caption);
    const QString suggested = QFile::decodeName(
        QByteArray(request.suggested.data(), qsizetype(request.suggested.size())));
    const QString filter = FromAppText(request.filter);
    const QString path = request.mode == FileDialogMode::Open
                             ? QFileDialog::getOpenFileName(owner, caption, suggested, filter)
                             : QFileDialog::getSaveFileName(owner, caption, suggested, filter);
    return QFile::encodeName(path).toStdString();
}

} // namespace platform
