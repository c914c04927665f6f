#include "platform/text_box.h"

#include "platform/dialog_template.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <cstddef>
#include <utility>

namespace platform {

namespace {

// Undo keeps this many earlier texts at most, and drops the oldest beyond this many characters in
// all (always keeping the last): a few Go runs on megabytes must not hold gigabytes.
constexpr std::size_t kKeptSteps = 16;
constexpr qsizetype kKeptCharacters = qsizetype(64) << 20;

bool IsRedo(const QKeyEvent* e) {
    // Ctrl+Y as well as the desktop's own Redo keys, as most editors take it.
    return e->matches(QKeySequence::Redo) ||
           (e->key() == Qt::Key_Y && e->modifiers() == Qt::ControlModifier);
}

} // namespace

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
    // A document of the box's own from the start: the toolkit deletes the one it made itself
    // when another is shown, and the box keeps earlier ones for Undo.
    std::unique_ptr<QTextDocument> doc = NewDocument(QString());
    doc->setParent(this);
    QTextDocument* own = doc.release();
    setDocument(own);
    WatchEdits(*own);
}

TextBox::~TextBox() = default;

std::unique_ptr<QTextDocument> TextBox::NewDocument(const QString& text) const {
    const QTextDocument* old = document();
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    if (!text.isEmpty()) {
        QTextCursor(doc.get()).insertText(text);
    }
    doc->setUndoRedoEnabled(old->isUndoRedoEnabled());
    doc->setDefaultFont(old->defaultFont());
    doc->setDefaultTextOption(old->defaultTextOption());
    doc->setDocumentMargin(old->documentMargin());
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc.get()));
    return doc;
}

std::unique_ptr<QTextDocument> TextBox::Show(std::unique_ptr<QTextDocument> doc) {
    std::unique_ptr<QTextDocument> old(document());
    disconnect(m_edit_watch);
    ApplyTabStops(*doc);
    doc->setParent(this);
    QTextDocument* shown = doc.release();
    setDocument(shown);
    old->setParent(nullptr);
    WatchEdits(*shown);
    return old;
}

void TextBox::WatchEdits(QTextDocument& doc) {
    // An edit of the text shown ends the step, and what Redo would have brought back; Undo and
    // Redo within the text do not.
    m_edit_watch = connect(&doc, &QTextDocument::contentsChanged, this, [this] {
        if (!m_moving) {
            m_step_open = false;
            m_redo.clear();
        }
    });
}

void TextBox::SetText(const QString& text) {
    // Below this, setPlainText is as quick and keeps the toolkit's own path.
    constexpr qsizetype kBuildApart = 256 * 1024;
    m_undo.clear();
    m_redo.clear();
    m_step_open = false;
    if (text.size() < kBuildApart) {
        setPlainText(text);
        return;
    }
    Show(NewDocument(text));
}

void TextBox::SetTextAsStep(const QString& text, bool new_step) {
    std::unique_ptr<QTextDocument> doc = NewDocument(text);
    if (!new_step && m_step_open) {
        Show(std::move(doc)); // the step's first text goes
        return;
    }
    m_undo.reserve(m_undo.size() + 1); // the one step that can fail, before anything changed
    Kept before = Here();
    before.doc = Show(std::move(doc));
    before.doc->clearUndoRedoStacks(QTextDocument::RedoStack);
    m_undo.push_back(std::move(before));
    m_redo.clear();
    m_step_open = true;
    Trim();
}

TextBox::Kept TextBox::Here() const {
    const QTextCursor cursor = textCursor();
    return {nullptr, cursor.anchor(), cursor.position(), horizontalScrollBar()->value(),
            verticalScrollBar()->value()};
}

