// The window of a Dialog: building it from the template, its modal run, its size, its menus.

#include "platform/dialog.h"

#include "platform/combo_box.h"

#include "platform/app_text.h"
#include "platform/dialog_qt.h"
#include "platform/dialog_units.h"
#include "platform/dialog_window.h"
#include "platform/edit_box.h"
#include "platform/text_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>

namespace platform {

void DialogWindow::RunModal() {
    QEventLoop loop;
    m_loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
}

void DialogWindow::End() {
    hide();
    if (m_loop != nullptr) {
        m_loop->exit();
    }
}

void DialogWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
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

void DialogWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    m_impl.Layout(size());
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

// Who may take the focus: tab stops by Tab and click, other input controls by click only.
Qt::FocusPolicy FocusPolicyOf(const ControlTemplate& c) {
    if ((c.styles & style::kTabStop) != 0) {
        return Qt::StrongFocus;
    }
    switch (c.kind) {
    case ControlKind::GroupBox:
    case ControlKind::Label:
    case ControlKind::ProgressBar:
        return Qt::NoFocus;
    default:
        return Qt::ClickFocus;
    }
}

} // namespace

BaseUnits DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    return BaseUnitsOf(metrics.horizontalAdvance(
                           QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                       metrics.height());
}

Dialog::Impl::Impl(Dialog& owner_, const DialogTemplate& dialog_template)
    : owner(owner_), tmpl(dialog_template) {}

Dialog::Impl::~Impl() = default;

void Dialog::Impl::Build() {
    window = std::make_unique<DialogWindow>(*this);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(QString::fromUtf8(tmpl.caption));
    const QFont font = DialogFont(tmpl);
    window->setFont(font);
    const BaseUnits units = DialogBaseUnits(font);
    base_size = MapDialogRect(units, 0, 0, tmpl.width, tmpl.height).size();
    window->setFixedSize(base_size);

    controls.clear();
    stretch.clear();
    status = nullptr;
    status_height = 0;
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
        w->setFocusPolicy(FocusPolicyOf(c));
        if ((c.styles & style::kTabStop) != 0) {
            if (previous_stop != nullptr) {
                QWidget::setTabOrder(previous_stop, w);
            }
            previous_stop = w;
        }
        if (c.kind == ControlKind::PushButton || c.kind == ControlKind::PushLikeCheckBox) {
            QObject::connect(static_cast<QAbstractButton*>(w), &QAbstractButton::clicked,
                             window.get(),
                             [this, id = c.id] { CallOnCommand(id, Notification::Clicked); });
        } else if (c.kind == ControlKind::ComboBox) {
            QObject::connect(static_cast<QComboBox*>(w), &QComboBox::activated, window.get(),
                             [this, id = c.id] { CallOnCommand(id, Notification::SelEndOk); });
            if (auto* combo = dynamic_cast<ComboBox*>(w)) {
                combo->SetDropDownHandler(
                    [this, id = c.id] { CallOnCommand(id, Notification::DropDown); });
            }
        } else if (c.kind == ControlKind::Edit) {
            QObject::connect(static_cast<QLineEdit*>(w), &QLineEdit::textChanged, window.get(),
                             [this, id = c.id] { CallOnCommand(id, Notification::Changed); });
        }
        controls.push_back(Control{&c, w, r});
    }
    // A label's access key leads to the control that follows it.
    for (std::size_t i = 0; i + 1 < controls.size(); ++i) {
        if (controls[i].kind() == ControlKind::Label) {
            static_cast<QLabel*>(controls[i].widget)->setBuddy(controls[i + 1].widget);
        }
    }
}

void Dialog::Impl::Initialise() {
    if (owner.OnInitDialog()) {
        const auto first = std::find_if(controls.begin(), controls.end(), [](const Control& c) {
            return (c.tmpl->styles & style::kTabStop) != 0;
        });
        if (first != controls.end()) {
            first->widget->setFocus(Qt::OtherFocusReason);
        }
    }
    // Centred on the screen, as a dialog without a parent is.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void Dialog::Impl::Destroy() {
    controls.clear();
    stretch.clear();
    status = nullptr;
    status_height = 0;
    window.reset();
}

const Control* Dialog::Impl::Find(int id) const {
    if (id == kStaticId) {
        return nullptr;
    }
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [id](const Control& c) { return c.tmpl->id == id; });
    return found != controls.end() ? &*found : nullptr;
}

void Dialog::Impl::Layout(QSize size) {
    const int extra_width = std::max(0, size.width() - base_size.width());
    const int extra_height = std::max(0, size.height() - status_height - base_size.height());
    if (status != nullptr) {
        status->setGeometry(0, size.height() - status_height, size.width(), status_height);
    }
    for (const ControlStretch& s : stretch) {
        if (const Control* c = Find(s.id)) {
            QRect r = c->place;
            r.setWidth(r.width() + (s.width ? extra_width : 0));
            r.setHeight(r.height() + (s.height ? extra_height : 0));
            c->widget->setGeometry(r);
        }
    }
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
    m_impl->Destroy();
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

void Dialog::EnableResizing(std::span<const ControlStretch> stretch) {
    DialogWindow* window = m_impl->window.get();
    if (window == nullptr) {
        return;
    }
    m_impl->stretch.assign(stretch.begin(), stretch.end());
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    window->setMinimumSize(m_impl->base_size + QSize(0, m_impl->status_height));
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (visible) {
        window->show(); // a change of the window's flags hides it
    }
    m_impl->Layout(window->size());
}

MessageAnswer Dialog::MessageBox(std::string_view text, std::string_view caption,
                                 MessageStyle style) const {
    return ShowMessage(m_impl->window.get(), MessageRequest{caption, text, style});
}

std::string Dialog::AskFileName(const FileDialogRequest& request) const {
    return platform::AskFileName(m_impl->window.get(), request);
}

// Toolkit side.

QWidget* DialogWindowOf(const Dialog& dialog) {
    return dialog.impl().window.get();
}

QWidget* ControlWidget(const Dialog& dialog, int id) {
    const Control* c = dialog.impl().Find(id);
    return c != nullptr ? c->widget : nullptr;
}

std::size_t ControlCount(const Dialog& dialog) {
    return dialog.impl().controls.size();
}

QWidget* ControlAt(const Dialog& dialog, std::size_t index) {
    const auto& controls = dialog.impl().controls;
    return index < controls.size() ? controls[index].widget : nullptr;
}

const ControlTemplate* ControlOf(const Dialog& dialog, const QWidget* widget) {
    const auto& controls = dialog.impl().controls;
    for (; widget != nullptr; widget = widget->parentWidget()) {
        for (const Control& c : controls) {
            if (c.widget == widget) {
                return c.tmpl;
            }
        }
    }
    return nullptr;
}

} // namespace platform
