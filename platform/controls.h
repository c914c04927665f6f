#pragma once
// The widgets that stand for a template's controls: which widget each kind becomes, and the
// typed access to it that the layer uses instead of asking the widget what it is.

#include "platform/dialog_template.h"

#include <QRect>

class QAbstractButton;
class QProgressBar;
class QWidget;

namespace platform {

class ComboBox;
class EditBox;
class TextBox;

// One control of a dialog: its template entry, the widget made for it (owned by the window) and
// its place in the window at the template's size.
struct Control {
    const ControlTemplate* tmpl;
    QWidget* widget;
    QRect place;

    ControlKind kind() const { return tmpl->kind; }
};

// The widget for `c`, a child of `parent`, with its caption, typing and scrolling rules, frame
// and alignment. Focus policy, place and tab order are the window's.
QWidget* CreateControl(const ControlTemplate& c, QWidget* parent);

// The control's widget as the class its kind made; null for another kind or no control.
EditBox* AsEditBox(const Control* c);
TextBox* AsTextBox(const Control* c);
ComboBox* AsComboBox(const Control* c);
QAbstractButton* AsButton(const Control* c); // push buttons and toggles
QProgressBar* AsProgressBar(const Control* c);

} // namespace platform
