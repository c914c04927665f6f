#pragma once
// The format of the HTML renditions for the span writer: the code between the tags of
// HtmlTags, and, for the converter's own result, the opening piece with what the scan found in it.

#include "lexing/span.h"
#include "render/buffered_text.h"
#include "render/html_pieces.h"

#include <cstddef>
#include <string_view>

class HtmlFormat {
public:
    static constexpr bool kLineEndIsText = true;
    static constexpr bool kEscapedText = true;

    // Writes into `out` with `tags`. With `opening`, the opening piece of `escaped` (its first
    // `source_start` characters) is written too, with the tags of the spans the scan found in it;
    // with `lines_code` as well, its last line ("<code class=\"cpp_text\">" and a line break)
    // becomes kLinesCodeOpen where no tag fell into it, so that the code begins at once.
    HtmlFormat(BufferedText& out, const HtmlTags& tags, std::string_view escaped,
               std::size_t source_start, bool opening, bool lines_code)
        : m_out(out), m_tags(tags), m_text(escaped.data()), m_opening(opening),
          m_hold(lines_code && opening && escaped.substr(0, source_start).ends_with(kCodeOpen)
                     ? source_start - kCodeOpen.size()
                     : source_start),
          m_source_start(source_start) {}

    static constexpr std::string_view kCodeOpen = "<code class=\"cpp_text\">\r\n";
    static constexpr std::string_view kLinesCodeOpen = "<code class=\"cpp_text cpp_lines\">";

    bool Failed() const { return m_out.Failed(); }
    // Whether the opening's last line became kLinesCodeOpen; the closing piece then loses its
    // first line break.
    bool LinesCode() const { return m_lines_code; }

    void Text(const char* data, std::size_t length) { m_out.Append(data, length); }
    void Open(SpanClass c) { m_out.Append(m_tags.open[ClassIndex(c)]); }
    void Close(SpanClass c) { m_out.Append(m_tags.close[ClassIndex(c)]); }

    void LineStart(bool marked, std::string_view number) {
        if (marked) {
            m_out.Append(m_tags.mark_open);
        }
        m_out.Append(number.data(), number.size()); // its tags around it
    }
    std::string_view NumberOpen() const { return m_tags.number_open; }
    std::string_view NumberClose() const { return m_tags.number_close; }
    void LineEnd(bool marked, std::string_view end) {
        if (marked) {
            m_out.Append(m_tags.mark_close);
        }
        m_out.Append(end.data(), end.size());
    }

    void OpeningText(std::size_t from, std::size_t to) {
        if (m_opening && from < m_hold) {
            m_out.Append(m_text + from, std::min(to, m_hold) - from);
        }
    }
    void OpeningTag(SpanClass c, bool open, std::size_t at) {
        if (!m_opening) {
            return;
        }
        if (at > m_hold) {
            // A tag in the last line: it stays as it is.
            m_out.Append(m_text + m_hold, at - m_hold);
            m_hold = m_source_start;
        }
        m_out.Append(open ? m_tags.open[ClassIndex(c)] : m_tags.close[ClassIndex(c)]);
    }
    void BodyStart() {
        if (m_opening && m_hold < m_source_start) {
            m_out.Append(kLinesCodeOpen.data(), kLinesCodeOpen.size());
            m_lines_code = true;
        }
    }
    void ForeignClose(SpanClass c) {
        if (m_opening) {
            Close(c);
        }
    }

private:
    BufferedText& m_out;
    const HtmlTags& m_tags;
    const char* m_text;
    bool m_opening;
    std::size_t m_hold; // the opening from here on waits to be written
    std::size_t m_source_start;
    bool m_lines_code = false;
};
