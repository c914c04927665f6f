#include "lexing/class_highlighter.h"

#include "lexing/cpp_lexing.h"

#include <cstring>

namespace {

enum class Span { None, Keyword, Comment, String, Char, Number, Preproc };

// The scan with the optional classes on: the source is split into tokens as a C++ compiler's
// lexer splits it, and strings, characters, numbers and directive lines get spans of their own
// beside keywords and comments. Every character of the escaped text reaches the output once
// and in order; only the tags between them are decided here.
class ClassHighlighter {
public:
    ClassHighlighter(const std::string& text, const KeywordIndex& keywords,
                     const HtmlPieces& pieces, std::string& html, const Progress& progress)
        : m_lex(text.data(), text.size()), m_text(text.data()), m_length(text.size()),
          m_source(pieces.opening.size()), m_keywords(keywords), m_pieces(pieces), m_out(html),
          m_progress(progress) {
        for (int c = 0; c < 256; ++c) {
            const auto b = static_cast<unsigned char>(c);
            const bool word = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_' ||
                              b == '$' || b >= 0x80 || (b >= '0' && b <= '9');
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
        while (p < m_length && !m_out.Failed()) {
            const std::size_t from = p;
            p = Skip(p);
            if (p < m_length) {
                p = Step(p);
            }
            m_progress.Range(from, p);
        }
        Flush(m_length);
        if (m_open != Span::None) {
            m_out.Append(Close(m_open));
        }
        m_out.Append(m_pieces.closing);
        return !m_out.Failed();
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
                    Open(p, Span::Keyword, m_pieces.keyword_open);
                    m_pending = true;
                    p += n;
                    continue;
                }
            }
            ++p;
        }
        return p;
    }

    static bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    const std::string& Close(Span s) const {
        return s == Span::Keyword   ? m_pieces.keyword_close
               : s == Span::Comment ? m_pieces.comment_close
                                    : m_pieces.class_close;
    }
    void Flush(std::size_t p) {
        m_out.Append(m_text + m_copied, p - m_copied);
        m_copied = p;
    }
    // Closes the open span before p.
    void CloseNow(std::size_t p) {
        if (m_open != Span::None) {
            Flush(p);
            m_out.Append(Close(m_open));
            m_open = Span::None;
            m_pending = false;
        }
    }
    void Open(std::size_t p, Span s, const std::string& tag) {
        CloseNow(p);
        if (!tag.empty()) {
            Flush(p);
            m_out.Append(tag);
            m_open = s;
        }
    }
    // A literal or a comment from p to end, as one span of `tag` (none when empty).
    std::size_t Whole(std::size_t p, std::size_t end, Span s, const std::string& tag,
                      bool pending) {
        Open(p, s, tag);
        if (m_open == s) {
            if (pending) {
                m_pending = true;
            } else {
                Flush(end);
                m_out.Append(Close(s));
                m_open = Span::None;
            }
        }
        return end;
    }

    // Past the characters from p on that Step would only copy: blanks within a line, words
    // that neither begin with a keyword nor stand before a quote, and punctuation that no
    // keyword begins with. Returns p when p needs Step.
    std::size_t Skip(std::size_t p) const {
        const auto* text = reinterpret_cast<const unsigned char*>(m_text);
        while (p < m_length && (m_class[text[p]] & kBlank) != 0) {
            ++p; // a pending close waits for the next character that is not white space
        }
        if (m_pending || m_line_start ||
            (m_directive && m_open != Span::Preproc && !m_pieces.preproc_open.empty())) {
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
                if (m_directive && m_open == Span::Preproc) {
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
            return Whole(p, end, Span::Comment, m_pieces.comment_open, true);
        }
        if (m_directive && m_header != 0 && p >= m_header) {
            m_header = 0;
            if (const std::size_t end = m_lex.HeaderNameEnd(p)) {
                return Whole(p, end, Span::String, m_pieces.string_open, false);
            }
        }
        const Literal literal =
            MayStartLiteral(p) ? m_lex.LiteralAt(p) : Literal{LiteralKind::String, 0};
        if (literal.end != 0) {
            const std::string& tag = literal.kind == LiteralKind::String ? m_pieces.string_open
                                     : literal.kind == LiteralKind::Char ? m_pieces.char_open
                                     : literal.kind == LiteralKind::Number
                                         ? m_pieces.number_open
                                         : m_pieces.class_close; // never opened
            if (literal.kind == LiteralKind::Unterminated || tag.empty()) {
                // Unmarked, or in a directive part of its line; the compiler takes an
                // unterminated literal and the rest of its line as one bad token.
                OpenPreproc(p);
                return literal.end;
            }
            const Span span = literal.kind == LiteralKind::String ? Span::String
                              : literal.kind == LiteralKind::Char ? Span::Char
                                                                  : Span::Number;
            return Whole(p, literal.end, span, tag, false);
        }
        if (c == '#' && line_start && !m_directive) {
            m_directive = true;
            m_header = m_lex.IncludeNameEnd(p);
        }
        OpenPreproc(p);
        const bool keywords_here = !(m_directive && !m_pieces.preproc_open.empty());
        if (keywords_here && (m_class[static_cast<unsigned char>(c)] & kKeyword) != 0 &&
            AfterBoundary(p)) {
            if (const std::size_t n = m_keywords.Match(m_text, m_length, p, m_source)) {
                Open(p, Span::Keyword, m_pieces.keyword_open);
                m_pending = true;
                return p + n;
            }
        }
        if ((m_class[static_cast<unsigned char>(c)] & kWord) != 0) {
            return WordEnd(p);
        }
        return c == '&' ? m_lex.PlainEnd(p) : p + 1;
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
        if (m_directive && m_open != Span::Preproc && !m_pieces.preproc_open.empty()) {
            Open(p, Span::Preproc, m_pieces.preproc_open);
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
    const HtmlPieces& m_pieces;
    Output m_out;
    const Progress& m_progress;
    std::size_t m_copied = 0;
    Span m_open = Span::None;
    bool m_pending = false;   // the open span closes at the next character that is not white
    bool m_line_start = true; // only white space and comments since the last line end
    bool m_directive = false; // on a directive line
    std::size_t m_header = 0; // after #include's name: where a header name may stand from
};

} // namespace

bool HighlightClasses(const std::string& text, const KeywordIndex& keywords,
                      const HtmlPieces& pieces, std::string& html, const Progress& progress) {
    return ClassHighlighter(text, keywords, pieces, html, progress).Run();
}
