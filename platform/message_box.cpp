#include "platform/message_box.h"

#include "platform/dialog_qt.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>

#include <utility>

namespace platform {

namespace {

// One handler for the process; the program has one thread.
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

MessageAnswer ShowBuiltIn(QWidget* owner, const MessageRequest& request) {
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (request.style) {
    case MessageStyle::Stop:
        break;
    case MessageStyle::Information:
        icon = QMessageBox::Information;
        break;
    case MessageStyle::Question:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    }
    QMessageBox box(icon, FromAppText(request.caption), FromAppText(request.text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    // A message during a long command must not show the busy cursor over its buttons.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    const int answer = box.exec();
    if (busy) {
        QGuiApplication::restoreOverrideCursor();
    }
    switch (answer) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        // Closing a question's box without an answer counts as No.
        return request.style == MessageStyle::Question ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

} // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request) {
    if (Handler()) {
        return Handler()(request);
    }
    return ShowBuiltIn(owner, request);
}

} // namespace platform
