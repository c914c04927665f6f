#pragma once
// The scan of a conversion with the optional classes on: strings, characters, numbers, directive
// lines and names found beside keywords and comments, and told to a sink as spans.

#include "lexing/cpp_chars.h"
#include "lexing/cpp_lexing.h"
#include "lexing/highlighter.h"
#include "lexing/keyword_index.h"
#include "lexing/pass_output.h"
#include "lexing/span.h"
#include "names/marks_ahead.h"
#include "names/name_marker.h"

#include <cstddef>
#include <cstring>
#include <string_view>

namespace scan_detail {

// The scan with the optional classes on: the source is split into tokens as a C++ compiler's
// lexer splits it, and strings, characters, numbers and directive lines get spans of their own
// beside keywords and comments. The scan only decides where spans begin and end; the sink writes
// the text.
template <SpanSink Sink>
class ClassHighlighter {
public:
    ClassHighlighter(std::string_view text, const ScanSetup& setup, Sink& sink,
                     const Progress& progress)
        : m_lex(text.data(), text.size()), m_text(text.data()), m_length(text.size()),
          m_source(setup.source_start), m_keywords(setup.keywords), m_on(setup.classes),
          m_names(setup.classes.AnyName() ? setup.names : nullptr),
          m_ahead(setup.classes.AnyName() ? setup.names_ahead : nullptr), m_sink(sink),
          m_progress(progress) {
        const KeywordIndex& keywords = setup.keywords;
        for (int c = 0; c < 256; ++c) {
            const auto b = static_cast<unsigned char>(c);
            const bool word = IsIdentifierChar(b);
            m_class[b] =
                (b == ' ' || b == '\t' || b == '\r' || b == '\v' || b == '\f' ? kBlank : 0) |
                (word ? kWord : 0) | (KeywordIndex::IsBoundary(b) ? kBoundary : 0) |
                (keywords.StartsAny(b) ? kKeyword : 0) |
                ((b >= '0' && b <= '9') || std::strchr("\"'/#&.\n\\", c) != nullptr ? kStop : 0);
        }
        m_class[0] |= kStop;
    }

    bool Run() {
        std::size_t p = OpeningPiece();
        while (p < m_length && !m_sink.Failed()) {
            const std::size_t from = p;
            p = Skip(p);
            if (p < m_length) {
                p = Step(p);
            }
            m_progress.Range(from, p);
        }
        if (m_open != SpanClass::Text) {
            m_sink.Close(m_open, m_length);
        }
        return !m_sink.Failed();
    }

private:
    // The opening piece is the converter's own HTML: its quoted attribute values are skipped
    // as strings and its words may be keywords, as without the classes; nothing else is marked.
    std::size_t OpeningPiece() {
        bool quoted = false;
        std::size_t p = 0;
        while (p < m_source) {
            m_progress.Range(p, p + 1);
            const char c = m_text[p];
            if (!IsWhite(c)) {
                CloseNow(p);
            }
            if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && AfterBoundary(p)) {
                if (const std::size_t n = m_keywords.Match(m_text, m_length, p, m_source)) {
                    Open(p, SpanClass::Keyword);
                    m_pending = true;
                    p += n;
                    continue;
                }
            }
            ++p;
        }
        return p;
    }

    bool On(SpanClass s) const { return m_on.Has(s); }
    // Closes the open span before p.
    void CloseNow(std::size_t p) {
        if (m_open != SpanClass::Text) {
            m_sink.Close(m_open, p);
            m_open = SpanClass::Text;
            m_pending = false;
        }
    }
    // Opens a span of class `s` at p, when that class is marked.
    void Open(std::size_t p, SpanClass s) {
        CloseNow(p);
        if (On(s)) {
            m_sink.Open(s, p);
            m_open = s;
        }
    }
    // A literal or a comment from p to end, as one span of class `s` (none when it is not
    // marked).
    std::size_t Whole(std::size_t p, std::size_t end, SpanClass s, bool pending) {
        Open(p, s);
        if (m_open == s) {
            if (pending) {
                m_pending = true;
            } else {
                m_sink.Close(s, end);
                m_open = SpanClass::Text;
            }
        }
        return end;
    }

