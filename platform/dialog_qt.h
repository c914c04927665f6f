#pragma once
// The toolkit side of the layer, for its own sources and for tests that drive the real widgets.
// Program code includes dialog.h instead.

#include "platform/app_text.h"
#include "platform/dialog.h"
#include "platform/dialog_units.h"

#include <cstddef>
#include <string>

class QFont;
class QWidget;

namespace platform {

// Dialog base units of a font.
BaseUnits DialogBaseUnits(const QFont& font);

// Shows a message owned by `owner` through the installed handler, or the built-in box.
MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request);
// Asks for a file name through the installed handler, or the toolkit's dialog owned by `owner`.
std::string AskFileName(QWidget* owner, const FileDialogRequest& request);

// The window of a dialog, null before Create.
QWidget* DialogWindowOf(const Dialog& dialog);
// The widget of control `id`, null when there is none.
QWidget* ControlWidget(const Dialog& dialog, int id);
// The widgets in template order.
std::size_t ControlCount(const Dialog& dialog);
QWidget* ControlAt(const Dialog& dialog, std::size_t index);
// The template entry of the control that `widget` belongs to (the widget or one of its parents),
// null when none.
const ControlTemplate* ControlOf(const Dialog& dialog, const QWidget* widget);

} // namespace platform
