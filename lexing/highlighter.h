#pragma once
// The classic scan of a conversion: strings, comments and keywords found in the escaped text, as
// the converter has always found them, and told to a sink as spans.

#include "lexing/cpp_chars.h"
#include "lexing/cpp_lexing.h"
#include "lexing/keyword_index.h"
#include "lexing/pass_output.h"
#include "lexing/span.h"

#include <cstddef>
#include <cstring>
#include <string_view>

namespace names {
class NameMarker;
class MarksAhead;
} // namespace names

// What both scans are given besides the text: the keywords, and where the escaped source begins
// after the opening piece.
struct ScanSetup {
    const KeywordIndex& keywords;
    std::size_t source_start;
    ClassSet classes; // the classes to mark; the classic scan marks keywords and comments only
    // What the words name, for the name classes; null when none of them is marked.
    names::NameMarker* names = nullptr;
    // Or the same marks from a thread of their own.
    names::MarksAhead* names_ahead = nullptr;
};

namespace scan_detail {

// The scan for strings, comments and keywords. It only decides where spans begin and end; the
// sink writes the text.
template <SpanSink Sink>
class Highlighter {
public:
    Highlighter(std::string_view text, const ScanSetup& setup, Sink& sink, const Progress& progress)
        : m_text(text.data()), m_length(text.size()), m_keywords(setup.keywords),
          m_source_start(setup.source_start), m_sink(sink), m_progress(progress) {
        const KeywordIndex& keywords = setup.keywords;
        for (int c = 0; c < 256; ++c) {
            const auto b = static_cast<unsigned char>(c);
            m_class[b] = (KeywordIndex::IsBoundary(b) ? kBoundaryBit : 0) |
                         (keywords.StartsAny(b) ? kKeywordBit : 0) |
                         (c == '"' || c == '/' || c == '*' ? kEventBit : 0);
        }
    }

    bool Run() {
        std::size_t p = 0;
        while (p < m_length) {
            std::size_t next = p;
            if (!m_comment_close_pending && !m_keyword_open) {
                next = m_in_string  ? SkipString(p)
                       : m_in_line  ? SkipLine(p)
                       : m_in_block ? SkipBlock(p)
                                    : SkipCode(p);
            }
            if (next != p) {
                m_progress.Range(p, next);
                p = next;
                if (p == m_length) {
                    break;
                }
            }
            m_progress.At(p);
            Step(p);
            if (m_sink.Failed()) {
                return false;
            }
        }
        if (m_comment_close_pending || m_in_line || m_in_block) {
            m_sink.Close(SpanClass::Comment, m_length);
        }
        if (m_keyword_open) {
            m_sink.Close(SpanClass::Keyword, m_length);
        }
        return !m_sink.Failed();
    }

private:
    static constexpr unsigned char kBoundaryBit = 1;
    static constexpr unsigned char kKeywordBit = 2;
    static constexpr unsigned char kEventBit = 4;

    // Whether the line feed at p continues its line (cpp_chars.h).
    bool LineContinues(std::size_t p) const { return ::LineContinues(m_text, p); }

    // Where the raw string whose opening quote is at p ends (just past its closing quote, or the
    // end of the text when it is never closed), or 0 when no raw string starts there: the quote
    // must follow R, u8R, uR, UR or LR standing alone, and a valid delimiter and "(" follow it.
    // The text is escaped: an entity of the delimiter counts as the one character it stands
    // for, and is matched in its escaped form, which is the same for every occurrence. Tabs are
    // replaced too: with a tab size of 0 a tab of the delimiter is gone, as between keywords.
    // The prefix has passed as code by the time its quote is seen; no tag can fall inside it,
    // since a keyword must be followed by a boundary, and the quote is none.
    std::size_t RawStringEnd(std::size_t p) const {
        if (p == 0 || m_text[p - 1] != 'R') {
            return 0;
        }
        std::size_t word = p - 1; // start of the prefix
        if (word >= 1 &&
            (m_text[word - 1] == 'u' || m_text[word - 1] == 'U' || m_text[word - 1] == 'L')) {
            word -= 1;
        } else if (word >= 2 && m_text[word - 1] == '8' && m_text[word - 2] == 'u') {
            word -= 2;
        }
        // A raw string's R and prefix must stand alone as an identifier's word, so FOOR"x" and
        // 1R"x" keep their ordinary strings. This is not the keyword rule's boundary test, which
        // would miss x=R"(...)": the = before the R is no boundary, yet ends the word before it.
        // The escaped text needs no care here: "&lt;R" has the ";" of the entity before the R.
        if (word > 0 && IsIdentifierChar(static_cast<unsigned char>(m_text[word - 1]))) {
            return 0;
        }
        return RawStringBodyEnd(m_text, m_length, p);
    }

    bool PrecededByBoundary(std::size_t p) const {
        return p == 0 || (m_class[static_cast<unsigned char>(m_text[p - 1])] & kBoundaryBit) != 0;
    }

    // Whether the double quote at p opens or closes a string: not after an odd number of
    // backslashes, and outside strings not as the character constant '"'.
    bool QuoteCounts(std::size_t p) const {
        std::size_t k = p;
        while (k > 0 && m_text[k - 1] == '\\') {
            --k;
        }
        if ((p - k) % 2 != 0) {
            return false;
        }
        return m_in_string ||
               !(p > 0 && m_text[p - 1] == '\'' && p + 1 < m_length && m_text[p + 1] == '\'');
    }

