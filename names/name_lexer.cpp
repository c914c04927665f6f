#include "names/name_lexer.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace names {
namespace {

constexpr unsigned char kWordChar = 1;  // in an identifier
constexpr unsigned char kWordStart = 2; // begins one
constexpr unsigned char kDigit = 4;
constexpr unsigned char kBlank = 8; // white space within a line

// What a character begins, for the lexer's dispatch.
enum Begins : unsigned char {
    bSingle,    // a punctuator of one character: ( ) ; , { } * = ...
    bNewline,   // \n
    bWord,      // an identifier, or an encoding prefix
    bDigit,     // a number
    bQuote,     // a string or character literal
    bSlash,     // a comment, or /
    bBackslash, // a line continuation, or a stray backslash
    bHash,      // a directive, or #
    bDot,       // a number, . .* ...
    bPair,      // : - | and their pairs :: -> ->* ||
    bAmp,       // & &&, and in escaped text &lt; &gt; &amp;
};

struct CharTable {
    unsigned char is[256] = {};
    unsigned char begins[256] = {};
    constexpr CharTable() {
        for (int c = 0; c < 256; ++c) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
                                c == '$' || c >= 0x80;
            const bool digit = c >= '0' && c <= '9';
            const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
            is[c] = static_cast<unsigned char>((letter || digit ? kWordChar : 0) |
                                               (letter ? kWordStart : 0) | (digit ? kDigit : 0) |
                                               (blank ? kBlank : 0));
            begins[c] = letter                             ? bWord
                        : digit                            ? bDigit
                        : c == '\n'                        ? bNewline
                        : c == '"'                         ? bQuote
                        : c == '\''                        ? bQuote
                        : c == '/'                         ? bSlash
                        : c == '\\'                        ? bBackslash
                        : c == '#'                         ? bHash
                        : c == '.'                         ? bDot
                        : c == '&'                         ? bAmp
                        : c == ':' || c == '-' || c == '|' ? bPair
                                                           : bSingle;
        }
    }
};
constexpr CharTable kChars;

bool Is(char c, unsigned char what) {
    return (kChars.is[static_cast<unsigned char>(c)] & what) != 0;
}

bool IsPrefix(std::string_view w, bool raw) {
    if (raw) {
        return w == "R" || w == "u8R" || w == "uR" || w == "UR" || w == "LR";
    }
    return w == "u8" || w == "u" || w == "U" || w == "L";
}

// The end of the identifier whose characters go on from p.
std::size_t WordEnd(const char* text, std::size_t n, std::size_t p) {
    while (p < n && Is(text[p], kWordChar)) {
        ++p;
    }
    return p;
}

#if defined(__SSE2__)
// Which of sixteen bytes are word characters: letters, digits, '_', '$' and bytes >= 0x80.
inline unsigned WordMask(__m128i c) {
    // A byte in [a, z] when, moved by 0x80 - 'a', it is below -128 + 26 as a signed byte.
    const __m128i lower = _mm_or_si128(c, _mm_set1_epi8(0x20));
    const __m128i letter = _mm_cmplt_epi8(_mm_add_epi8(lower, _mm_set1_epi8(char(0x80 - 'a'))),
                                          _mm_set1_epi8(char(-128 + 26)));
    const __m128i digit = _mm_cmplt_epi8(_mm_add_epi8(c, _mm_set1_epi8(char(0x80 - '0'))),
                                         _mm_set1_epi8(char(-128 + 10)));
    const __m128i sign =
        _mm_or_si128(_mm_cmpeq_epi8(c, _mm_set1_epi8('_')), _mm_cmpeq_epi8(c, _mm_set1_epi8('$')));
    return unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), sign))) |
           unsigned(_mm_movemask_epi8(c)); // the bytes >= 0x80
}
#endif

// "&lt;" and "&gt;" as four bytes in memory order.
constexpr uint32_t Four(const char (&s)[5]) {
    return std::endian::native == std::endian::little
               ? uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 |
                     uint32_t(uint8_t(s[2])) << 16 | uint32_t(uint8_t(s[3])) << 24
               : uint32_t(uint8_t(s[3])) | uint32_t(uint8_t(s[2])) << 8 |
                     uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[0])) << 24;
}
constexpr uint32_t kLt = Four("&lt;");
constexpr uint32_t kGt = Four("&gt;");

