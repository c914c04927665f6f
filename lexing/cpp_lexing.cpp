#include "lexing/cpp_lexing.h"

#include "lexing/cpp_chars.h"
#include "lexing/keyword_index.h"

#include <cstring>
#include <string_view>

namespace {

// Suffixes of the standard library that a string literal takes without an underscore.
bool IsStandardSuffix(std::string_view s) {
    for (std::string_view known :
         {"s", "sv", "h", "min", "ms", "us", "ns", "il", "i", "if", "d", "y"}) {
        if (s == known) {
            return true;
        }
    }
    return false;
}

// What C++ allows in a raw string's delimiter, besides "(" which ends it.
bool IsDelimiterChar(char c) {
    return std::strchr(" )\\\t\n\r\v\f", c) == nullptr || c == '\0';
}

// The length of the escaped character at p: 4 or 5 for an entity, else 1.
std::size_t EntityLengthAt(const char* text, std::size_t length, std::size_t p) {
    const std::string_view rest(text + p, length - p);
    return rest.starts_with("&lt;") || rest.starts_with("&gt;") ? 4
           : rest.starts_with("&amp;")                          ? 5
                                                                : 1;
}

} // namespace

bool CppLexing::AfterBoundary(std::size_t p) const {
    return p == 0 || KeywordIndex::IsBoundary(static_cast<unsigned char>(m_text[p - 1]));
}

bool CppLexing::Continued(std::size_t p) const {
    return LineContinues(m_text, p);
}

std::size_t CppLexing::LineCommentEnd(std::size_t p) const {
    const void* q = std::memchr(m_text + p, '\n', m_length - p);
    return q == nullptr ? m_length : std::size_t(static_cast<const char*>(q) - m_text);
}

std::size_t CppLexing::BlockCommentEnd(std::size_t p) const {
    const std::string_view rest(m_text + p + 2, m_length - p - 2);
    const std::size_t close = rest.find("*/");
    return close == std::string_view::npos ? m_length : p + 2 + close + 2;
}

std::size_t CppLexing::IncludeNameEnd(std::size_t p) const {
    std::size_t q = p + 1;
    while (q < m_length && (m_text[q] == ' ' || m_text[q] == '\t')) {
        ++q;
    }
    const std::size_t end = IdentifierEnd(q);
    const std::string_view name(m_text + q, end - q);
    return name == "include" || name == "include_next" || name == "import" ? end : 0;
}

std::size_t CppLexing::HeaderNameEnd(std::size_t p) const {
    const std::string_view rest(m_text + p, m_length - p);
    if (!rest.starts_with("&lt;")) {
        return 0;
    }
    for (std::size_t q = 4; q < rest.size() && rest[q] != '\n'; ++q) {
        if (rest.substr(q).starts_with("&gt;")) {
            return p + q + 4;
        }
    }
    return 0;
}

std::size_t CppLexing::EntityLength(std::size_t p) const {
    return EntityLengthAt(m_text, m_length, p);
}

std::size_t CppLexing::IdentifierEnd(std::size_t p) const {
    while (p < m_length && IsIdentifierChar(static_cast<unsigned char>(m_text[p]))) {
        ++p;
    }
    return p;
}

std::size_t CppLexing::PlainEnd(std::size_t p) const {
    const auto c = static_cast<unsigned char>(m_text[p]);
    if (IsIdentifierChar(c)) {
        return IdentifierEnd(p);
    }
    return c == '&' ? p + EntityLength(p) : p + 1;
}

