#include "render/line_numbers.h"

#include "base/format.h"
#include "base/memory.h"
#include "render/html_pieces.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>

namespace {

constexpr std::string_view kCssLinesOpen = "<code class=\"cpp_text cpp_lines\">";

std::size_t Digits(int64_t n) {
    std::size_t d = 1;
    for (; n >= 10; n /= 10) {
        ++d;
    }
    return d;
}

struct Bounds {
    std::size_t start = 0;
    std::size_t end = 0;
};

// Where the body lies in the converter's result: after the opening piece, which ends with its
// first line end (its second with the table; keyword tags that a keyword list may have put into
// it never hold one), and before the closing piece.
Bounds BodyBounds(std::string_view html, std::size_t opening_lines, std::string_view closing) {
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

} // namespace

std::string_view ConvertedBody(std::string_view html, const ProfileSettings& s, bool css) {
    StyleRecord style;
    BuildStyle(s, style);
    const HtmlPieces pieces = ChoosePieces(style, css);
    const bool table = s.b_use_table != 0;
    // The CSS opening piece loses its last line break only where keywords left it whole.
    const std::size_t open = css && LinesWanted(s) ? html.find(kCssLinesOpen) : html.npos;
    if (open == std::string_view::npos) {
        const Bounds b = BodyBounds(html, table ? 2 : 1, pieces.closing);
        return html.substr(b.start, b.end - b.start);
    }
    const std::size_t start = open + kCssLinesOpen.size();
    const std::string_view closing = std::string_view(pieces.closing).substr(2);
    const std::size_t end = html.ends_with(closing) && html.size() - closing.size() >= start
                                ? html.size() - closing.size()
                                : html.size();
    return html.substr(start, end - start);
}

bool LineNumbering::Start(const StyleRecord& style, std::size_t count, std::string_view before,
                          std::string_view after) noexcept {
    try {
        m_marks = style.marks;
        m_next_mark = 0;
        m_number = style.first_line;
        const int64_t last = m_number + std::max<int64_t>(int64_t(count) - 1, 0);
        m_width = Digits(last);
        char digits[24];
        const int n =
            std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(m_number));
        m_text.assign(before);
        m_digits = m_text.size();
        m_text.append(m_width - std::size_t(n), ' ');
        m_text.append(digits, std::size_t(n));
        m_text.append(after);
        return true;
    } catch (const std::exception&) {
        return false; // bad_alloc
    }
}

bool LineNumbering::Start(const ProfileSettings& s, std::size_t count, std::string_view before,
                          std::string_view after) noexcept {
    StyleRecord style;
    return BuildStyle(s, style) != 0 && Start(style, count, before, after);
}

bool LineNumbering::Marked() noexcept {
    while (m_next_mark < m_marks.size() && m_marks[m_next_mark].last < m_number) {
        ++m_next_mark;
    }
    return m_next_mark < m_marks.size() && m_marks[m_next_mark].first <= m_number;
}

void LineNumbering::Next() noexcept {
    ++m_number;
    for (std::size_t i = m_digits + m_width; i-- > m_digits;) {
        if (m_text[i] == ' ') {
            m_text[i] = '1';
            return;
        }
        if (m_text[i] != '9') {
            ++m_text[i];
            return;
        }
        m_text[i] = '0';
    }
}
