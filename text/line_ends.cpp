#include "text/line_ends.h"

#include <algorithm>
#include <cstdint>
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
    // Eight bytes at a time: this runs over the whole text before its lines are written.
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr uint64_t kLf = 0x0A0A0A0A0A0A0A0AULL;
    std::size_t breaks = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t x;
        std::memcpy(&x, text.data() + i, 8);
        const uint64_t y = x ^ kLf;
        // 0x80 in each byte that was a line feed; their number summed by one multiplication,
        // since a popcount instruction cannot be taken for granted.
        const uint64_t found = ~(((y & kLow7) + kLow7) | y | kLow7);
        breaks += std::size_t(((found >> 7) * 0x0101010101010101ULL) >> 56);
    }
    breaks += std::size_t(std::count(text.begin() + std::ptrdiff_t(i), text.end(), '\n'));
    return breaks + (!text.empty() && text.back() != '\n' ? 1 : 0);
}