Literal CppLexing::LiteralAt(std::size_t p) const {
    const auto c = static_cast<unsigned char>(m_text[p]);
    if (IsDigit(c) ||
        (c == '.' && p + 1 < m_length && IsDigit(static_cast<unsigned char>(m_text[p + 1])))) {
        return {LiteralKind::Number, NumberEnd(p)};
    }
    if (c == '"') {
        return Quoted(p, LiteralKind::String);
    }
    if (c == '\'') {
        return Quoted(p, LiteralKind::Char);
    }
    if (!IsIdentifierChar(c)) {
        return {LiteralKind::String, 0};
    }
    // An encoding prefix, or a raw string's, standing alone as a word before its quote: a word
    // of at most three characters.
    std::size_t end = p + 1;
    while (end < m_length && end - p < 4 &&
           IsIdentifierChar(static_cast<unsigned char>(m_text[end]))) {
        ++end;
    }
    if (end >= m_length || (m_text[end] != '"' && m_text[end] != '\'')) {
        return {LiteralKind::String, 0};
    }
    const std::string_view word(m_text + p, end - p);
    const bool encoding = word == "u8" || word == "u" || word == "U" || word == "L";
    if (encoding) {
        const Literal l = Quoted(end, m_text[end] == '"' ? LiteralKind::String : LiteralKind::Char);
        return {l.kind, l.end};
    }
    if (m_text[end] == '"' &&
        (word == "R" || word == "u8R" || word == "uR" || word == "UR" || word == "LR")) {
        if (const std::size_t raw = RawStringBodyEnd(m_text, m_length, end)) {
            return {LiteralKind::String, raw == m_length ? raw : SuffixEnd(raw, true)};
        }
    }
    return {LiteralKind::String, 0};
}

Literal CppLexing::Quoted(std::size_t quote, LiteralKind kind) const {
    const char q = m_text[quote];
    for (std::size_t i = quote + 1; i < m_length; ++i) {
        const char c = m_text[i];
        if (c == '\\') {
            // An escape, or a backslash that continues the line (CR LF as one line end).
            i += i + 2 < m_length && m_text[i + 1] == '\r' && m_text[i + 2] == '\n' ? 2 : 1;
        } else if (c == q) {
            return {kind, SuffixEnd(i + 1, kind == LiteralKind::String)};
        } else if (c == '\n') {
            return {LiteralKind::Unterminated, i > quote + 1 && m_text[i - 1] == '\r' ? i - 1 : i};
        }
    }
    return {LiteralKind::Unterminated, m_length};
}

std::size_t CppLexing::SuffixEnd(std::size_t p, bool string) const {
    if (p >= m_length) {
        return p;
    }
    std::size_t end = p;
    while (end < m_length && IsAsciiIdentifierChar(static_cast<unsigned char>(m_text[end]))) {
        ++end;
    }
    if (end == p || IsDigit(static_cast<unsigned char>(m_text[p]))) {
        return p;
    }
    if (m_text[p] == '_') {
        return end;
    }
    // Without an underscore only the standard library's suffixes, and only on strings.
    return string && IsStandardSuffix(std::string_view(m_text + p, end - p)) ? end : p;
}

std::size_t CppLexing::NumberEnd(std::size_t p) const {
    const bool hex = m_length - p >= 2 && m_text[p] == '0' && (m_text[p + 1] | 0x20) == 'x';
    char previous = '\0';
    std::size_t i = p;
    while (i < m_length) {
        const auto c = static_cast<unsigned char>(m_text[i]);
        if (IsAsciiIdentifierChar(c) || c == '.') {
            // A number goes on through letters, digits, _ and dots.
        } else if (c == '\'' && i + 1 < m_length &&
                   IsAsciiIdentifierChar(static_cast<unsigned char>(m_text[i + 1]))) {
            // A digit separator.
        } else if ((c == '+' || c == '-') &&
                   ((previous | 0x20) == 'e' || (hex && (previous | 0x20) == 'p'))) {
            // The sign of an exponent; p's only in a hexadecimal number.
        } else {
            break;
        }
        previous = char(c);
        ++i;
    }
    return i;
}

std::size_t RawStringBodyEnd(const char* text, std::size_t length, std::size_t quote) {
    std::size_t q = quote + 1;
    for (int count = 0; q < length && text[q] != '('; ++count) {
        if (count == 16 || !IsDelimiterChar(text[q])) {
            return 0;
        }
        q += EntityLengthAt(text, length, q);
    }
    if (q >= length) {
        return 0;
    }
    const std::string_view delimiter(text + quote + 1, q - quote - 1);
    for (q += 1;;) {
        const void* close = std::memchr(text + q, ')', length - q);
        if (close == nullptr) {
            return length;
        }
        q = std::size_t(static_cast<const char*>(close) - text) + 1;
        if (length - q > delimiter.size() &&
            std::string_view(text + q, delimiter.size()) == delimiter &&
            text[q + delimiter.size()] == '"') {
            return q + delimiter.size() + 1;
        }
    }
}
