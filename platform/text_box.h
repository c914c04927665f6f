#pragma once
// The multi-line edit box: Tab leaves it as in any dialog (Ctrl+Tab types a tab), Enter breaks
// the line only where the template wants it, whole texts that commands set can be undone, tabs
// stand as many columns apart as the program says, its context menu can carry the program's own
// entries, and it can take dropped files.

#include <QList>
#include <QPlainTextEdit>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace platform {

class TextBox : public QPlainTextEdit {
public:
    TextBox(QWidget* parent, uint32_t styles);
    ~TextBox() override;

    // Replaces the whole text, as setPlainText does (caret at the start), and forgets what Undo
    // could bring back. A large text's document is built apart from the box first: filling a
    // document that has no layout yet costs a good third less.
    void SetText(const QString& text);
    // Replaces the whole text as a command's result, which Undo takes back in one step to what
    // the box showed before, edits and all; Redo shows the result again. Not `new_step`: the
    // text replaces that of the step just set (a command's first and final texts), unless the
    // user changed something since. The box keeps the earlier texts' documents, so that neither
    // way copies a text.
    void SetTextAsStep(const QString& text, bool new_step);

    // The typed edits of the text shown first, then the whole texts that commands set.
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // Tab stops `columns` spaces of the box's font apart; 0 makes a tab take no room.
    void SetTabColumns(int columns);

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
    void changeEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // A whole text that the box showed, kept for Undo or Redo, with where the caret and the
    // view stood in it.
    struct Kept {
        std::unique_ptr<QTextDocument> doc;
        int anchor = 0;
        int position = 0;
        int x = 0;
        int y = 0;
    };

    // A document holding `text`, set up as the box's own, without undo steps.
    std::unique_ptr<QTextDocument> NewDocument(const QString& text) const;
    // Shows `doc` and hands back the document shown until now.
    std::unique_ptr<QTextDocument> Show(std::unique_ptr<QTextDocument> doc);
    void WatchEdits(QTextDocument& doc);
    // Where the caret and the view stand now, without the document.
    Kept Here() const;
    // The last text of `from` into the box; the one it shows goes onto `to`.
    void Swap(std::vector<Kept>& from, std::vector<Kept>& to);
    // Drops the oldest texts kept for Undo beyond kKeptSteps or kKeptCharacters.
    void Trim();
    void ApplyTabStops(QTextDocument& doc) const;
    // The toolkit's Undo and Redo entries do the box's own.
    void RouteUndo(QMenu& menu);
    // The local files that a drag carries, when this box takes files; empty otherwise.
    QStringList DroppedFiles(const QMimeData* data) const;

    bool m_want_return;
    std::vector<Kept> m_undo; // oldest first
    std::vector<Kept> m_redo; // the next Redo's last
    bool m_step_open = false; // the text shown is a step's, unchanged since
    bool m_moving = false;    // within Undo or Redo of the text's own edits
    int m_tab_columns = -1;   // below 0: the toolkit's tab stops
    QMetaObject::Connection m_edit_watch;
    QList<QAction*> m_menu_actions;
    std::function<void(const QStringList&)> m_on_files;
};

} // namespace platform
