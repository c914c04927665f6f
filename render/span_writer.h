#pragma once
// The sink that every rendition is: it takes the spans of a scan in order, hands the text
// between them to a format, and keeps the classes open across line ends. With lines split (line
// numbers, marked lines, or a format whose spans cannot cross a line end) every span still open at
// a line's end is closed there and opened again at the next line's first character or span, so
// that each line stands on its own; a span that closes before anything of the new line comes is
// not opened again.
//
// A format provides:
//   bool Failed() const;
//   void Text(const char* data, std::size_t length);   // characters of the code
//   void Open(SpanClass c); void Close(SpanClass c);    // a span's start and end in the code
//   void LineStart(bool marked, std::string_view number); // split lines: before a line, with
//                                                         // its number's text (empty: none)
//   std::string_view NumberOpen(), NumberClose(); // what that text has around the number
//   void LineEnd(bool marked, std::string_view end);    // after it: "\r\n", "\n" or "" (last)
//   void OpeningText(std::size_t from, std::size_t to); // the opening piece, escaped positions
//   void OpeningTag(SpanClass c, bool open, std::size_t at); // a span's tag inside it
//   void BodyStart();                                   // the source begins
//   void ForeignClose(SpanClass c); // closes a span that opened inside the opening piece
//   static constexpr bool kEscapedText; // Text gets the escaped text, else the source's
//   static constexpr bool kLineEndIsText; // LineEnd of an unmarked line writes its end as Text
// The opening piece and what lies in it are the HTML writer's alone; other formats ignore them.

#include "lexing/escape_pass.h"
#include "lexing/span.h"
#include "render/byte_runs.h"
#include "render/line_numbers.h"

#include <cstddef>
#include <cstring>
#include <string_view>

template <class Format>
class SpanWriter {
public:
    // `escaped` is the scanned text, its source from `source_start` on; `source` maps it back
    // for formats that take the source's characters (null for those that take the escaped
    // text). With `numbering` lines are split and numbered or marked as it says; `split` alone
    // splits them without either.
    SpanWriter(Format& format, std::string_view escaped, std::size_t source_start,
               EscapedSource* source, LineNumbering* numbering, bool split, bool numbers)
        : m_format(format), m_text(escaped.data()), m_length(escaped.size()),
          m_source_start(source_start), m_source(source), m_numbering(numbering),
          m_split(split || numbering != nullptr), m_numbers(numbers) {}

    bool Failed() const { return m_format.Failed(); }

    // The hot paths, inlined into the scan: code without split lines, after the opening piece.
    void Open(SpanClass c, std::size_t at) {
        if (m_plain) [[likely]] {
            Plain(at);
            if (m_depth < kMaxDepth) {
                m_stack[m_depth++] = c;
            }
            m_written = m_depth;
            m_format.Open(c);
            return;
        }
        OpenElsewhere(c, at);
    }

    void Close(SpanClass c, std::size_t at) {
        if (m_plain && m_depth > 0) [[likely]] {
            Plain(at);
            // The span opened last closes first: the classic scan's rare overlap then closes
            // in order.
            m_written = --m_depth;
            m_format.Close(m_stack[m_depth]);
            return;
        }
        CloseElsewhere(c, at);
    }

    // After the scan, which closed its spans at `length`, the end of the text.
    void Finish(std::size_t length) {
        StartBody();
        Flush(length);
        if (m_split && m_line_open) {
            for (std::size_t i = m_written; i-- > 0;) {
                m_format.Close(m_stack[i]);
            }
            m_written = 0;
            m_format.LineEnd(m_marked, {});
            m_line_open = false;
        }
    }

private:
    static constexpr std::size_t kMaxDepth = 4;

    void Plain(std::size_t to) {
        if (m_copied < to) {
            Chars(m_copied, to);
            m_copied = to;
        }
    }

    [[gnu::noinline]] void OpenElsewhere(SpanClass c, std::size_t at) {
        if (at < m_source_start) {
            Opening(at);
            m_format.OpeningTag(c, true, at);
            ++m_foreign;
            return;
        }
        Flush(at);
        if (m_split) {
            StartLine();
            Materialize();
        }
        if (m_depth < kMaxDepth) {
            m_stack[m_depth++] = c;
        }
        m_written = m_depth;
        m_format.Open(c);
    }

    [[gnu::noinline]] void CloseElsewhere(SpanClass c, std::size_t at) {
        if (at < m_source_start) {
            Opening(at);
            m_format.OpeningTag(c, false, at);
            --m_foreign;
            return;
        }
        Flush(at);
        if (m_foreign > 0) {
            // Opened in the opening piece: not the code's, closed where the scan closes it, as
            // part of the text of its line (with lines split, of the next line that has any).
            --m_foreign;
            m_plain = !m_split && m_foreign == 0;
            if (!m_split || m_line_open) {
                m_format.ForeignClose(c);
            } else {
                m_foreign_pending = true;
                m_foreign_class = c;
            }
            return;
        }
        if (m_depth == 0) {
            return;
        }
        const SpanClass top = m_stack[--m_depth];
        if (m_written > m_depth) {
            m_written = m_depth;
            m_format.Close(top);
        }
    }

