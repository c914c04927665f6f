#pragma once
// The top-level window of a Dialog: forwards what the dialog's program reacts to, and runs the
// dialog modally.

#include "platform/dialog_impl.h"

#include <QWidget>

class QEventLoop;

namespace platform {

class DialogWindow : public QWidget {
public:
    explicit DialogWindow(Dialog::Impl& impl) : m_impl(impl) {}

    // Handles events until End.
    void RunModal();
    // Hides the window and ends RunModal.
    void End();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    Dialog::Impl& m_impl;
    QEventLoop* m_loop = nullptr;
};

} // namespace platform
