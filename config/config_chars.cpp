#include "config/config_chars.h"

#include "base/memory.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr const char* kCommentToEnd = "Comment into the end of file !";

} // namespace

int ConfigCharStream::LoadText(std::FILE* file) {
    if (file == nullptr) {
        return 0;
    }
    m_text.reset();
    m_length = 0;
    m_position = 0;
    m_can_unread = false;
    m_out_of_memory = false;
    m_line_position = 0;
    m_line_number = 1;

    // One pass into a growing buffer: no seek, so pipes work and a file that changes between
    // measuring and reading cannot leave garbage behind.
    constexpr std::size_t kMaxLength = std::numeric_limits<int32_t>::max();
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    std::size_t size = 0;
    for (;;) {
        if (capacity - size < 2) {
            if (capacity > kMaxLength) {
                m_out_of_memory = true;
                return 0;
            }
            const std::size_t grown =
                std::min(std::max<std::size_t>(2 * capacity, 4096), kMaxLength + 2);
            std::unique_ptr<char[]> larger(tarvo::TryAllocateArray<char>(grown));
            if (!larger) {
                m_out_of_memory = true;
                return 0;
            }
            if (size != 0) {
                std::memcpy(larger.get(), buffer.get(), size);
            }
            buffer = std::move(larger);
            capacity = grown;
        }
        const std::size_t got = std::fread(buffer.get() + size, 1, capacity - 1 - size, file);
        if (got == 0) {
            break;
        }
        size += got;
    }
    if (size > kMaxLength) {
        m_out_of_memory = true;
        return 0;
    }
    if (size == 0 || std::ferror(file)) {
        return 0;
    }
    buffer[size] = '\0';
    m_text = std::move(buffer);
    m_length = static_cast<int32_t>(size);
    return 1;
}

int ConfigCharStream::FreeText() {
    const bool had = m_text != nullptr;
    m_text.reset();
    Rewind();
    return had ? 1 : 0;
}

void ConfigCharStream::Rewind() {
    m_position = 0;
    m_can_unread = false;
}

void ConfigCharStream::RestoreState(ReadState state) {
    m_position = state.position;
    m_can_unread = state.can_unread;
}

int ConfigCharStream::ReadChar() {
    m_can_unread = false;
    if (!m_text || m_position >= m_length) {
        return 0;
    }
    const char* text = m_text.get();
    const int c = static_cast<unsigned char>(text[m_position++]);
    if (c != '/' || m_position == m_length) {
        m_can_unread = true;
        return c;
    }
    const std::string_view rest(text + m_position + 1,
                                static_cast<std::size_t>(m_length - m_position - 1));
    if (text[m_position] == '/') {
        const std::size_t line_feed = rest.find('\n');
        if (line_feed == std::string_view::npos) {
            m_position = m_length;
            return 0;
        }
        m_position += static_cast<int32_t>(line_feed) + 2;
        m_can_unread = true;
        return '\n';
    }
    if (text[m_position] == '*') {
        const std::size_t close = rest.find("*/");
        if (close == std::string_view::npos) {
            m_position = m_length;
            RaiseError(kCommentToEnd);
            return 0;
        }
        m_position += static_cast<int32_t>(close) + 3;
        if (m_position == m_length) {
            return 0;
        }
        m_can_unread = true;
        return static_cast<unsigned char>(text[m_position++]);
    }
    m_can_unread = true;
    return '/';
}

void ConfigCharStream::UnreadChar() {
    if (m_can_unread && m_position > 0) {
        --m_position;
    }
    m_can_unread = false;
}

int ConfigCharStream::OnlyBlanksLeft() {
    const ReadState saved = SaveState();
    int c = 0;
    do {
        c = ReadChar();
    } while (IsConfigBlank(c));
    RestoreState(saved);
    return c == 0 ? 1 : 0;
}

int32_t ConfigCharStream::LineNumber() const {
    if (!m_text) {
        return 1;
    }
    const char* text = m_text.get();
    const int32_t target = std::min(m_position, m_length);
    if (target < m_line_position && target < m_line_position - target) {
        m_line_position = 0;
        m_line_number = 1;
    }
    if (target >= m_line_position) {
        m_line_number +=
            static_cast<int32_t>(std::count(text + m_line_position, text + target, '\n'));
    } else {
        m_line_number -=
            static_cast<int32_t>(std::count(text + target, text + m_line_position, '\n'));
    }
    m_line_position = target;
    return m_line_number;
}

void ConfigCharStream::SetError(const char* message, int32_t line) {
    std::size_t length = 0;
    while (message != nullptr && length < sizeof m_error_text - 1 && message[length] != '\0') {
        ++length;
    }
    if (length != 0) {
        std::memmove(m_error_text, message, length);
    }
    char suffix[16];
    const int suffix_length = std::snprintf(suffix, sizeof suffix, " [%d]", static_cast<int>(line));
    if (suffix_length > 0 &&
        length + static_cast<std::size_t>(suffix_length) < sizeof m_error_text) {
        std::memcpy(m_error_text + length, suffix, static_cast<std::size_t>(suffix_length) + 1);
    } else {
        m_error_text[length] = '\0';
    }
}