// All ones in the first k bytes of a number, k <= 8.
inline uint64_t FirstBytes(unsigned k) {
    return k >= 8 ? ~uint64_t(0) : (uint64_t(1) << (8 * k)) - 1;
}

// The identifier that begins at p: its end, its WordHead and its HashWord.
inline std::size_t Identifier(const char* text, std::size_t n, std::size_t p, uint64_t& lo,
                              uint64_t& hi, uint64_t& hash) {
#if defined(__SSE2__)
    if (p + 16 <= n) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + p));
        const unsigned length = unsigned(std::countr_one(WordMask(c)));
        lo = uint64_t(_mm_cvtsi128_si64(c));
        hi = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(c, c)));
        if (length < 16) [[likely]] {
            lo &= FirstBytes(length);
            hi = length <= 8 ? 0 : hi & FirstBytes(length - 8);
            hash = HashHead(lo, hi, length);
            return p + length;
        }
        std::size_t end = p + 16;
        for (;;) {
            if (end + 16 > n) {
                end = WordEnd(text, n, end);
                break;
            }
            const unsigned word =
                WordMask(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + end)));
            if (word != 0xFFFF) {
                end += unsigned(std::countr_one(word));
                break;
            }
            end += 16;
        }
        hash = HashTail(HashHead(lo, hi, end - p), text + p, end - p, n - p);
        return end;
    }
#endif
    const std::size_t end = WordEnd(text, n, p + 1);
    WordHead(text + p, end - p, lo, hi);
    hash = HashTail(HashHead(lo, hi, end - p), text + p, end - p, n - p);
    return end;
}

// Past the blanks from p, spaces eight at a time (as in the indentation after a line end).
inline std::size_t Blanks(const char* text, std::size_t n, std::size_t p) {
    if (std::endian::native == std::endian::little) {
        while (p + 8 <= n) {
            uint64_t chunk;
            std::memcpy(&chunk, text + p, 8);
            const uint64_t other = chunk ^ 0x2020202020202020ULL; // 0 where a space
            if (other != 0) {
                p += unsigned(std::countr_zero(other)) / 8;
                break;
            }
            p += 8;
        }
    }
    while (p < n && Is(text[p], kBlank)) {
        ++p;
    }
    return p;
}

} // namespace

// Past the comment that begins at p ("//" or "/*"); a line comment stops before its line end.
std::size_t NameLexer::Comment(std::size_t p) const noexcept {
    const char* const text = m_text;
    const std::size_t n = m_length;
    if (text[p + 1] == '/') {
        const void* q = std::memchr(text + p, '\n', n - p);
        return q == nullptr ? n : std::size_t(static_cast<const char*>(q) - text);
    }
    // The first "*/" after "/*": the first '/' from p + 3 on that follows a '*'.
    for (std::size_t q = p + 3; q < n; ++q) {
        const void* slash = std::memchr(text + q, '/', n - q);
        if (slash == nullptr) {
            break;
        }
        q = std::size_t(static_cast<const char*>(slash) - text);
        if (text[q - 1] == '*') {
            return q + 1;
        }
    }
    return n;
}

std::size_t NameLexer::Entity(std::size_t p, unsigned char& c) const noexcept {
    c = static_cast<unsigned char>(m_text[p]);
    if (!m_escaped || c != '&') {
        return p + 1;
    }
    const std::string_view rest(m_text + p, m_length - p);
    if (rest.starts_with("&lt;")) {
        c = '<';
        return p + 4;
    }
    if (rest.starts_with("&gt;")) {
        c = '>';
        return p + 4;
    }
    if (rest.starts_with("&amp;")) {
        return p + 5;
    }
    return p + 1;
}

std::size_t NameLexer::Suffix(std::size_t p) const noexcept {
    while (p < m_length && Is(m_text[p], kWordChar)) {
        ++p;
    }
    return p;
}

