#include "platform/controls.h"

#include "platform/app_text.h"
#include "platform/combo_box.h"
#include "platform/edit_box.h"
#include "platform/text_box.h"
#include "platform/toggle_button.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace platform {

QWidget* CreateControl(const ControlTemplate& c, QWidget* parent) {
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(caption, parent);
    case ControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Edit: {
        auto* edit = new EditBox(parent, c.styles);
        edit->setText(caption);
        edit->setFrame((c.styles & style::kBorder) != 0);
        edit->setAlignment((c.styles & style::kRight) != 0 ? Qt::AlignRight | Qt::AlignVCenter
                                                           : Qt::AlignLeft | Qt::AlignVCenter);
        return edit;
    }
    case ControlKind::MultiLineEdit: {
        auto* text = new TextBox(parent, c.styles);
        text->setPlainText(FromAppText(c.caption));
        text->setFrameShape((c.styles & style::kBorder) != 0 ? QFrame::StyledPanel
                                                             : QFrame::NoFrame);
        return text;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(true); // Enter presses the button that has the focus
        return button;
    }
    case ControlKind::PushLikeCheckBox:
        return new ToggleButton(caption, parent);
    case ControlKind::ComboBox:
        return new ComboBox(parent, (c.styles & style::kDropList) == 0);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 1024);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    }
    return nullptr;
}

namespace {

template <typename W>
W* As(const Control* c, ControlKind kind) {
    return c != nullptr && c->kind() == kind ? static_cast<W*>(c->widget) : nullptr;
}

} // namespace

EditBox* AsEditBox(const Control* c) {
    return As<EditBox>(c, ControlKind::Edit);
}

TextBox* AsTextBox(const Control* c) {
    return As<TextBox>(c, ControlKind::MultiLineEdit);
}

ComboBox* AsComboBox(const Control* c) {
    return As<ComboBox>(c, ControlKind::ComboBox);
}

QAbstractButton* AsButton(const Control* c) {
    if (c == nullptr ||
        (c->kind() != ControlKind::PushButton && c->kind() != ControlKind::PushLikeCheckBox)) {
        return nullptr;
    }
    return static_cast<QAbstractButton*>(c->widget);
}

QProgressBar* AsProgressBar(const Control* c) {
    return As<QProgressBar>(c, ControlKind::ProgressBar);
}

} // namespace platform
