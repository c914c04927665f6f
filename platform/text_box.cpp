#include "platform/text_box.h"

#include "platform/dialog_template.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace platform {

TextBox::TextBox(QWidget* parent, uint32_t styles)
    : QPlainTextEdit(parent), m_want_return((styles & style::kWantReturn) != 0) {
    setTabChangesFocus(true);
    if ((styles & style::kAutoHScroll) != 0) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
    } else {
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        setWordWrapMode(QTextOption::WordWrap);
    }
    setVerticalScrollBarPolicy((styles & style::kVScroll) != 0 ? Qt::ScrollBarAlwaysOn
                                                               : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy((styles & style::kHScroll) != 0 ? Qt::ScrollBarAlwaysOn
                                                                 : Qt::ScrollBarAlwaysOff);
}

void TextBox::SetText(const QString& text) {
    // Below this, setPlainText is as quick and keeps the toolkit's own path.
    constexpr qsizetype kBuildApart = 256 * 1024;
    QTextDocument* old = document();
    if (text.size() < kBuildApart) {
        setPlainText(text);
        return;
    }
    auto* doc = new QTextDocument(this);
    doc->setUndoRedoEnabled(false);
    QTextCursor(doc).insertText(text);
    doc->setUndoRedoEnabled(old->isUndoRedoEnabled());
    doc->setDefaultFont(old->defaultFont());
    doc->setDefaultTextOption(old->defaultTextOption());
    doc->setDocumentMargin(old->documentMargin());
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    // The box drops the document it made itself; one made here before is this function's to free.
    const bool made_here = old->parent() == this;
    setDocument(doc);
    if (made_here) {
        delete old;
    }
}

void TextBox::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && !m_want_return) {
        e->ignore(); // the dialog's Enter
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void TextBox::contextMenuEvent(QContextMenuEvent* e) {
    if (m_menu_actions.isEmpty()) {
        QPlainTextEdit::contextMenuEvent(e);
        return;
    }
    // As the toolkit shows its own menu: open, and gone once closed.
    QMenu* menu = createStandardContextMenu(e->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addActions(m_menu_actions);
    menu->popup(e->globalPos());
}

QStringList TextBox::DroppedFiles(const QMimeData* data) const {
    QStringList files;
    if (!m_on_files || data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}

void TextBox::dragEnterEvent(QDragEnterEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(e);
}

void TextBox::dragMoveEvent(QDragMoveEvent* e) {
    if (!DroppedFiles(e->mimeData()).isEmpty()) {
        e->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(e);
}

void TextBox::dropEvent(QDropEvent* e) {
    const QStringList files = DroppedFiles(e->mimeData());
    if (files.isEmpty()) {
        QPlainTextEdit::dropEvent(e);
        return;
    }
    e->acceptProposedAction();
    // After the drop has ended: what the files hold may need a message box, which must not sit
    // inside the drag source's wait.
    QMetaObject::invokeMethod(
        this, [this, files] { m_on_files(files); }, Qt::QueuedConnection);
}

} // namespace platform
