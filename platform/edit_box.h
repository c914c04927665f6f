#pragma once
// The single-line edit box, with the typing rules of its template styles.

#include <QLineEdit>
#include <QList>

#include <cstdint>

class QAction;
class QContextMenuEvent;
class QInputMethodEvent;
class QKeyEvent;

namespace platform {

// Number boxes take typed digits only, upper-case boxes turn typed letters into capitals. The
// rules bind typing (keys and composed characters), never text that the program sets.
class EditBox : public QLineEdit {
public:
    EditBox(QWidget* parent, uint32_t styles);

    // A number box that also takes a typed "-" in front of its number, for a box whose negative
    // values mean something.
    void AcceptMinus() { m_minus = true; }

    // Adds `actions` to the context menu, after the toolkit's own entries and a separator. The
    // actions stay owned by the caller.
    void AddMenuActions(const QList<QAction*>& actions) { m_menu_actions += actions; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // Composed characters arrive here rather than as key presses.
    void inputMethodEvent(QInputMethodEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    // Whether typing `typed` where the caret or selection now is keeps to the box's rules.
    bool Accepts(const QString& typed) const;

    bool m_number;
    bool m_upper;
    bool m_minus = false;
    QList<QAction*> m_menu_actions;
};

} // namespace platform
