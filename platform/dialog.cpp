#include "platform/dialog.h"

#include "platform/dialog_qt.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform {

namespace {

bool IsEnterKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

// Typed text, as opposed to keys that edit or move: printable and without Ctrl, Alt or Meta.
bool IsTypedText(const QKeyEvent* e) {
    if ((e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return false;
    }
    const QString text = e->text();
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

bool AllDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Single-line edit box with the typing rules of its styles.
class EditBox : public QLineEdit {
public:
    EditBox(QWidget* parent, uint32_t styles)
        : QLineEdit(parent), m_number((styles & style::kNumber) != 0),
          m_upper((styles & style::kUpperCase) != 0) {}

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (IsTypedText(e)) {
            if (m_number && !AllDigits(e->text())) {
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

    // Composed characters arrive here rather than as key presses.
    void inputMethodEvent(QInputMethodEvent* e) override {
        QString commit = e->commitString();
        if (m_number && !AllDigits(commit)) {
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

private:
    bool m_number;
    bool m_upper;
};

// Multi-line edit box. Tab moves on to the next control, as in any dialog.
class TextBox : public QPlainTextEdit {
public:
    TextBox(QWidget* parent, uint32_t styles)
        : QPlainTextEdit(parent), m_want_return((styles & style::kWantReturn) != 0) {
        setTabChangesFocus(true);
        if ((styles & style::kAutoHScroll) != 0) {
            setLineWrapMode(QPlainTextEdit::NoWrap);
        } else {
            setLineWrapMode(QPlainTextEdit::WidgetWidth);
            setWordWrapMode(QTextOption::WordWrap);
        }
        setVerticalScrollBarPolicy((styles & style::kVScroll) != 0 ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy((styles & style::kHScroll) != 0 ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (IsEnterKey(e) && !m_want_return) {
            e->ignore(); // the dialog's Enter
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }

private:
    bool m_want_return;
};

// Combo box that takes a typed name and offers a list. Enter and Escape belong to the dialog
// while the list is closed; only a pick from the list counts as a choice.
class ComboBox : public QComboBox {
public:
    explicit ComboBox(QWidget* parent) : QComboBox(parent) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        // Inline completion would turn a new name that begins an existing one into that one.
        setCompleter(nullptr);
        // The combo box makes an edited text that equals an item into a choice of that item, on
        // Enter and on leaving the box; typing a name must not load anything.
        QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
        QObject::disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (IsEnterKey(e) || e->key() == Qt::Key_Escape) {
            e->ignore();
            return;
        }
        QComboBox::keyPressEvent(e);
    }
};

} // namespace

// The window; forwards what the dialog's program reacts to.
class DialogWindow : public QWidget {
public:
    explicit DialogWindow(Dialog::Impl& impl) : m_impl(impl) {}

    void RunModal() {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
    }

    void End() {
        hide();
        if (m_loop != nullptr) {
            m_loop->exit();
        }
    }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    Dialog::Impl& m_impl;
    QEventLoop* m_loop = nullptr;
};

struct Dialog::Impl {
    Impl(Dialog& owner_, const DialogTemplate& dialog_template)
        : owner(owner_), tmpl(dialog_template) {}

    void Build();
    void Initialise();
    QWidget* Find(int id) const;
    const ControlTemplate* Template(int id) const;

    // The dialog's overridables, reachable from the window.
    void CallOnOK() { owner.OnOK(); }
    void CallOnCancel() { owner.OnCancel(); }
    void CallOnPaint() { owner.OnPaint(); }
    void CallOnCommand(int id, Notification code) { owner.OnCommand(id, code); }

    Dialog& owner;
    const DialogTemplate& tmpl;
    int result = 0;
    bool ended = false;
    std::vector<QWidget*> controls;       // template order, owned by the window
    std::unique_ptr<DialogWindow> window; // last, so it goes first, with its controls
};

void DialogWindow::keyPressEvent(QKeyEvent* e) {
    if (IsEnterKey(e)) {
        m_impl.CallOnOK();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        m_impl.CallOnCancel();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void DialogWindow::closeEvent(QCloseEvent* e) {
    // The close box asks; OnCancel decides whether the window goes.
    e->ignore();
    m_impl.CallOnCancel();
}

void DialogWindow::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    m_impl.CallOnPaint();
}

namespace {

// The dialog font: the template's face where it exists, else the desktop's UI face, at the
// template's size either way, which the layout was made for.
QFont DialogFont(const DialogTemplate& t) {
    QFont font = QApplication::font();
    if (QFontDatabase::families().contains(QString::fromUtf8(t.font_face), Qt::CaseInsensitive)) {
        font.setFamily(QString::fromUtf8(t.font_face));
    }
    font.setPointSize(t.font_points);
    return font;
}

QWidget* CreateControl(const ControlTemplate& c, QWidget* parent) {
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case ControlKind::GroupBox: {
        auto* box = new QGroupBox(caption, parent);
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    }
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
    case ControlKind::PushLikeCheckBox: {
        auto* button = new QPushButton(caption, parent);
        button->setCheckable(true);
        button->setAutoDefault(false); // Enter must not toggle it
        return button;
    }
    case ControlKind::ComboBox:
        return new ComboBox(parent);
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

// The text of a control as the toolkit holds it; empty for none.
QString TextOf(const QWidget* w) {
    if (auto* edit = dynamic_cast<const QLineEdit*>(w)) {
        return edit->text();
    }
    if (auto* text = dynamic_cast<const QPlainTextEdit*>(w)) {
        // Raw text: plain text would turn non-breaking spaces into spaces.
        return text->document()->toRawText();
    }
    if (auto* combo = dynamic_cast<const QComboBox*>(w)) {
        return combo->currentText();
    }
    if (auto* button = dynamic_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (auto* label = dynamic_cast<const QLabel*>(w)) {
        return label->text();
    }
    if (auto* box = dynamic_cast<const QGroupBox*>(w)) {
        return box->title();
    }
    return {};
}

} // namespace

void Dialog::Impl::Build() {
    window = std::make_unique<DialogWindow>(*this);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(QString::fromUtf8(tmpl.caption));
    const QFont font = DialogFont(tmpl);
    window->setFont(font);
    const BaseUnits units = DialogBaseUnits(font);
    window->setFixedSize(MapDialogRect(units, 0, 0, tmpl.width, tmpl.height).size());

    controls.clear();
    QWidget* previous_stop = nullptr;
    for (const ControlTemplate& c : tmpl.controls) {
        QWidget* w = CreateControl(c, window.get());
        QRect r = MapDialogRect(units, c.x, c.y, c.width, c.height);
        if (c.kind == ControlKind::ComboBox) {
            // The template's height includes the dropped list; the closed box is one line.
            r.setHeight(std::min(r.height(), w->sizeHint().height()));
        } else if (c.kind == ControlKind::Label) {
            // Faces differ in how wide digits and signs are next to letters; a label may run
            // into the free space on its right rather than lose its end.
            r.setWidth(std::max(r.width(), w->sizeHint().width()));
        }
        w->setGeometry(r);
        if ((c.styles & style::kTabStop) != 0) {
            w->setFocusPolicy(Qt::StrongFocus);
            if (previous_stop != nullptr) {
                QWidget::setTabOrder(previous_stop, w);
            }
            previous_stop = w;
        } else if (c.kind == ControlKind::GroupBox || c.kind == ControlKind::Label ||
                   c.kind == ControlKind::ProgressBar) {
            w->setFocusPolicy(Qt::NoFocus);
        } else {
            w->setFocusPolicy(Qt::ClickFocus);
        }
        if (c.kind == ControlKind::PushButton || c.kind == ControlKind::PushLikeCheckBox) {
            QObject::connect(static_cast<QPushButton*>(w), &QPushButton::clicked, window.get(),
                             [this, id = c.id] { CallOnCommand(id, Notification::Clicked); });
        } else if (c.kind == ControlKind::ComboBox) {
            QObject::connect(static_cast<QComboBox*>(w), &QComboBox::activated, window.get(),
                             [this, id = c.id] { CallOnCommand(id, Notification::SelEndOk); });
        }
        controls.push_back(w);
    }
    // A label's access key leads to the control that follows it.
    for (std::size_t i = 0; i + 1 < controls.size(); ++i) {
        if (auto* label = dynamic_cast<QLabel*>(controls[i])) {
            label->setBuddy(controls[i + 1]);
        }
    }
}

void Dialog::Impl::Initialise() {
    if (owner.OnInitDialog()) {
        for (std::size_t i = 0; i < controls.size(); ++i) {
            if ((tmpl.controls[i].styles & style::kTabStop) != 0) {
                controls[i]->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    // Centred on the screen, as a dialog without a parent is.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

QWidget* Dialog::Impl::Find(int id) const {
    if (id == kStaticId) {
        return nullptr;
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (tmpl.controls[i].id == id) {
            return controls[i];
        }
    }
    return nullptr;
}

const ControlTemplate* Dialog::Impl::Template(int id) const {
    for (const ControlTemplate& c : tmpl.controls) {
        if (c.id == id && id != kStaticId) {
            return &c;
        }
    }
    return nullptr;
}

Dialog::Dialog(const DialogTemplate& dialog_template)
    : m_impl(std::make_unique<Impl>(*this, dialog_template)) {}

Dialog::~Dialog() = default;

bool Dialog::OnInitDialog() {
    return true;
}
void Dialog::OnOK() {
    EndDialog(IDOK);
}
void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool Dialog::Create() {
    if (m_impl->window) {
        return false;
    }
    m_impl->Build();
    m_impl->Initialise();
    m_impl->window->show();
    return true;
}

int Dialog::DoModal() {
    if (m_impl->window) {
        return -1;
    }
    m_impl->Build();
    m_impl->result = 0;
    m_impl->ended = false;
    m_impl->window->setWindowModality(Qt::ApplicationModal);
    m_impl->Initialise();
    // A dialog that ended while it started up has nothing to wait for.
    if (!m_impl->ended) {
        m_impl->window->show();
        m_impl->window->RunModal();
    }
    // The window and its controls end with the modal run.
    m_impl->controls.clear();
    m_impl->window.reset();
    return m_impl->result;
}

void Dialog::EndDialog(int result) {
    m_impl->result = result;
    m_impl->ended = true;
    if (m_impl->window) {
        m_impl->window->End();
    }
}

bool Dialog::IsWindowVisible() const {
    return m_impl->window && m_impl->window->isVisible();
}

bool Dialog::IsIconic() const {
    return m_impl->window && m_impl->window->isMinimized();
}

std::string Dialog::GetDlgItemText(int id) const {
    return ToAppText(TextOf(m_impl->Find(id)));
}

void Dialog::SetDlgItemText(int id, std::string_view text) {
    QWidget* w = m_impl->Find(id);
    const QString s = FromAppText(text);
    if (auto* edit = dynamic_cast<QLineEdit*>(w)) {
        edit->setText(s);
    } else if (auto* box = dynamic_cast<QPlainTextEdit*>(w)) {
        box->setPlainText(s);
    } else if (auto* combo = dynamic_cast<QComboBox*>(w)) {
        combo->setEditText(s);
    } else if (auto* button = dynamic_cast<QAbstractButton*>(w)) {
        button->setText(s);
    } else if (auto* label = dynamic_cast<QLabel*>(w)) {
        label->setText(s);
    } else if (auto* group = dynamic_cast<QGroupBox*>(w)) {
        group->setTitle(s);
    }
}

int32_t Dialog::GetDlgItemInt(int id, bool* translated, bool is_signed) const {
    return ParseDlgInt(TextOf(m_impl->Find(id)), translated, is_signed);
}

void Dialog::SetDlgItemInt(int id, int32_t value, bool is_signed) {
    const QString text = is_signed ? QString::number(value) : QString::number(uint32_t(value));
    SetDlgItemText(id, text.toStdString());
}

int Dialog::GetCheck(int id) const {
    auto* button = dynamic_cast<QAbstractButton*>(m_impl->Find(id));
    return button != nullptr && button->isCheckable() && button->isChecked() ? 1 : 0;
}

void Dialog::SetCheck(int id, int state) {
    if (auto* button = dynamic_cast<QAbstractButton*>(m_impl->Find(id))) {
        button->setChecked(state != 0);
    }
}

int Dialog::ComboAddString(int id, std::string_view text) {
    auto* combo = dynamic_cast<QComboBox*>(m_impl->Find(id));
    if (combo == nullptr) {
        return -1;
    }
    const QString item = FromAppText(text);
    const bool sorted = (m_impl->Template(id)->styles & style::kSorted) != 0;
    int index = combo->count();
    for (int i = 0; sorted && i < combo->count(); ++i) {
        if (QString::compare(combo->itemText(i), item, Qt::CaseInsensitive) > 0) {
            index = i;
            break;
        }
    }
    const int selected = combo->currentIndex();
    const QString typed = combo->currentText();
    combo->insertItem(index, item);
    // The first item of an empty list would otherwise become the selection and replace the text.
    if (selected == -1 && combo->currentIndex() != -1) {
        combo->setCurrentIndex(-1);
    }
    if (combo->currentText() != typed) {
        combo->setEditText(typed);
    }
    return index;
}

int Dialog::ComboDeleteString(int id, int index) {
    auto* combo = dynamic_cast<QComboBox*>(m_impl->Find(id));
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return -1;
    }
    const int selected = combo->currentIndex();
    const QString typed = combo->currentText();
    combo->removeItem(index);
    // Removing the selected item would select a neighbour and show its text.
    if (selected == index) {
        combo->setCurrentIndex(-1);
    }
    if (combo->currentText() != typed) {
        combo->setEditText(typed);
    }
    return combo->count();
}

void Dialog::ComboResetContent(int id) {
    if (auto* combo = dynamic_cast<QComboBox*>(m_impl->Find(id))) {
        combo->clear();
        combo->clearEditText();
    }
}

int Dialog::ComboGetCount(int id) const {
    auto* combo = dynamic_cast<QComboBox*>(m_impl->Find(id));
    return combo != nullptr ? combo->count() : 0;
}

std::string Dialog::ComboGetItemText(int id, int index) const {
    auto* combo = dynamic_cast<QComboBox*>(m_impl->Find(id));
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return {};
    }
    return ToAppText(combo->itemText(index));
}

int Dialog::ComboGetCurSel(int id) const {
    auto* combo = dynamic_cast<QComboBox*>(m_impl->Find(id));
    return combo != nullptr ? combo->currentIndex() : -1;
}

int Dialog::ComboSetCurSel(int id, int index) {
    auto* combo = dynamic_cast<QComboBox*>(m_impl->Find(id));
    if (combo == nullptr) {
        return -1;
    }
    if (index < 0 || index >= combo->count()) {
        combo->setCurrentIndex(-1);
        combo->clearEditText();
        return -1;
    }
    combo->setCurrentIndex(index);
    combo->setEditText(combo->itemText(index));
    return index;
}

void Dialog::SetProgressRange(int id, int low, int high) {
    if (auto* bar = dynamic_cast<QProgressBar*>(m_impl->Find(id))) {
        bar->setRange(low, std::max(low, high));
    }
}

void Dialog::SetProgressPos(int id, int position) {
    if (auto* bar = dynamic_cast<QProgressBar*>(m_impl->Find(id))) {
        // The bar paints itself at once, so it moves while a command keeps the loop waiting.
        bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    }
}

int Dialog::GetProgressPos(int id) const {
    auto* bar = dynamic_cast<QProgressBar*>(m_impl->Find(id));
    return bar != nullptr ? bar->value() : 0;
}

void Dialog::SetItemFocus(int id) {
    if (QWidget* w = m_impl->Find(id)) {
        w->setFocus(Qt::OtherFocusReason);
    }
}

void Dialog::SelectAll(int id) {
    QWidget* w = m_impl->Find(id);
    if (auto* edit = dynamic_cast<QLineEdit*>(w)) {
        edit->selectAll();
    } else if (auto* text = dynamic_cast<QPlainTextEdit*>(w)) {
        text->selectAll(); // anchor at the start, caret at the end
    } else if (auto* combo = dynamic_cast<QComboBox*>(w)) {
        combo->lineEdit()->selectAll();
    }
}

void Dialog::ScrollCaret(int id) {
    if (auto* text = dynamic_cast<QPlainTextEdit*>(m_impl->Find(id))) {
        text->ensureCursorVisible();
    }
    // A line edit keeps its caret in view by itself.
}

void Dialog::UpdateItem(int id) {
    QWidget* w = m_impl->Find(id);
    if (w == nullptr || !w->isVisible()) {
        return;
    }
    if (auto* area = dynamic_cast<QAbstractScrollArea*>(w)) {
        area->viewport()->repaint();
    }
    w->repaint();
}

bool Dialog::SetItemFont(int id, const FontSpec& spec) {
    QWidget* w = m_impl->Find(id);
    if (w == nullptr || spec.cell_height <= 0) {
        return false;
    }
    QFont font;
    if (QFontDatabase::families().contains(QString::fromUtf8(spec.face), Qt::CaseInsensitive)) {
        font = QFont(QString::fromUtf8(spec.face));
    } else if (spec.monospace_fallback) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else {
        return false;
    }
    // The size is the whole cell, ascent plus descent, as the template's fonts are measured.
    for (int pixels = spec.cell_height; pixels >= 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= spec.cell_height) {
            break;
        }
    }
    w->setFont(font);
    return true;
}

void Dialog::SetIcon(const IconResource* icon) {
    if (!m_impl->window) {
        return;
    }
    QIcon qicon;
    if (icon != nullptr) {
        for (XpmImage image : icon->images) {
            qicon.addPixmap(QPixmap(image));
        }
    }
    m_impl->window->setWindowIcon(qicon);
}

MessageAnswer Dialog::MessageBox(std::string_view text, std::string_view caption,
                                 MessageStyle style) const {
    return ShowMessage(m_impl->window.get(), MessageRequest{caption, text, style});
}

// Toolkit side.

std::string ToAppText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(std::size_t(utf8.size()) + std::size_t(utf8.size()) / 16);
    const char* p = utf8.constData();
    const char* const end = p + utf8.size();
    for (; p != end; ++p) {
        // U+2028 and U+2029, the toolkit's line and paragraph separators.
        if (*p == '\xE2' && end - p >= 3 && p[1] == '\x80' && (p[2] == '\xA8' || p[2] == '\xA9')) {
            out += "\r\n";
            p += 2;
        } else if (*p == '\n' && (out.empty() || out.back() != '\r')) {
            out += "\r\n";
        } else {
            out += *p;
        }
    }
    return out;
}

QString FromAppText(std::string_view text) {
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

int32_t ParseDlgInt(const QString& text, bool* translated, bool is_signed) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == u' ') {
        ++i;
    }
    bool negative = false;
    if (is_signed && i < n && text.at(i) == u'-') {
        negative = true;
        ++i;
    }
    const int64_t limit = is_signed ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
    int64_t value = 0;
    bool digits = false;
    for (; i < n && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        digits = true;
        if (value > limit) {
            digits = false;
            break;
        }
    }
    if (translated != nullptr) {
        *translated = digits;
    }
    if (!digits) {
        return 0;
    }
    return negative ? int32_t(-value) : int32_t(uint32_t(value));
}

BaseUnits DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnits{(width / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(BaseUnits units, int x, int y, int width, int height) {
    // Rounded to the nearest pixel, like a multiply-then-divide of the platform.
    const auto scale = [](int value, int base, int per) {
        const int64_t product = int64_t(value) * base;
        return int((product >= 0 ? product + per / 2 : product - per / 2) / per);
    };
    return QRect(scale(x, units.x, 4), scale(y, units.y, 8), scale(width, units.x, 4),
                 scale(height, units.y, 8));
}

QWidget* DialogWindowOf(const Dialog& dialog) {
    return dialog.impl().window.get();
}

QWidget* ControlWidget(const Dialog& dialog, int id) {
    return dialog.impl().Find(id);
}

std::size_t ControlCount(const Dialog& dialog) {
    return dialog.impl().controls.size();
}

QWidget* ControlAt(const Dialog& dialog, std::size_t index) {
    const auto& controls = dialog.impl().controls;
    return index < controls.size() ? controls[index] : nullptr;
}

const ControlTemplate* ControlOf(const Dialog& dialog, const QWidget* widget) {
    const Dialog::Impl& impl = dialog.impl();
    for (; widget != nullptr; widget = widget->parentWidget()) {
        for (std::size_t i = 0; i < impl.controls.size(); ++i) {
            if (impl.controls[i] == widget) {
                return &impl.tmpl.controls[i];
            }
        }
    }
    return nullptr;
}

} // namespace platform
