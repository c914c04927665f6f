// The dialog's controls by identifier: text, numbers, check states, the combo box's list, the
// progress bar, focus and selection, font and typing rules. Each works on the kinds of control it
// names and does nothing (or gives an empty answer) for others and for unknown identifiers.

#include "platform/dialog.h"

#include "platform/app_text.h"
#include "platform/cell_font.h"
#include "platform/combo_box.h"
#include "platform/dialog_impl.h"
#include "platform/edit_box.h"
#include "platform/text_box.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTextCursor>

#include <algorithm>

namespace platform {

namespace {

// The text of a control as the toolkit holds it; empty for none.
QString TextOf(const Control* c) {
    if (c == nullptr) {
        return {};
    }
    switch (c->kind()) {
    case ControlKind::GroupBox:
        return static_cast<const QGroupBox*>(c->widget)->title();
    case ControlKind::Label:
        return static_cast<const QLabel*>(c->widget)->text();
    case ControlKind::Edit:
        return static_cast<const QLineEdit*>(c->widget)->text();
    case ControlKind::MultiLineEdit:
        // Raw text: plain text would turn non-breaking spaces into spaces.
        return static_cast<const QPlainTextEdit*>(c->widget)->document()->toRawText();
    case ControlKind::PushButton:
    case ControlKind::PushLikeCheckBox:
        return static_cast<const QAbstractButton*>(c->widget)->text();
    case ControlKind::ComboBox:
        return static_cast<const QComboBox*>(c->widget)->currentText();
    case ControlKind::ProgressBar:
        break;
    }
    return {};
}

} // namespace

std::string Dialog::GetDlgItemText(int id) const {
    return ToAppText(TextOf(m_impl->Find(id)));
}

void Dialog::SetDlgItemText(int id, std::string_view text) {
    const Control* c = m_impl->Find(id);
    if (c == nullptr) {
        return;
    }
    const QString s = FromAppText(text);
    switch (c->kind()) {
    case ControlKind::GroupBox:
        static_cast<QGroupBox*>(c->widget)->setTitle(s);
        break;
    case ControlKind::Label:
        static_cast<QLabel*>(c->widget)->setText(s);
        break;
    case ControlKind::Edit:
        static_cast<QLineEdit*>(c->widget)->setText(s);
        break;
    case ControlKind::MultiLineEdit:
        static_cast<TextBox*>(c->widget)->SetText(s);
        break;
    case ControlKind::PushButton:
    case ControlKind::PushLikeCheckBox:
        static_cast<QAbstractButton*>(c->widget)->setText(s);
        break;
    case ControlKind::ComboBox:
        static_cast<QComboBox*>(c->widget)->setEditText(s);
        break;
    case ControlKind::ProgressBar:
        break;
    }
}

void Dialog::SetDlgItemTextAsStep(int id, std::string_view text, UndoStep step) {
    if (TextBox* box = AsTextBox(m_impl->Find(id))) {
        box->SetTextAsStep(FromAppText(text), step == UndoStep::New);
    }
}

int32_t Dialog::GetDlgItemInt(int id, bool* translated, bool is_signed) const {
    return ParseDlgInt(TextOf(m_impl->Find(id)), translated, is_signed);
}

void Dialog::SetDlgItemInt(int id, int32_t value, bool is_signed) {
    SetDlgItemText(id, ToAppText(FormatDlgInt(value, is_signed)));
}

int Dialog::GetCheck(int id) const {
    const Control* c = m_impl->Find(id);
    return c != nullptr && c->kind() == ControlKind::PushLikeCheckBox && AsButton(c)->isChecked()
               ? 1
               : 0;
}

void Dialog::SetCheck(int id, int state) {
    if (QAbstractButton* button = AsButton(m_impl->Find(id))) {
        button->setChecked(state != 0); // a push button cannot be checked
    }
}

int Dialog::ComboAddString(int id, std::string_view text) {
    const Control* c = m_impl->Find(id);
    ComboBox* combo = AsComboBox(c);
    return combo != nullptr
               ? combo->AddItem(FromAppText(text), (c->tmpl->styles & style::kSorted) != 0)
               : -1;
}

int Dialog::ComboDeleteString(int id, int index) {
    ComboBox* combo = AsComboBox(m_impl->Find(id));
    return combo != nullptr ? combo->DeleteItem(index) : -1;
}

void Dialog::ComboResetContent(int id) {
    if (ComboBox* combo = AsComboBox(m_impl->Find(id))) {
        combo->clear();
        combo->clearEditText();
    }
}

int Dialog::ComboGetCount(int id) const {
    const ComboBox* combo = AsComboBox(m_impl->Find(id));
    return combo != nullptr ? combo->count() : 0;
}

std::string Dialog::ComboGetItemText(int id, int index) const {
    const ComboBox* combo = AsComboBox(m_impl->Find(id));
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return {};
    }
    return ToAppText(combo->itemText(index));
}

