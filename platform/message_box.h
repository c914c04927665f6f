#pragma once
// Every message box of the program goes through one handler that can be replaced, so that tests
// see and answer each message without a modal window.

#include <functional>
#include <string_view>

namespace platform {

enum class MessageStyle {
    Stop,        // stop icon, OK button
    Information, // information icon, OK button
    Question,    // question icon, Yes and No buttons
};

enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    std::string_view caption;
    std::string_view text; // UTF-8, CR LF or LF line ends
    MessageStyle style;
};

using MessageHandler = std::function<MessageAnswer(const MessageRequest&)>;

// Installs `handler` for every later message and returns the one it replaces. An empty handler
// brings back the built-in modal message box.
MessageHandler SetMessageHandler(MessageHandler handler);

// Installs a handler for the life of this object, then puts the previous one back.
class ScopedMessageHandler {
public:
    explicit ScopedMessageHandler(MessageHandler handler)
        : m_previous(SetMessageHandler(std::move(handler))) {}
    ~ScopedMessageHandler() { SetMessageHandler(std::move(m_previous)); }
    ScopedMessageHandler(const ScopedMessageHandler&) = delete;
    ScopedMessageHandler& operator=(const ScopedMessageHandler&) = delete;

private:
    MessageHandler m_previous;
};

} // namespace platform