    // The opening piece up to `at`.
    void Opening(std::size_t at) {
        m_format.OpeningText(m_copied, at);
        m_copied = at;
    }

    void StartBody() {
        if (!m_body) {
            m_body = true;
            Opening(m_source_start);
            m_format.BodyStart();
            m_plain = !m_split && m_foreign == 0;
        }
    }

    // The text up to `to`, line by line when lines are split.
    void Flush(std::size_t to) {
        if (m_copied >= to) {
            return;
        }
        StartBody();
        if (m_copied >= to) {
            return;
        }
        if (!m_split) {
            Chars(m_copied, to);
            m_copied = to;
            return;
        }
        while (m_copied < to) {
            if (m_next_lf < m_copied) {
                // Sought once for each line, not for each span.
                m_next_lf = FindLineFeed(m_text, m_copied, m_length);
            }
            if (m_next_lf >= to) {
                LineChars(m_copied, to);
                m_copied = to;
                return;
            }
            const std::size_t lf = m_next_lf;
            // A CR right before the line feed, with no span's end or start between them, is
            // part of the line end.
            const bool cr = lf > m_copied && m_text[lf - 1] == '\r';
            if constexpr (Format::kLineEndIsText) {
                StartLine();
                if (m_numbering == nullptr && m_depth == 0 && !m_foreign_pending) {
                    // Lines split only to stand on their own, and nothing open: every whole line
                    // up to `to` in one piece, their ends as the text has them.
                    const auto* last =
                        static_cast<const char*>(::memrchr(m_text + lf, '\n', to - lf));
                    const std::size_t end = std::size_t(last - m_text) + 1;
                    Chars(m_copied, end);
                    NextLine();
                    m_copied = end;
                    continue;
                }
                if (m_depth == 0 && !m_marked && !m_foreign_pending) {
                    // Nothing to close: the line and its end in one piece, as the text has them.
                    Chars(m_copied, lf + 1);
                    NextLine();
                    m_copied = lf + 1;
                    continue;
                }
            }
            LineChars(m_copied, cr ? lf - 1 : lf);
            EndLine(cr ? "\r\n" : "\n");
            m_copied = lf + 1;
            if (m_source != nullptr) {
                m_source->Take(m_copied, [](const char*, std::size_t) {}); // the line end, written
            }
        }
    }

    void Chars(std::size_t from, std::size_t to) {
        if (m_source == nullptr) {
            m_format.Text(m_text + from, to - from);
        } else {
            SourceChars(to);
        }
    }
    void SourceChars(std::size_t to) {
        m_source->Take(
            to, [this](const char* data, std::size_t length) { m_format.Text(data, length); });
    }

    void LineChars(std::size_t from, std::size_t to) {
        if (from == to) {
            return;
        }
        StartLine();
        Materialize();
        Chars(from, to);
    }

    void StartLine() {
        if (!m_line_open) {
            m_line_open = true;
            m_marked = m_numbering != nullptr && m_numbering->Marked();
            m_format.LineStart(m_marked, m_numbers ? std::string_view(m_numbering->Text())
                                                   : std::string_view());
        }
    }

    // The spans still open from the lines before, opened again on this line.
    void Materialize() {
        for (; m_written < m_depth; ++m_written) {
            m_format.Open(m_stack[m_written]);
        }
        if (m_foreign_pending) {
            m_foreign_pending = false;
            m_format.ForeignClose(m_foreign_class);
        }
    }

    void EndLine(std::string_view end) {
        StartLine();
        for (std::size_t i = m_written; i-- > 0;) {
            m_format.Close(m_stack[i]);
        }
        m_written = 0;
        m_format.LineEnd(m_marked, end);
        NextLine();
    }

    void NextLine() {
        if (m_numbering != nullptr) {
            m_numbering->Next();
        }
        m_line_open = false;
    }

    Format& m_format;
    const char* m_text;
    std::size_t m_length;
    std::size_t m_next_lf = 0; // the next line feed from m_copied on, when not below it
    std::size_t m_source_start;
    EscapedSource* m_source;
    LineNumbering* m_numbering;
    bool m_split;
    bool m_numbers;
    std::size_t m_copied = 0;
    bool m_body = false;            // the source has begun
    bool m_plain = false;           // in the source, lines not split, no span from the opening open
    int m_foreign = 0;              // spans opened in the opening piece and not closed yet
    bool m_foreign_pending = false; // the close of one waits for its line to begin
    SpanClass m_foreign_class = SpanClass::Text;
    SpanClass m_stack[kMaxDepth] = {};
    std::size_t m_depth = 0;   // open spans
    std::size_t m_written = 0; // of those, how many are open in the output's current line
    bool m_line_open = false;  // the current line has begun in the output
    bool m_marked = false;
};