void TextBox::Swap(std::vector<Kept>& from, std::vector<Kept>& to) {
    to.reserve(to.size() + 1);
    Kept next = std::move(from.back());
    from.pop_back();
    Kept current = Here();
    current.doc = Show(std::move(next.doc));
    to.push_back(std::move(current));
    m_step_open = false;
    QTextCursor cursor(document());
    cursor.setPosition(next.anchor);
    cursor.setPosition(next.position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    horizontalScrollBar()->setValue(next.x);
    verticalScrollBar()->setValue(next.y);
}

void TextBox::Trim() {
    std::size_t keep = 0;
    qsizetype characters = 0;
    for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it, ++keep) {
        characters += it->doc->characterCount();
        if (keep > 0 && (keep == kKeptSteps || characters > kKeptCharacters)) {
            break;
        }
    }
    m_undo.erase(m_undo.begin(), m_undo.end() - std::ptrdiff_t(keep));
}

void TextBox::Undo() {
    if (document()->isUndoAvailable()) {
        const QScopedValueRollback moving(m_moving, true);
        undo();
    } else if (!m_undo.empty()) {
        Swap(m_undo, m_redo);
    }
}

void TextBox::Redo() {
    if (document()->isRedoAvailable()) {
        const QScopedValueRollback moving(m_moving, true);
        redo();
    } else if (!m_redo.empty()) {
        Swap(m_redo, m_undo);
    }
}

bool TextBox::CanUndo() const {
    return document()->isUndoAvailable() || !m_undo.empty();
}

bool TextBox::CanRedo() const {
    return document()->isRedoAvailable() || !m_redo.empty();
}

void TextBox::SetTabColumns(int columns) {
    m_tab_columns = columns;
    ApplyTabStops(*document());
}

void TextBox::ApplyTabStops(QTextDocument& doc) const {
    if (m_tab_columns < 0) {
        return;
    }
    // The smallest step the toolkit places text by: a tab of no width.
    constexpr qreal kNoWidth = 1.0 / 64;
    const qreal distance =
        m_tab_columns == 0
            ? kNoWidth
            : m_tab_columns * QFontMetricsF(doc.defaultFont()).horizontalAdvance(u' ');
    QTextOption option = doc.defaultTextOption();
    if (option.tabStopDistance() != distance) { // a change lays the whole text out again
        option.setTabStopDistance(distance);
        doc.setDefaultTextOption(option);
    }
}

void TextBox::changeEvent(QEvent* e) {
    QPlainTextEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        ApplyTabStops(*document());
    }
}

void TextBox::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && !m_want_return) {
        e->ignore(); // the dialog's Enter
        return;
    }
    if (e->matches(QKeySequence::Undo)) {
        Undo();
    } else if (IsRedo(e)) {
        Redo();
    } else if (e->key() == Qt::Key_Tab && e->modifiers() == Qt::ControlModifier) {
        insertPlainText(QStringLiteral("\t")); // Tab alone moves on
    } else {
        QPlainTextEdit::keyPressEvent(e);
        return;
    }
    e->accept();
}

void TextBox::RouteUndo(QMenu& menu) {
    const std::pair<const char*, void (TextBox::*)()> entries[] = {{"edit-undo", &TextBox::Undo},
                                                                   {"edit-redo", &TextBox::Redo}};
    for (const auto& [name, command] : entries) {
        QAction* toolkit = menu.findChild<QAction*>(QLatin1String(name));
        if (toolkit == nullptr) {
            continue;
        }
        // In its place, looking the same: the toolkit's undoes within the text shown only.
        auto* own = new QAction(toolkit->icon(), toolkit->text(), &menu);
        own->setEnabled(command == &TextBox::Undo ? CanUndo() : CanRedo());
        connect(own, &QAction::triggered, this, command);
        menu.insertAction(toolkit, own);
        delete toolkit;
        own->setObjectName(QLatin1String(name));
    }
}

void TextBox::contextMenuEvent(QContextMenuEvent* e) {
    // As the toolkit shows its own menu: open, and gone once closed.
    QMenu* menu = createStandardContextMenu(e->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    RouteUndo(*menu);
    if (!m_menu_actions.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_menu_actions);
    }
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
