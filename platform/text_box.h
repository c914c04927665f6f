#pragma once
// The multi-line edit box: Tab leaves it as in any dialog, Enter breaks the line only where the
// template wants it, its context menu can carry the program's own entries, and it can take
// dropped files.

#include <QList>
#include <QPlainTextEdit>
#include <QStringList>

#include <cstdint>
#include <functional>

class QAction;

namespace platform {

class TextBox : public QPlainTextEdit {
public:
    TextBox(QWidget* parent, uint32_t styles);

    // Replaces the whole text, as setPlainText does (caret at the start, no undo step back), but
    // builds a large text's document apart from the box first: filling a document that has no
    // layout yet costs a good third less.
    void SetText(const QString& text);

    // Adds `actions` to the context menu, after the toolkit's own entries and a separator. The
    // actions stay owned by the caller.
    void AddMenuActions(const QList<QAction*>& actions) { m_menu_actions += actions; }

    // Local files dropped on the box go to `on_files` (their paths, in the order given) instead of
    // becoming text; dropped text keeps the toolkit's behaviour. An empty function turns this off.
    void AcceptFiles(std::function<void(const QStringList&)> on_files) {
        m_on_files = std::move(on_files);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // The local files that a drag carries, when this box takes files; empty otherwise.
    QStringList DroppedFiles(const QMimeData* data) const;

    bool m_want_return;
    QList<QAction*> m_menu_actions;
    std::function<void(const QStringList&)> m_on_files;
};

} // namespace platform