    // Past the characters from p on that Step would only copy: blanks within a line, words
    // that neither begin with a keyword nor stand before a quote, and punctuation that no
    // keyword begins with. Returns p when p needs Step.
    std::size_t Skip(std::size_t p) {
        const auto* text = reinterpret_cast<const unsigned char*>(m_text);
        while (p < m_length && (m_class[text[p]] & kBlank) != 0) {
            ++p; // a pending close waits for the next character that is not white space
        }
        if (m_pending || m_line_start ||
            (m_directive && m_open != SpanClass::Preproc && On(SpanClass::Preproc))) {
            return p;
        }
        while (p < m_length) {
            const unsigned char c = text[p];
            const unsigned char k = m_class[c];
            if ((k & kBlank) != 0) {
                ++p;
                continue;
            }
            if ((k & kStop) != 0 || ((k & kKeyword) != 0 && AfterBoundary(p))) {
                break;
            }
            if ((k & kWord) != 0) {
                // Perhaps a name: the words before the next marked one take no class.
                if ((m_names != nullptr || m_ahead != nullptr) &&
                    (m_directive || (p >= m_name_next && p >= (m_name_next = NextMark(p))))) {
                    break;
                }
                const std::size_t end = WordEnd(p + 1);
                if (end < m_length && (text[end] == '"' || text[end] == '\'')) {
                    break; // perhaps a prefix
                }
                p = end;
                continue;
            }
            ++p;
        }
        return p;
    }

    std::size_t Step(std::size_t p) {
        const char c = m_text[p];
        if (IsWhite(c) || c == '\v' || c == '\f') {
            if (c == '\n' && !m_lex.Continued(p)) {
                m_line_start = true;
                m_header = 0;
                if (m_directive && m_open == SpanClass::Preproc) {
                    m_pending = true; // closed at the next character that is not white space
                }
                m_directive = false;
            }
            return p + 1;
        }
        if (m_pending) {
            CloseNow(p);
        }
        const bool line_start = m_line_start;
        m_line_start = false;
        if (c == '/' && p + 1 < m_length && (m_text[p + 1] == '/' || m_text[p + 1] == '*')) {
            const std::size_t end =
                m_text[p + 1] == '/' ? m_lex.LineCommentEnd(p) : m_lex.BlockCommentEnd(p);
            m_line_start = line_start; // a comment does not start a line's first token
            return Whole(p, end, SpanClass::Comment, true);
        }
        if (m_directive && m_header != 0 && p >= m_header) {
            m_header = 0;
            if (const std::size_t end = m_lex.HeaderNameEnd(p)) {
                return Whole(p, end, SpanClass::String, false);
            }
        }
        const Literal literal =
            MayStartLiteral(p) ? m_lex.LiteralAt(p) : Literal{LiteralKind::String, 0};
        if (literal.end != 0) {
            const SpanClass span = literal.kind == LiteralKind::String ? SpanClass::String
                                   : literal.kind == LiteralKind::Char ? SpanClass::Char
                                                                       : SpanClass::Number;
            if (literal.kind == LiteralKind::Unterminated || !On(span)) {
                // Unmarked, or in a directive part of its line; the compiler takes an
                // unterminated literal and the rest of its line as one bad token.
                OpenPreproc(p);
                return literal.end;
            }
            return Whole(p, literal.end, span, false);
        }
        if (c == '#' && line_start && !m_directive) {
            m_directive = true;
            m_header = m_lex.IncludeNameEnd(p);
        }
        OpenPreproc(p);
        const bool keywords_here = !(m_directive && On(SpanClass::Preproc));
        if (keywords_here && (m_class[static_cast<unsigned char>(c)] & kKeyword) != 0 &&
            AfterBoundary(p)) {
            if (const std::size_t n = m_keywords.Match(m_text, m_length, p, m_source)) {
                Open(p, SpanClass::Keyword);
                m_pending = true;
                return p + n;
            }
        }
        if ((m_class[static_cast<unsigned char>(c)] & kWord) != 0) {
            const std::size_t end = WordEnd(p);
            return m_names != nullptr || m_ahead != nullptr ? Name(p, end) : end;
        }
        return c == '&' ? m_lex.PlainEnd(p) : p + 1;
    }

