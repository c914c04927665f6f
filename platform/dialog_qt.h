#pragma once
// The toolkit side of the layer, for its own sources and for tests that drive the real widgets.
// Program code includes dialog.h instead.

#include "platform/dialog.h"

#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class QFont;
class QWidget;

namespace platform {

// Text as the program sees it (UTF-8, CR LF) from text as the toolkit holds it (LF, or paragraph
// and line separators), and back.
std::string ToAppText(const QString& text);
QString FromAppText(std::string_view text);

// The number rules of GetDlgItemInt on a text.
int32_t ParseDlgInt(const QString& text, bool* translated, bool is_signed);

// Dialog base units of a font: the average width of its letters and its height, in pixels.
struct BaseUnits {
    int x;
    int y;
};
BaseUnits DialogBaseUnits(const QFont& font);
// Pixels of a rectangle given in dialog units.
QRect MapDialogRect(BaseUnits units, int x, int y, int width, int height);

// Shows a message owned by `owner` through the installed handler, or the built-in box.
MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request);

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