std::size_t NameLexer::Quoted(std::size_t quote) const noexcept {
    const char q = m_text[quote];
    for (std::size_t i = quote + 1; i < m_length; ++i) {
        const char c = m_text[i];
        if (c == '\\') {
            ++i;
        } else if (c == q) {
            return Suffix(i + 1);
        } else if (c == '\n') {
            return i; // unterminated: the line ends it
        }
    }
    return m_length;
}

std::size_t NameLexer::RawString(std::size_t quote) const noexcept {
    std::size_t q = quote + 1;
    for (int count = 0; q < m_length && m_text[q] != '('; ++count) {
        const char c = m_text[q];
        if (count == 16 || c == ' ' || c == ')' || c == '\\' || c == '\t' || c == '\n' ||
            c == '\r' || c == '\v' || c == '\f') {
            return 0;
        }
        unsigned char decoded;
        q = Entity(q, decoded);
    }
    if (q >= m_length) {
        return 0;
    }
    const std::string_view delimiter(m_text + quote + 1, q - quote - 1);
    for (q += 1;;) {
        const void* close = std::memchr(m_text + q, ')', m_length - q);
        if (close == nullptr) {
            return m_length;
        }
        q = std::size_t(static_cast<const char*>(close) - m_text) + 1;
        if (m_length - q > delimiter.size() &&
            std::string_view(m_text + q, delimiter.size()) == delimiter &&
            m_text[q + delimiter.size()] == '"') {
            return Suffix(q + delimiter.size() + 1);
        }
    }
}

std::size_t NameLexer::Number(std::size_t p) const noexcept {
    char previous = '\0';
    while (p < m_length) {
        const char c = m_text[p];
        if (Is(c, kWordChar) || c == '.') {
        } else if (c == '\'' && p + 1 < m_length && Is(m_text[p + 1], kWordChar)) {
        } else if ((c == '+' || c == '-') &&
                   ((previous | 0x20) == 'e' || (previous | 0x20) == 'p')) {
        } else {
            break;
        }
        previous = c;
        ++p;
    }
    return p;
}

// A literal with an encoding prefix from p, whose word ends at `quote`: its end, or 0 when the
// word is no prefix.
std::size_t NameLexer::Prefixed(std::size_t p, std::size_t quote) const noexcept {
    const std::string_view word(m_text + p, quote - p);
    if (m_text[quote] == '"' && IsPrefix(word, true)) {
        if (const std::size_t raw = RawString(quote)) {
            return raw;
        }
    }
    return IsPrefix(word, false) ? Quoted(quote) : 0;
}

// A punctuator that may be the first of two: : - | & . (and in escaped text &lt; &gt; &amp;,
// which stand for their characters).
std::size_t NameLexer::Punct(std::size_t p, uint8_t& result) const noexcept {
    const char* const text = m_text;
    const std::size_t n = m_length;
    unsigned char op;
    std::size_t end = Entity(p, op);
    if (end < n) {
        unsigned char next;
        const std::size_t after = Entity(end, next);
        if ((op == ':' && next == ':') || (op == '&' && next == '&') ||
            (op == '|' && next == '|')) {
            op = op == ':' ? kScope : op == '&' ? kAndAnd : kOrOr;
            end = after;
        } else if (op == '-' && next == '>') {
            op = kArrow;
            end = after;
            if (end < n && text[end] == '*') {
                op = kArrowStar;
                ++end;
            }
        } else if (op == '.' && next == '*') {
            op = kDotStar;
            end = after;
        } else if (op == '.' && next == '.' && after < n && text[after] == '.') {
            op = kEllipsis;
            end = after + 1;
        }
    }
    result = op;
    return end;
}

