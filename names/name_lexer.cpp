#include "names/name_lexer.h"

#include <bit>
#include <cstring>

namespace names {
namespace {

constexpr unsigned char kWordChar = 1;  // in an identifier
constexpr unsigned char kWordStart = 2; // begins one
constexpr unsigned char kDigit = 4;
constexpr unsigned char kBlank = 8; // white space within a line

struct CharTable {
    unsigned char is[256] = {};
    constexpr CharTable() {
        for (int c = 0; c < 256; ++c) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
                                c == '$' || c >= 0x80;
            const bool digit = c >= '0' && c <= '9';
            is[c] = static_cast<unsigned char>(
                (letter || digit ? kWordChar : 0) | (letter ? kWordStart : 0) |
                (digit ? kDigit : 0) |
                (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' ? kBlank : 0));
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

} // namespace

uint64_t HashWord(const char* word, std::size_t length, std::size_t readable) noexcept {
    constexpr uint64_t kMul = 0x9E3779B97F4A7C15ULL;
    uint64_t h = length * kMul;
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t chunk;
        std::memcpy(&chunk, word + i, 8);
        h = (h ^ chunk) * kMul;
        h ^= h >> 29;
    }
    if (i < length) {
        uint64_t chunk = 0;
        if (i + 8 <= readable && std::endian::native == std::endian::little) {
            std::memcpy(&chunk, word + i, 8); // one load, the bytes past the word masked off
            chunk &= ~uint64_t(0) >> (64 - 8 * (length - i));
        } else {
            std::memcpy(&chunk, word + i, length - i);
        }
        h = (h ^ chunk) * kMul;
        h ^= h >> 29;
    }
    h *= 0xBF58476D1CE4E5B9ULL;
    return h ^ (h >> 31);
}

std::size_t NameLexer::SkipBlanks(std::size_t p, bool& newline) const noexcept {
    for (;;) {
        while (p < m_length && Is(m_text[p], kBlank)) {
            ++p;
        }
        if (p >= m_length) {
            return p;
        }
        const char c = m_text[p];
        if (c == '\n') {
            const bool continued = (p >= 1 && m_text[p - 1] == '\\') ||
                                   (p >= 2 && m_text[p - 1] == '\r' && m_text[p - 2] == '\\');
            if (!continued) {
                newline = true;
                if (m_directive) {
                    return p; // the directive's end
                }
            }
            ++p;
        } else if (c == '\\' && p + 1 < m_length &&
                   (m_text[p + 1] == '\n' || m_text[p + 1] == '\r')) {
            ++p;
        } else if (c == '/' && p + 1 < m_length && m_text[p + 1] == '/') {
            const void* q = std::memchr(m_text + p, '\n', m_length - p);
            p = q == nullptr ? m_length : std::size_t(static_cast<const char*>(q) - m_text);
        } else if (c == '/' && p + 1 < m_length && m_text[p + 1] == '*') {
            const std::string_view rest(m_text + p + 2, m_length - p - 2);
            const std::size_t close = rest.find("*/");
            p = close == std::string_view::npos ? m_length : p + 2 + close + 2;
        } else {
            return p;
        }
    }
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

Token NameLexer::Next() noexcept {
    Token t;
    bool newline = false;
    std::size_t p = SkipBlanks(m_p, newline);
    if (newline) {
        m_line_start = true;
    }
    t.start = p;
    if (m_directive && (p >= m_length || m_text[p] == '\n')) {
        m_directive = false;
        t.kind = TokenKind::DirectiveEnd;
        t.end = p;
        m_p = p < m_length ? p + 1 : p;
        m_line_start = true;
        return t;
    }
    if (p >= m_length) {
        t.end = p;
        m_p = p;
        return t;
    }
    t.line_start = m_line_start;
    m_line_start = false;
    const char c = m_text[p];
    if (Is(c, kWordStart)) {
        std::size_t end = p + 1;
        while (end < m_length && Is(m_text[end], kWordChar)) {
            ++end;
        }
        if (end < m_length && (m_text[end] == '"' || m_text[end] == '\'')) {
            const std::string_view word(m_text + p, end - p);
            if (m_text[end] == '"' && IsPrefix(word, true)) {
                if (const std::size_t raw = RawString(end)) {
                    t.kind = TokenKind::Literal;
                    t.end = m_p = raw;
                    return t;
                }
            }
            if (IsPrefix(word, false)) {
                t.kind = TokenKind::Literal;
                t.end = m_p = Quoted(end);
                return t;
            }
        }
        t.kind = TokenKind::Identifier;
        t.end = m_p = end;
        t.hash = HashWord(m_text + p, end - p, m_length - p);
        t.keyword = KeywordOf(std::string_view(m_text + p, end - p), t.hash);
        return t;
    }
    if (Is(c, kDigit) || (c == '.' && p + 1 < m_length && Is(m_text[p + 1], kDigit))) {
        t.kind = TokenKind::Literal;
        t.end = m_p = Number(p);
        return t;
    }
    if (c == '"' || c == '\'') {
        t.kind = TokenKind::Literal;
        t.end = m_p = Quoted(p);
        return t;
    }
    if (c == '#' && t.line_start && !m_directive) {
        m_directive = true;
        t.kind = TokenKind::Directive;
        t.end = m_p = p + 1;
        t.op = '#';
        return t;
    }
    t.kind = TokenKind::Punct;
    unsigned char op;
    std::size_t end = Entity(p, op);
    if (end < m_length) {
        unsigned char next;
        const std::size_t after = Entity(end, next);
        if ((op == ':' && next == ':') || (op == '&' && next == '&') ||
            (op == '|' && next == '|')) {
            op = op == ':' ? kScope : op == '&' ? kAndAnd : kOrOr;
            end = after;
        } else if (op == '-' && next == '>') {
            op = kArrow;
            end = after;
            if (end < m_length && m_text[end] == '*') {
                op = kArrowStar;
                ++end;
            }
        } else if (op == '.' && next == '*') {
            op = kDotStar;
            end = after;
        } else if (op == '.' && next == '.' && after < m_length && m_text[after] == '.') {
            op = kEllipsis;
            end = after + 1;
        }
    }
    t.op = op;
    t.end = m_p = end;
    return t;
}

} // namespace names
