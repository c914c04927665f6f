#include "convert/line_numbers.h"

#include "base/format.h"
#include "base/memory.h"
#include "convert/html_lines.h"
#include "convert/html_pieces.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>

namespace {

constexpr std::string_view kCssCodeOpen = "<code class=\"cpp_text\">\r\n";
constexpr std::string_view kCssLinesOpen = "<code class=\"cpp_text cpp_lines\">";
constexpr std::string_view kCssNumberOpen = "<span class=\"cpp_line_number\" data-line=\"";
constexpr std::string_view kCssNumberClose = "\"></span>";
constexpr std::string_view kCssMarkOpen = "<span class=\"cpp_marked\">";
constexpr std::string_view kMarkClose = "</span>";

// The limits as the messages name them.
constexpr std::string_view kLineLimits = "(from 0 to 999999999)";
static_assert(kMaxLineNumber == 999999999, "the messages name the last line number");

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

MarkedLinesParse Malformed(std::string* problem, std::string_view item, const char* what) {
    if (problem != nullptr) {
        // Appended piece by piece: GCC 12 warns wrongly about "'" + std::string.
        problem->assign(1, '\'');
        problem->append(item);
        problem->append("' ");
        problem->append(what);
    }
    return MarkedLinesParse::Malformed;
}

MarkedLinesParse Parse(std::string_view text, std::vector<LineRange>& ranges,
                       std::string* problem) {
    ranges.clear();
    if (Trim(text).empty()) {
        return MarkedLinesParse::Ok;
    }
    std::vector<LineRange> found;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        if (item.empty()) {
            return Malformed(problem, text.substr(0, comma), "is an empty entry");
        }
        LineRange range;
        const std::size_t dash = item.find('-');
        const bool ok = dash == std::string_view::npos
                            ? ReadLineNumber(item, range.first)
                            : ReadLineNumber(Trim(item.substr(0, dash)), range.first) &&
                                  ReadLineNumber(Trim(item.substr(dash + 1)), range.last);
        if (!ok) {
            std::string what = "is not a line number ";
            what.append(kLineLimits).append(" or a range such as 3-5");
            return Malformed(problem, item, what.c_str());
        }
        if (dash == std::string_view::npos) {
            range.last = range.first;
        } else if (range.last < range.first) {
            const std::string turned =
                ": write " + std::to_string(range.last) + "-" + std::to_string(range.first);
            return Malformed(problem, item, ("runs backwards" + turned).c_str());
        }
        found.push_back(range);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::sort(found.begin(), found.end(),
              [](const LineRange& a, const LineRange& b) { return a.first < b.first; });
    for (const LineRange& r : found) {
        if (!ranges.empty() && r.first <= ranges.back().last + 1) {
            ranges.back().last = std::max(ranges.back().last, r.last);
        } else {
            ranges.push_back(r);
        }
    }
    return MarkedLinesParse::Ok;
}

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

bool Number(const ProfileSettings& s, bool css, std::string& html) {
    const HtmlPieces pieces = ChoosePieces(s, css);
    const bool table = s.b_use_table != 0;
    const Bounds bounds = BodyBounds(html, table ? 2 : 1, pieces.closing);
    const std::string_view body =
        std::string_view(html).substr(bounds.start, bounds.end - bounds.start);
    const std::size_t count = HtmlLineSplitter::CountLines(body);
    const bool numbers = s.b_line_numbers != 0;

    std::string number_open, number_close, mark_open;
    if (css) {
        number_open = kCssNumberOpen;
        number_close = kCssNumberClose;
        mark_open = kCssMarkOpen;
    } else {
        number_open = tarvo::Format("<font color=\"#%06X\">", unsigned(kLineNumberColor));
        number_close = " </font>";
        mark_open =
            tarvo::Format("<span style=\"background-color:#%06X;display:inline-block;"
                          "min-width:100%%;box-shadow:inset 3px 0 #%06X\">",
                          unsigned(s.n_mark_color), unsigned(MarkEdgeColor(s.n_mark_color)));
    }

    LineNumbering numbering;
    if (!numbering.Start(s, count, number_open, number_close)) {
        return false;
    }
    std::string out;
    const std::size_t per_line =
        (numbers ? numbering.Text().size() : 0) +
        (numbering.AnyMarked() ? mark_open.size() + kMarkClose.size() : 0) + 16;
    if (!tarvo::TryReserve(out, html.size() + count * per_line + 64)) {
        return false;
    }
    tarvo::PreferLargePages(out);
    std::string_view opening = std::string_view(html).substr(0, bounds.start);
    std::string_view closing = std::string_view(html).substr(bounds.end);
    if (css && opening.ends_with(kCssCodeOpen)) {
        // No line break before the first line nor after the last: a browser's text of the
        // result is then the source's lines and nothing else.
        out.append(opening.substr(0, opening.size() - kCssCodeOpen.size()));
        out.append(kCssLinesOpen);
        if (closing.starts_with("\r\n")) {
            closing.remove_prefix(2);
        }
    } else {
        out.append(opening);
    }

    HtmlLineSplitter lines(body);
    for (HtmlLine line; lines.Next(line); numbering.Next()) {
        const bool marked = numbering.Marked();
        if (marked) {
            out += mark_open;
        }
        if (numbers) {
            out += numbering.Text();
        }
        if (!lines.OpenAtStart().empty()) {
            lines.AppendReopen(out);
        }
        out += line.text;
        if (!lines.OpenAtEnd().empty()) {
            lines.AppendClose(out);
        }
        if (marked) {
            out += kMarkClose;
        }
        out += line.end;
    }
    out += closing;
    html.swap(out);
    return true;
}

double Luminance(uint32_t rgb) {
    double sum = 0;
    const double weights[3] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; ++i) {
        const double c = double((rgb >> (16 - 8 * i)) & 0xFF) / 255.0;
        sum += weights[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

} // namespace

bool ReadLineNumber(std::string_view text, int64_t& value) noexcept {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    int64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + (c - '0');
    }
    if (number > kMaxLineNumber) {
        return false;
    }
    value = number;
    return true;
}

std::string NotALineNumber(std::string_view text) {
    std::string message(1, '\'');
    message.append(text);
    message.append("' is not a line number ");
    message.append(kLineLimits);
    return message;
}

MarkedLinesParse ParseMarkedLines(std::string_view text, std::vector<LineRange>& ranges,
                                  std::string* problem) noexcept {
    try {
        return Parse(text, ranges, problem);
    } catch (const std::exception&) {
        ranges.clear();
        return MarkedLinesParse::OutOfMemory;
    }
}

bool LinesWanted(const ProfileSettings& s) noexcept {
    if (s.b_line_numbers != 0) {
        return true;
    }
    std::vector<LineRange> ranges;
    return ParseMarkedLines(s.MarkedLines(), ranges) != MarkedLinesParse::Malformed &&
           Trim(s.MarkedLines()).size() != 0;
}

int64_t FirstLineNumber(const ProfileSettings& s) noexcept {
    return std::clamp<int64_t>(s.n_first_line, 0, kMaxLineNumber);
}

bool NumberLines(const ProfileSettings& settings, bool css, std::string& html) {
    try {
        return Number(settings, css, html);
    } catch (const std::exception&) {
        return false; // only the standard library throws here, when memory runs out
    }
}

std::string_view ConvertedBody(std::string_view html, const ProfileSettings& s, bool css) {
    const HtmlPieces pieces = ChoosePieces(s, css);
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

std::string LineStyleRules(const ProfileSettings& s) {
    return tarvo::Format(".cpp_lines {\r\n"
                         "\tdisplay : inline-block;\r\n"
                         "\tmin-width : 100%%;\r\n"
                         "\tvertical-align : top;\r\n"
                         "}\r\n"
                         ".cpp_line_number {\r\n"
                         "\tdisplay : inline-block;\r\n"
                         "\tcolor : #%06X;\r\n"
                         "\tmargin-right : 1ch;\r\n"
                         "\tuser-select : none;\r\n"
                         "}\r\n"
                         ".cpp_line_number::before {\r\n"
                         "\tcontent : attr(data-line);\r\n"
                         "}\r\n"
                         ".cpp_marked {\r\n"
                         "\tdisplay : inline-block;\r\n"
                         "\tmin-width : 100%%;\r\n"
                         "\tbackground-color : #%06X;\r\n"
                         "\tbox-shadow : inset 3px 0 #%06X;\r\n"
                         "}\r\n"
                         ".cpp_marked::after {\r\n"
                         "\tcontent : \"\\200B\";\r\n"
                         "}\r\n",
                         unsigned(kLineNumberColor), unsigned(s.n_mark_color),
                         unsigned(MarkEdgeColor(s.n_mark_color)));
}

uint32_t MarkEdgeColor(uint32_t mark) noexcept {
    double scale = 1.0;
    uint32_t edge = mark & 0xFFFFFF;
    // 3:1 against white is a luminance of at most 0.3.
    while (Luminance(edge) > 0.3 && scale > 0.0) {
        scale -= 0.02;
        edge = 0;
        for (int shift = 16; shift >= 0; shift -= 8) {
            const double c = double((mark >> shift) & 0xFF) * std::max(scale, 0.0);
            edge |= uint32_t(c + 0.5) << shift;
        }
    }
    return edge;
}

bool LineNumbering::Start(const ProfileSettings& s, std::size_t count, std::string_view before,
                          std::string_view after) noexcept {
    try {
        if (ParseMarkedLines(s.MarkedLines(), m_marks) == MarkedLinesParse::OutOfMemory) {
            return false;
        }
        m_next_mark = 0;
        m_number = FirstLineNumber(s);
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

bool CopyLineSettings(const ProfileSettings& from, ProfileSettings& to) noexcept {
    to.b_line_numbers = from.b_line_numbers;
    to.n_first_line = from.n_first_line;
    to.n_mark_color = from.n_mark_color;
    return to.SetMarkedLines(from.p_s_marked_lines) != 0;
}
