#include "text/line_ends.h"

#include <cstring>

void CrLfAppender::Append(std::string_view piece) {
    if (piece.empty()) {
        return;
    }
    std::size_t i = 0;
    if (m_cr_pending) {
        m_out += "\r\n";
        i = piece[0] == '\n' ? 1 : 0;
        m_cr_pending = false;
    }
    const char* const data = piece.data();
    const std::size_t n = piece.size();
    if (std::memchr(data + i, '\r', n - i) == nullptr) {
        // LF only, as most files are: from one LF to the next.
        while (i < n) {
            const auto* lf = static_cast<const char*>(std::memchr(data + i, '\n', n - i));
            const std::size_t end = lf == nullptr ? n : std::size_t(lf - data);
            m_out.append(data + i, end - i);
            if (lf == nullptr) {
                break;
            }
            m_out += "\r\n";
            i = end + 1;
        }
        return;
    }
    for (; i < n; ++i) {
        const char c = data[i];
        if (c == '\n') {
            m_out += "\r\n";
        } else if (c != '\r') {
            m_out += c;
        } else if (i + 1 == n) {
            m_cr_pending = true;
        } else {
            m_out += "\r\n";
            i += data[i + 1] == '\n' ? 1 : 0;
        }
    }
}

void CrLfAppender::Finish() {
    if (m_cr_pending) {
        m_out += "\r\n";
        m_cr_pending = false;
    }
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 16);
    CrLfAppender appender(out);
    appender.Append(text);
    appender.Finish();
    return out;
}

std::size_t ToLfInPlace(char* data, std::size_t size) noexcept {
    const char* const end = data + size;
    const char* from = static_cast<const char*>(std::memchr(data, '\r', size));
    if (from == nullptr) {
        return size;
    }
    char* to = data + (from - data);
    // From each CR to the next: the text between moves down as it is; the CR of a CR LF is left.
    while (from != end) {
        const auto* cr =
            static_cast<const char*>(std::memchr(from + 1, '\r', std::size_t(end - from - 1)));
        if (cr == nullptr) {
            cr = end;
        }
        const char* keep = from + 1 != end && from[1] == '\n' ? from + 1 : from;
        std::memmove(to, keep, std::size_t(cr - keep));
        to += cr - keep;
        from = cr;
    }
    return std::size_t(to - data);
}

void ToLf(std::string& text) {
    text.resize(ToLfInPlace(text.data(), text.size()));
}

std::size_t CountLines(std::string_view text) noexcept {
    // From one line feed to the next: the library's memchr reads many bytes at a time.
    std::size_t lines = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (const void* lf = std::memchr(p, '\n', std::size_t(end - p))) {
        ++lines;
        p = static_cast<const char*>(lf) + 1;
    }
    return lines + (p != end ? 1 : 0);
}
