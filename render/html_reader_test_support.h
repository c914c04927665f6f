#pragma once
// For the tests: the converter's HTML read back, line by line and between its pieces. The program
// itself never reads HTML; the tests check what it wrote.

#include "render/html_pieces.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// One line of converted text.
struct HtmlLine {
    std::string_view text; // the line's characters and tags, without its line end
    std::string_view end;  // "\r\n", "\n", or empty for a last line that has none
};

// Splits the converter's text between its opening and closing piece (where every "<" opens a
// tag, since the source's own are escaped) at each line feed; a carriage return right before the
// line feed belongs to the line end. The piece after the last line feed is a line when it holds
// text; tags alone there (the close tags that end the conversion) make no line.
class HtmlLineSplitter {
public:
    explicit HtmlLineSplitter(std::string_view body);

    // The next line, false when none is left. Reserves nothing after the first lines: the tag
    // lists keep their room.
    bool Next(HtmlLine& line);

    // The tags open where the current line starts, outermost first: append them before its text.
    void AppendReopen(std::string& out) const;
    // The close tags of the tags still open at the current line's end, innermost first: append
    // them after its text.
    void AppendClose(std::string& out) const;

    // The open tags at the current line's start and end, each as its whole open tag.
    const std::vector<std::string_view>& OpenAtStart() const { return m_at_start; }
    const std::vector<std::string_view>& OpenAtEnd() const { return m_open; }

    // How many lines `body` makes, by the rule above.
    static std::size_t CountLines(std::string_view body);
    // Whether `piece` holds anything outside tags.
    static bool HoldsText(std::string_view piece);
    // The close tag for the open tag `tag` ("<code class=...>" gives "</code>").
    static void AppendCloseTag(std::string& out, std::string_view tag);

private:
    std::string_view m_rest;
    std::vector<std::string_view> m_open;     // open tags after the text read so far
    std::vector<std::string_view> m_at_start; // open tags at the current line's start
};

inline HtmlLineSplitter::HtmlLineSplitter(std::string_view body) : m_rest(body) {
    m_open.reserve(8);
    m_at_start.reserve(8);
}

inline bool HtmlLineSplitter::Next(HtmlLine& line) {
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

inline void HtmlLineSplitter::AppendReopen(std::string& out) const {
    for (const std::string_view tag : m_at_start) {
        out += tag;
    }
}

inline void HtmlLineSplitter::AppendClose(std::string& out) const {
    for (auto tag = m_open.rbegin(); tag != m_open.rend(); ++tag) {
        AppendCloseTag(out, *tag);
    }
}

inline std::size_t HtmlLineSplitter::CountLines(std::string_view body) {
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

inline bool HtmlLineSplitter::HoldsText(std::string_view piece) {
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

inline void HtmlLineSplitter::AppendCloseTag(std::string& out, std::string_view tag) {
    const std::size_t name_end = tag.find_first_of(" \t\r\n>/", 1);
    out += "</";
    out += tag.substr(1, (name_end == std::string_view::npos ? tag.size() : name_end) - 1);
    out += '>';
}

struct Bounds {
    std::size_t start = 0;
    std::size_t end = 0;
};

// Where the body lies in the converter's result: after the opening piece, which ends with its
// first line end (its second with the table; keyword tags that a keyword list may have put into
// it never hold one), and before the closing piece.
inline Bounds BodyBounds(std::string_view html, std::size_t opening_lines,
                         std::string_view closing) {
    Bounds b;
    for (std::size_t line = 0; line < opening_lines; ++line) {
        const std::size_t lf = html.find('\n', b.start);
        if (lf == std::string_view::npos) {
            return {0, html.size()};
        }
        b.start = lf + 1;
    }
    b.end = html.ends_with(closing) && html.size() - closing.size() >= b.start
                ? html.size() - closing.size()
                : html.size();
    return b;
}

// The part of ConvertSource's result `html` between its opening and closing piece, for either
// form (with or without numbers and marks).
inline std::string_view ConvertedBody(std::string_view html, const ProfileSettings& s, bool css) {
    StyleRecord style;
    BuildStyle(s, style);
    const HtmlPieces pieces = ChoosePieces(style, css);
    const bool table = s.b_use_table != 0;
    // The CSS opening piece loses its last line break only where keywords left it whole.
    const std::size_t open =
        css && LinesWanted(s) ? html.find(std::string_view("<code class=\"cpp_text cpp_lines\">"))
                              : html.npos;
    if (open == std::string_view::npos) {
        const Bounds b = BodyBounds(html, table ? 2 : 1, pieces.closing);
        return html.substr(b.start, b.end - b.start);
    }
    const std::size_t start = open + std::string_view("<code class=\"cpp_text cpp_lines\">").size();
    const std::string_view closing = std::string_view(pieces.closing).substr(2);
    const std::size_t end = html.ends_with(closing) && html.size() - closing.size() >= start
                                ? html.size() - closing.size()
                                : html.size();
    return html.substr(start, end - start);
}