    // The word from p to end, in the class of what it names, if that class is marked; inside a
    // directive's span it takes its own, as a literal does.
    std::size_t Name(std::size_t p, std::size_t end) {
        SpanClass span = SpanClass::Text;
        switch (m_names != nullptr ? m_names->ClassAt(p) : m_ahead->ClassAt(p)) {
        case NameClass::None:
            return end;
        case NameClass::Function:
            span = SpanClass::Function;
            break;
        case NameClass::Type:
            span = SpanClass::Type;
            break;
        case NameClass::Namespace:
            span = SpanClass::Namespace;
            break;
        case NameClass::Macro:
            span = SpanClass::Macro;
            break;
        }
        return On(span) ? Whole(p, end, span, false) : end;
    }

    std::size_t NextMark(std::size_t p) {
        return m_names != nullptr ? m_names->NextMarkFrom(p) : m_ahead->NextMarkFrom(p);
    }

    // A cheap test before the lexer's: a digit, a dot, a quote, or a word of at most three
    // characters before a quote (an encoding or raw string prefix).
    bool MayStartLiteral(std::size_t p) const {
        const char c = m_text[p];
        if ((c >= '0' && c <= '9') || c == '.' || c == '"' || c == '\'') {
            return true;
        }
        for (std::size_t q = p + 1; q < m_length && q <= p + 3; ++q) {
            if (m_text[q] == '"' || m_text[q] == '\'') {
                return true;
            }
        }
        return false;
    }
    bool AfterBoundary(std::size_t p) const {
        return p == 0 || (m_class[static_cast<unsigned char>(m_text[p - 1])] & kBoundary) != 0;
    }
    std::size_t WordEnd(std::size_t p) const {
        const auto* text = reinterpret_cast<const unsigned char*>(m_text);
        while (p < m_length && (m_class[text[p]] & kWord) != 0) {
            ++p;
        }
        return p;
    }

    // Inside a directive, code outside comments and literals lies in a preproc span.
    void OpenPreproc(std::size_t p) {
        if (m_directive && m_open != SpanClass::Preproc && On(SpanClass::Preproc)) {
            Open(p, SpanClass::Preproc);
        }
    }

    static constexpr unsigned char kBlank = 1;     // white space within a line
    static constexpr unsigned char kWord = 2;      // in identifiers
    static constexpr unsigned char kKeyword = 4;   // some keyword begins with it
    static constexpr unsigned char kStop = 8;      // digits, quotes, comment, directive, entity
    static constexpr unsigned char kBoundary = 16; // a keyword may begin after it

    CppLexing m_lex;
    unsigned char m_class[256];
    const char* m_text;
    std::size_t m_length;
    std::size_t m_source; // where the escaped source begins, after the opening piece
    const KeywordIndex& m_keywords;
    ClassSet m_on;
    names::NameMarker* m_names; // null unless a name class is marked
    names::MarksAhead* m_ahead; // or this one
    Sink& m_sink;
    const Progress& m_progress;
    SpanClass m_open = SpanClass::Text; // Text: none
    bool m_pending = false;      // the open span closes at the next character that is not white
    bool m_line_start = true;    // only white space and comments since the last line end
    bool m_directive = false;    // on a directive line
    std::size_t m_header = 0;    // after #include's name: where a header name may stand from
    std::size_t m_name_next = 0; // no word before this one takes a name's class
};

} // namespace scan_detail

// Scans the escaped `text` (the opening piece, then the escaped source) and tells `sink` the
// spans of its keywords, comments, literals, directive lines and names, for the classes that
// `setup` marks (the names from `setup.names`, which has seen the same text). Spans never nest.
// False when the sink failed.
template <SpanSink Sink>
bool HighlightClasses(std::string_view text, const ScanSetup& setup, Sink& sink,
                      const Progress& progress) {
    return scan_detail::ClassHighlighter<Sink>(text, setup, sink, progress).Run();
}
