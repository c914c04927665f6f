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

// `path` with ".suffix" added when its file name has no suffix of its own (a leading dot, as in
// ".name", is not one).
std::string WithSuffix(std::string path, std::string_view suffix) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    if (!suffix.empty() && name < path.size() && path.find('.', name + 1) == std::string::npos) {
        path += '.';
        path += suffix;
    }
    return path;
}

std::string Ask(QWidget* owner, const FileDialogRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    const QString caption = FromAppText(request.caption);
    const QString suggested = QFile::decodeName(
        QByteArray(request.suggested.data(), qsizetype(request.suggested.size())));
    const QString filter = FromAppText(request.filter);
    QFileDialog dialog(owner, caption, suggested, filter);
    const bool save = request.mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The toolkit's own dialog adds the suffix before it asks about replacing a file.
    dialog.setDefaultSuffix(FromAppText(request.default_suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

} // namespace

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

std::string AskFileName(QWidget* owner, const FileDialogRequest& request) {
    std::string path = Ask(owner, request);
    if (path.empty() || request.mode != FileDialogMode::Save) {
        return path;
    }
    return WithSuffix(std::move(path), request.default_suffix);
}

} // namespace platform
