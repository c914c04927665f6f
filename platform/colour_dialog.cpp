// The colour picker, the colour swatch of an edit box and rich text in a label: what a dialog
// needs to show colours rather than their digits.

#include "platform/colour_dialog.h"

#include "platform/app_text.h"
#include "platform/dialog.h"
#include "platform/dialog_impl.h"
#include "platform/dialog_window.h"
#include "platform/edit_box.h"

#include <QAction>
#include <QColorDialog>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <utility>

namespace platform {

namespace {

// One handler for the process; the program has one thread.
ColourDialogHandler& Handler() {
    static ColourDialogHandler handler;
    return handler;
}

constexpr const char* kSwatchName = "tarvo-swatch";

// A square of `colour` in a thin grey frame, which a white or black swatch needs on a box of the
// same colour.
QIcon SwatchIcon(uint32_t colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&pixmap);
    painter.fillRect(1, 1, 12, 12, QColor::fromRgb(colour & 0xFFFFFF));
    return QIcon(pixmap);
}

} // namespace

ColourDialogHandler SetColourDialogHandler(ColourDialogHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

int32_t Dialog::AskColour(uint32_t initial, std::string_view caption) const {
    if (Handler()) {
        return Handler()(initial, caption);
    }
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(initial & 0xFFFFFF),
                                                 m_impl->window.get(), FromAppText(caption));
    return chosen.isValid() ? int32_t(chosen.rgb() & 0xFFFFFF) : -1;
}

void Dialog::SetDlgItemHtml(int id, std::string_view html) {
    const Control* c = m_impl->Find(id);
    if (c == nullptr || c->kind() != ControlKind::Label) {
        return;
    }
    auto* label = static_cast<QLabel*>(c->widget);
    label->setTextFormat(Qt::RichText);
    label->setText(FromAppText(html));
}

void Dialog::SetItemSwatch(int id, int32_t colour) {
    EditBox* box = AsEditBox(m_impl->Find(id));
    if (box == nullptr) {
        return;
    }
    auto* swatch = box->findChild<QAction*>(kSwatchName, Qt::FindDirectChildrenOnly);
    if (colour < 0) {
        delete swatch;
        return;
    }
    if (swatch == nullptr) {
        swatch = box->addAction(SwatchIcon(uint32_t(colour)), QLineEdit::LeadingPosition);
        swatch->setObjectName(kSwatchName);
        swatch->setToolTip(QObject::tr("Pick a colour"));
        Impl* impl = m_impl.get();
        QObject::connect(swatch, &QAction::triggered, box,
                         [impl, id] { impl->CallOnCommand(id, Notification::Clicked); });
        return;
    }
    swatch->setIcon(SwatchIcon(uint32_t(colour)));
}

} // namespace platform