std::size_t NameLexer::Lex(Token* out, std::size_t count) noexcept {
    const char* const text = m_text;
    const std::size_t n = m_length;
    std::size_t p = m_p;
    bool line_start = m_line_start;
    Token* t = out;
    Token* const last = out + count;
    while (t != last) {
        while (p < n && Is(text[p], kBlank)) {
            ++p;
        }
        if (p >= n) [[unlikely]] {
            if (m_directive) {
                m_directive = false;
                *t++ = Token{p, p, 0, TokenKind::DirectiveEnd, 0, Keyword::Other, false};
                line_start = true;
                continue;
            }
            *t++ = Token{p, p, 0, TokenKind::End, 0, Keyword::Other, false};
            break;
        }
        const char c = text[p];
        const unsigned char begins = kChars.begins[static_cast<unsigned char>(c)];
        if (begins == bWord) {
            uint64_t lo;
            uint64_t hi;
            uint64_t hash;
            const std::size_t end = Identifier(text, n, p, lo, hi, hash);
            if (end < n && (text[end] == '"' || text[end] == '\'')) [[unlikely]] {
                if (const std::size_t literal = Prefixed(p, end)) {
                    *t++ = Token{p, literal, 0, TokenKind::Literal, 0, Keyword::Other, line_start};
                    p = literal;
                    line_start = false;
                    continue;
                }
            }
            *t++ = Token{p,         end,
                         hash,      TokenKind::Identifier,
                         0,         m_keywords.Find(text + p, end - p, lo, hi, hash),
                         line_start};
            p = end;
            line_start = false;
            continue;
        }
        if (begins == bSingle) {
            *t++ = Token{p, p + 1, 0, TokenKind::Punct, uint8_t(c), Keyword::Other, line_start};
            ++p;
            line_start = false;
            continue;
        }
        switch (begins) {
        case bNewline:
            if ((p >= 1 && text[p - 1] == '\\') ||
                (p >= 2 && text[p - 1] == '\r' && text[p - 2] == '\\')) {
                ++p; // a continued line
                continue;
            }
            line_start = true;
            if (m_directive) {
                m_directive = false;
                *t++ = Token{p, p, 0, TokenKind::DirectiveEnd, 0, Keyword::Other, false};
            }
            p = Blanks(text, n, p + 1);
            continue;
        case bSlash:
            if (p + 1 < n && (text[p + 1] == '/' || text[p + 1] == '*')) {
                p = Comment(p);
                continue;
            }
            *t++ = Token{p, p + 1, 0, TokenKind::Punct, '/', Keyword::Other, line_start};
            ++p;
            break;
        case bBackslash:
            if (p + 1 < n && (text[p + 1] == '\n' || text[p + 1] == '\r')) {
                ++p;
                continue;
            }
            *t++ = Token{p, p + 1, 0, TokenKind::Punct, '\\', Keyword::Other, line_start};
            ++p;
            break;
        case bDigit: {
            const std::size_t end = Number(p);
            *t++ = Token{p, end, 0, TokenKind::Literal, 0, Keyword::Other, line_start};
            p = end;
            break;
        }
        case bQuote: {
            const std::size_t end = Quoted(p);
            *t++ = Token{p, end, 0, TokenKind::Literal, 0, Keyword::Other, line_start};
            p = end;
            break;
        }
        case bHash:
            if (line_start && !m_directive) {
                m_directive = true;
                *t++ = Token{p, p + 1, 0, TokenKind::Directive, '#', Keyword::Other, true};
            } else {
                *t++ = Token{p, p + 1, 0, TokenKind::Punct, '#', Keyword::Other, line_start};
            }
            ++p;
            break;
        case bDot:
            if (p + 1 < n && Is(text[p + 1], kDigit)) {
                const std::size_t end = Number(p);
                *t++ = Token{p, end, 0, TokenKind::Literal, 0, Keyword::Other, line_start};
                p = end;
                break;
            }
            [[fallthrough]];
        case bPair:
        case bAmp: {
            // Escaped '<' and '>' (template brackets, most of the entities) pair with nothing.
            uint32_t four = 0;
            if (c == '&' && m_escaped && p + 4 <= n) {
                std::memcpy(&four, text + p, 4);
            }
            if (four == kLt || four == kGt) {
                const uint8_t bracket = four == kLt ? '<' : '>';
                *t++ = Token{p, p + 4, 0, TokenKind::Punct, bracket, Keyword::Other, line_start};
                p += 4;
                break;
            }
            uint8_t op;
            const std::size_t end = Punct(p, op);
            *t++ = Token{p, end, 0, TokenKind::Punct, op, Keyword::Other, line_start};
            p = end;
            break;
        }
        default:
            break;
        }
        line_start = false;
    }
    m_p = p;
    m_line_start = line_start;
    return std::size_t(t - out);
}

} // namespace names
