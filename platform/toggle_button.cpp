#include "platform/toggle_button.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace platform {

ToggleButton::ToggleButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setCheckable(true);
    setAutoDefault(false); // Enter must not toggle it
}

void ToggleButton::paintEvent(QPaintEvent* e) {
    if (!isChecked()) {
        QPushButton::paintEvent(e);
        return;
    }
    // The steps of the style's own button drawing, with the face filled between frame and label.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    constexpr int kFrame = 2; // the widest frame of the shipped styles
    painter.fillRect(rect().adjusted(kFrame, kFrame, -kFrame, -kFrame),
                     palette().color(QPalette::Highlight));
    QStyleOptionButton label = option;
    label.rect = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    label.palette.setColor(QPalette::ButtonText, palette().color(QPalette::HighlightedText));
    painter.drawControl(QStyle::CE_PushButtonLabel, label);
    if ((option.state & QStyle::State_HasFocus) != 0) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace platform
