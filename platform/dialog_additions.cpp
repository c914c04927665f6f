// What a Dialog has beyond its template: the program's entries in the edit boxes' context
// menus, and a status line along the window's bottom.

#include "platform/dialog.h"

#include "platform/dialog_impl.h"
#include "platform/dialog_window.h"
#include "platform/edit_box.h"
#include "platform/text_box.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QStatusBar>

namespace platform {

namespace {

// The actions of `items`, owned by `window`; shortcuts work anywhere in it.
QList<QAction*> MenuActions(std::span<const MenuItemTemplate> items, QWidget* window,
                            Dialog::Impl& impl) {
    QList<QAction*> actions;
    for (const MenuItemTemplate& item : items) {
        const QString caption = QString::fromUtf8(item.caption);
        if (!item.submenu.empty()) {
            auto* submenu = new QMenu(caption, window);
            submenu->addActions(MenuActions(item.submenu, window, impl));
            actions.append(submenu->menuAction());
            continue;
        }
        auto* action = new QAction(caption, window);
        if (item.shortcut != nullptr && *item.shortcut != '\0') {
            action->setShortcut(
                QKeySequence(QString::fromUtf8(item.shortcut), QKeySequence::PortableText));
            action->setShortcutContext(Qt::WindowShortcut);
            action->setShortcutVisibleInContextMenu(true);
            window->addAction(action);
        }
        QObject::connect(action, &QAction::triggered, window,
                         [&impl, id = item.id] { impl.CallOnCommand(id, Notification::Menu); });
        actions.append(action);
    }
    return actions;
}

} // namespace

bool Dialog::AddContextMenu(int id, std::span<const MenuItemTemplate> items) {
    const Control* c = m_impl->Find(id);
    if (TextBox* box = AsTextBox(c)) {
        box->AddMenuActions(MenuActions(items, m_impl->window.get(), *m_impl));
        return true;
    }
    if (EditBox* box = AsEditBox(c)) {
        box->AddMenuActions(MenuActions(items, m_impl->window.get(), *m_impl));
        return true;
    }
    return false;
}

void Dialog::EnableStatusLine() {
    DialogWindow* window = m_impl->window.get();
    if (window == nullptr || m_impl->status != nullptr) {
        return;
    }
    auto* status = new QStatusBar(window);
    // Room for one line of the dialog's font; the template's controls keep their places above.
    const int height = status->sizeHint().height();
    m_impl->status = status;
    m_impl->status_height = height;
    const QSize grown = window->size() + QSize(0, height);
    if (window->minimumSize() == window->maximumSize()) {
        window->setFixedSize(grown);
    } else {
        window->setMinimumSize(window->minimumSize() + QSize(0, height));
        window->resize(grown);
    }
    m_impl->Layout(window->size());
    status->show();
}

void Dialog::ShowStatus(std::string_view text, int milliseconds) {
    if (QStatusBar* status = m_impl->status) {
        status->showMessage(QString::fromUtf8(text.data(), qsizetype(text.size())), milliseconds);
    }
}

} // namespace platform