int Dialog::ComboGetCurSel(int id) const {
    const ComboBox* combo = AsComboBox(m_impl->Find(id));
    return combo != nullptr ? combo->currentIndex() : -1;
}

int Dialog::ComboSetCurSel(int id, int index) {
    ComboBox* combo = AsComboBox(m_impl->Find(id));
    return combo != nullptr ? combo->Select(index) : -1;
}

void Dialog::SetProgressRange(int id, int low, int high) {
    if (QProgressBar* bar = AsProgressBar(m_impl->Find(id))) {
        bar->setRange(low, std::max(low, high));
    }
}

void Dialog::SetProgressPos(int id, int position) {
    if (QProgressBar* bar = AsProgressBar(m_impl->Find(id))) {
        // The bar paints itself at once, so it moves while a command keeps the loop waiting.
        bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    }
}

void Dialog::SetItemFocus(int id) {
    if (const Control* c = m_impl->Find(id)) {
        c->widget->setFocus(Qt::OtherFocusReason);
    }
}

void Dialog::SelectAll(int id) {
    const Control* c = m_impl->Find(id);
    if (EditBox* edit = AsEditBox(c)) {
        edit->selectAll();
    } else if (TextBox* text = AsTextBox(c)) {
        text->selectAll(); // anchor at the start, caret at the end
    } else if (ComboBox* combo = AsComboBox(c)) {
        combo->lineEdit()->selectAll();
    }
}

void Dialog::ReplaceSel(int id, std::string_view text) {
    const Control* c = m_impl->Find(id);
    if (EditBox* edit = AsEditBox(c)) {
        edit->insert(FromAppText(text));
    } else if (TextBox* box = AsTextBox(c)) {
        box->insertPlainText(FromAppText(text));
    }
}

void Dialog::ScrollCaret(int id) {
    if (TextBox* text = AsTextBox(m_impl->Find(id))) {
        text->ensureCursorVisible();
    }
    // A line edit keeps its caret in view by itself.
}

void Dialog::UpdateItem(int id) {
    const Control* c = m_impl->Find(id);
    if (c == nullptr || !c->widget->isVisible()) {
        return;
    }
    if (TextBox* text = AsTextBox(c)) {
        text->viewport()->repaint();
    }
    c->widget->repaint();
}

bool Dialog::SetItemFont(int id, const FontSpec& spec) {
    const Control* c = m_impl->Find(id);
    QFont font;
    if (c == nullptr || !MakeCellFont(spec, font)) {
        return false;
    }
    c->widget->setFont(font);
    return true;
}

void Dialog::SetTabStops(int id, int columns) {
    if (TextBox* box = AsTextBox(m_impl->Find(id))) {
        box->SetTabColumns(std::max(0, columns));
    }
}

void Dialog::AllowTypedMinus(int id) {
    if (EditBox* edit = AsEditBox(m_impl->Find(id))) {
        edit->AcceptMinus();
    }
}

void Dialog::DragAcceptFiles(int id) {
    if (TextBox* box = AsTextBox(m_impl->Find(id))) {
        box->setAcceptDrops(true);
        box->AcceptFiles([impl = m_impl.get(), id](const QStringList& files) {
            std::vector<std::string> paths;
            for (const QString& file : files) {
                paths.push_back(QFile::encodeName(file).toStdString());
            }
            impl->CallOnDropFiles(id, paths);
        });
    }
}

} // namespace platform
