#include "render/html_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

HtmlLineSplitter::HtmlLineSplitter(std::string_view body) : m_rest(body) {
    m_open.reserve(8);
    m_at_start.reserve(8);
}

bool HtmlLineSplitter::Next(HtmlLine& line) {
    if (m_rest.empty()) {
        return false;
    }
    const void* lf = std::memchr(m_rest.data(), '\n', m_rest.size());
    std::size_t text_end = m_rest.size();
    std::size_t next = m_rest.size();
    if (lf != nullptr) {
        text_end = std::size_t(static_cast<const char*>(lf) - m_rest.data());
        next = text_end + 1;
        if (text_end > 0 && m_rest[text_end - 1] == '\r') {
            --text_end;
        }
    } else if (!HoldsText(m_rest)) {
        m_rest = {};
        return false;
    }
    line.text = m_rest.substr(0, text_end);
    line.end = m_rest.substr(text_end, next - text_end);
    m_rest.remove_prefix(next);

    if (!m_open.empty() || !m_at_start.empty()) {
        m_at_start = m_open;
    }
    const char* p = line.text.data();
    const char* const end = p + line.text.size();
    while (const void* found = std::memchr(p, '<', std::size_t(end - p))) {
        const char* tag = static_cast<const char*>(found);
        const void* close = std::memchr(tag, '>', std::size_t(end - tag));
        const char* tag_end = close != nullptr ? static_cast<const char*>(close) + 1 : end;
        if (tag + 1 < end && tag[1] == '/') {
            if (!m_open.empty()) {
                m_open.pop_back();
            }
        } else if (tag_end[-1] == '>' && tag_end[-2] != '/') {
            m_open.emplace_back(tag, std::size_t(tag_end - tag));
        }
        p = tag_end;
    }
    return true;
}

void HtmlLineSplitter::AppendReopen(std::string& out) const {
    for (const std::string_view tag : m_at_start) {
        out += tag;
    }
}

void HtmlLineSplitter::AppendClose(std::string& out) const {
    for (auto tag = m_open.rbegin(); tag != m_open.rend(); ++tag) {
        AppendCloseTag(out, *tag);
    }
}

std::size_t HtmlLineSplitter::CountLines(std::string_view body) {
    // Eight bytes at a time: this runs over the whole output before the lines are written.
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr uint64_t kLf = 0x0A0A0A0A0A0A0A0AULL;
    std::size_t breaks = 0;
    std::size_t i = 0;
    for (; i + 8 <= body.size(); i += 8) {
        uint64_t x;
        std::memcpy(&x, body.data() + i, 8);
        const uint64_t y = x ^ kLf;
        // 0x80 in each byte that was a line feed; their number summed by one multiplication,
        // since a popcount instruction cannot be taken for granted.
        const uint64_t found = ~(((y & kLow7) + kLow7) | y | kLow7);
        breaks += std::size_t(((found >> 7) * 0x0101010101010101ULL) >> 56);
    }
    breaks += std::size_t(std::count(body.begin() + std::ptrdiff_t(i), body.end(), '\n'));
    const std::size_t last = body.rfind('\n');
    return breaks + (HoldsText(last == std::string_view::npos ? body : body.substr(last + 1)));
}

bool HtmlLineSplitter::HoldsText(std::string_view piece) {
    bool in_tag = false;
    for (const char c : piece) {
        if (c == '<') {
            in_tag = true;
        } else if (c == '>' && in_tag) {
            in_tag = false;
        } else if (!in_tag) {
            return true;
        }
    }
    return false;
}

void HtmlLineSplitter::AppendCloseTag(std::string& out, std::string_view tag) {
    const std::size_t name_end = tag.find_first_of(" \t\r\n>/", 1);
    out += "</";
    out += tag.substr(1, (name_end == std::string_view::npos ? tag.size() : name_end) - 1);
    out += '>';
}
