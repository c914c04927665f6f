#include "platform/edit_box.h"

#include "platform/dialog_template.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace platform {

namespace {

// The swatch's width and the room it keeps from the text, in pixels.
constexpr int kSwatchWidth = 6;
constexpr int kSwatchRoom = kSwatchWidth + 3;

// Typed text, as opposed to keys that edit or move: printable and without Ctrl, Alt or Meta.
bool IsTypedText(const QKeyEvent* e) {
    if ((e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return false;
    }
    const QString text = e->text();
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

bool AllDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

EditBox::EditBox(QWidget* parent, uint32_t styles)
    : QLineEdit(parent), m_number((styles & style::kNumber) != 0),
      m_upper((styles & style::kUpperCase) != 0) {}

bool EditBox::Accepts(const QString& typed) const {
    if (!m_number || AllDigits(typed)) {
        return true;
    }
    if (!m_minus || !typed.startsWith(u'-') || !AllDigits(QStringView(typed).mid(1))) {
        return false;
    }
    // The minus only in front: typed at the start, with no sign left after it.
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : at;
    return at == 0 && !text().mid(end).startsWith(u'-');
}

void EditBox::keyPressEvent(QKeyEvent* e) {
    if (IsTypedText(e)) {
        if (!Accepts(e->text())) {
            e->accept(); // refused, as the box takes digits only
            return;
        }
        if (m_upper) {
            QKeyEvent upper(e->type(), e->key(), e->modifiers(), e->text().toUpper(),
                            e->isAutoRepeat(), ushort(e->count()));
            QLineEdit::keyPressEvent(&upper);
            e->setAccepted(upper.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void EditBox::inputMethodEvent(QInputMethodEvent* e) {
    QString commit = e->commitString();
    if (!Accepts(commit)) {
        commit.clear();
    }
    if (m_upper) {
        commit = commit.toUpper();
    }
    if (commit == e->commitString()) {
        QLineEdit::inputMethodEvent(e);
        return;
    }
    QInputMethodEvent changed(e->preeditString(), e->attributes());
    changed.setCommitString(commit, e->replacementStart(), e->replacementLength());
    QLineEdit::inputMethodEvent(&changed);
}

void EditBox::contextMenuEvent(QContextMenuEvent* e) {
    if (m_menu_actions.isEmpty()) {
        QLineEdit::contextMenuEvent(e);
        return;
    }
    // As the toolkit shows its own menu: open, and gone once closed.
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addActions(m_menu_actions);
    menu->popup(e->globalPos());
}

} // namespace platform

namespace platform {

void EditBox::SetSwatch(int32_t colour, std::function<void()> clicked) {
    if ((colour < 0) != (m_swatch < 0)) {
        setTextMargins(colour < 0 ? 0 : kSwatchRoom, 0, 0, 0);
    }
    m_swatch = colour < 0 ? -1 : colour & 0xFFFFFF;
    m_swatch_clicked = std::move(clicked);
    update();
}

// The stripe, inside the frame along the left edge.
static QRect SwatchRect(const QLineEdit& box) {
    const int inset = box.hasFrame() ? 3 : 1;
    return QRect(inset, inset, kSwatchWidth, box.height() - 2 * inset);
}

void EditBox::paintEvent(QPaintEvent* e) {
    QLineEdit::paintEvent(e);
    if (m_swatch < 0) {
        return;
    }
    QPainter painter(this);
    const QRect r = SwatchRect(*this);
    painter.fillRect(r, QColor(0x80, 0x80, 0x80)); // a white or black swatch still shows
    painter.fillRect(r.adjusted(1, 1, -1, -1), QColor::fromRgb(QRgb(m_swatch)));
}

void EditBox::mousePressEvent(QMouseEvent* e) {
    if (m_swatch >= 0 && m_swatch_clicked && e->button() == Qt::LeftButton &&
        SwatchRect(*this).adjusted(-2, -2, 2, 2).contains(e->position().toPoint())) {
        e->accept();
        m_swatch_clicked();
        return;
    }
    QLineEdit::mousePressEvent(e);
}

} // namespace platform
