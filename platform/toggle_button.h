#pragma once
// The push-like check box: a button that stays pressed while it is on.

#include <QPushButton>

namespace platform {

// Styles draw a checked button barely darker than a released one; this one fills its face with
// the palette's highlight colour while it is on, inside the style's own frame, so that its state
// shows at a glance in any style. Size and place are the style's.
class ToggleButton : public QPushButton {
public:
    ToggleButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace platform
