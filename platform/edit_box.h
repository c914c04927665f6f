#pragma once
// The single-line edit box, with the typing rules of its template styles.

#include <QLineEdit>
#include <QList>

#include <cstdint>
#include <functional>

class QAction;
class QContextMenuEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

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

    // A stripe of `colour` (0xRRGGBB) inside the box's left edge, which takes only a few pixels
    // from narrow colour boxes; a click on it runs `clicked`. A negative colour takes it away.
    void SetSwatch(int32_t colour, std::function<void()> clicked);
    int32_t Swatch() const { return m_swatch; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
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
    int32_t m_swatch = -1;
    std::function<void()> m_swatch_clicked;
};

} // namespace platform