    // One position of the scan, with every rule; moves p past what it handled.
    void Step(std::size_t& p) {
        const char ch = m_text[p];
        const bool more = p + 1 < m_length;
        if (!m_in_line && !m_in_block) {
            if (ch == '"' && QuoteCounts(p)) {
                const std::size_t raw_end = m_in_string ? 0 : RawStringEnd(p);
                if (raw_end != 0) {
                    // The quote closes what is pending, as any character but white space
                    // does; the raw string is then copied whole.
                    if (m_comment_close_pending) {
                        m_sink.Close(SpanClass::Comment, p);
                        m_comment_close_pending = false;
                    }
                    if (m_keyword_open) {
                        m_sink.Close(SpanClass::Keyword, p);
                        m_keyword_open = false;
                    }
                    m_progress.Range(p + 1, raw_end);
                    p = raw_end;
                    return;
                }
                m_in_string = !m_in_string;
            } else if (ch == '\n' && m_in_string && !LineContinues(p)) {
                // A string cannot run on past the end of its line.
                m_in_string = false;
            }
        }
        if (m_comment_close_pending && !IsWhite(ch)) {
            m_sink.Close(SpanClass::Comment, p);
            m_comment_close_pending = false;
        }
        if (m_keyword_open && !IsWhite(ch)) {
            m_sink.Close(SpanClass::Keyword, p);
            m_keyword_open = false;
        }
        if (!m_in_string && !m_in_block && !m_in_line && ch == '/' && more &&
            m_text[p + 1] == '/') {
            m_sink.Open(SpanClass::Comment, p);
            m_in_line = true;
            m_comment_close_pending = false;
        }
        if (m_in_line && ch == '\n') {
            m_in_line = false;
            m_comment_close_pending = true;
        }
        if (m_in_string || m_in_line) {
            ++p;
            return;
        }
        if (ch == '/' && more && m_text[p + 1] == '*' && !m_in_block) {
            m_sink.Open(SpanClass::Comment, p);
            m_in_block = true;
            m_comment_close_pending = false;
        }
        if (ch == '*' && more && m_text[p + 1] == '/') {
            // Outside a comment a stray "*/" is copied and passed over the same way.
            m_comment_close_pending = m_in_block;
            m_in_block = false;
            p += 2;
            return;
        }
        if (m_in_block || !PrecededByBoundary(p)) {
            ++p;
            return;
        }
        const std::size_t n = m_keywords.Match(m_text, m_length, p, m_source_start);
        if (n == 0) {
            ++p;
            return;
        }
        if (!m_keyword_open) {
            m_sink.Open(SpanClass::Keyword, p);
        }
        m_keyword_open = true;
        p += n;
    }

    // The Skip functions find the next position at which Step would do more than copy the
    // character; they run only while no close tag is pending.
    std::size_t SkipString(std::size_t p) const {
        for (;;) {
            const void* q = std::memchr(m_text + p, '"', m_length - p);
            const std::size_t quote = q == nullptr ? m_length : Index(q);
            // Only the part before the quote is searched for line ends, so that a string of
            // many continued lines is still read once.
            while (const void* n = std::memchr(m_text + p, '\n', quote - p)) {
                p = Index(n);
                if (!LineContinues(p)) {
                    return p;
                }
                ++p;
            }
            if (quote == m_length || QuoteCounts(quote)) {
                return quote;
            }
            p = quote + 1;
        }
    }
    std::size_t Index(const void* q) const {
        return std::size_t(static_cast<const char*>(q) - m_text);
    }
    std::size_t SkipLine(std::size_t p) const {
        const void* q = std::memchr(m_text + p, '\n', m_length - p);
        return q == nullptr ? m_length : std::size_t(static_cast<const char*>(q) - m_text);
    }
    std::size_t SkipBlock(std::size_t p) const {
        for (;;) {
            const void* q = std::memchr(m_text + p, '*', m_length - p);
            if (q == nullptr) {
                return m_length;
            }
            p = std::size_t(static_cast<const char*>(q) - m_text);
            if (p + 1 < m_length && m_text[p + 1] == '/') {
                return p;
            }
            ++p;
        }
    }
    std::size_t SkipCode(std::size_t p) const {
        const auto* text = reinterpret_cast<const unsigned char*>(m_text);
        bool after_boundary = PrecededByBoundary(p);
        while (p < m_length) {
            if (!after_boundary) {
                // Inside a word no keyword can begin: run on to the next boundary or event.
                while (p < m_length && (m_class[text[p]] & (kEventBit | kBoundaryBit)) == 0) {
                    ++p;
                }
                if (p == m_length) {
                    break;
                }
            }
            const unsigned char k = m_class[text[p]];
            if ((k & kEventBit) != 0 || ((k & kKeywordBit) != 0 && after_boundary)) {
                break;
            }
            after_boundary = (k & kBoundaryBit) != 0;
            ++p;
        }
        return p;
    }

    const char* m_text;
    std::size_t m_length;
    const KeywordIndex& m_keywords;
    std::size_t m_source_start;
    Sink& m_sink;
    const Progress& m_progress;
    unsigned char m_class[256];
    bool m_in_string = false;
    bool m_in_line = false;
    bool m_in_block = false;
    bool m_comment_close_pending = false;
    bool m_keyword_open = false;
};

} // namespace scan_detail

// Scans the escaped `text` (the opening piece, then the escaped source) and tells `sink` the
// spans of its keywords and comments. False when the sink failed.
template <SpanSink Sink>
bool Highlight(std::string_view text, const ScanSetup& setup, Sink& sink,
               const Progress& progress) {
    return scan_detail::Highlighter<Sink>(text, setup, sink, progress).Run();
}
