// The colour picker, the colour swatch of an edit box and rich text in a label: what a dialog
// needs to show colours rather than their digits.

#include "platform/colour_dialog.h"

#include "platform/app_text.h"
#include "platform/dialog.h"
#include "platform/dialog_impl.h"
#include "platform/dialog_window.h"
#include "platform/edit_box.h"

#include <QColorDialog>
#include <QLabel>

#include <utility>

namespace platform {

namespace {

// One handler for the process; the program has one thread.
ColourDialogHandler& Handler() {
    static ColourDialogHandler handler;
    return handler;
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
    if (EditBox* box = AsEditBox(m_impl->Find(id))) {
        Impl* impl = m_impl.get();
        box->SetSwatch(colour, [impl, id] { impl->CallOnCommand(id, Notification::Clicked); });
    }
}

} // namespace platform
