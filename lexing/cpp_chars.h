#pragma once
// What the scans know of C and C++ characters, each rule written once: identifier characters,
// white space, and the backslash that continues a line.

#include <array>
#include <cstddef>

namespace cpp_chars {

constexpr std::array<bool, 256> MakeIdentifier(bool extended) {
    std::array<bool, 256> is{};
    for (int c = 0; c < 256; ++c) {
        is[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                c == '_' || (extended && (c == '$' || c >= 0x80));
    }
    return is;
}
// Identifier characters: letters, digits, _ and $, and every byte above 127 (UTF-8 names).
inline constexpr std::array<bool, 256> kIdentifier = MakeIdentifier(true);
// The compiler's narrower set, for numbers, digit separators and suffixes: no $, no UTF-8.
inline constexpr std::array<bool, 256> kAsciiIdentifier = MakeIdentifier(false);

} // namespace cpp_chars

inline constexpr bool IsIdentifierChar(unsigned char c) {
    return cpp_chars::kIdentifier[c];
}
inline constexpr bool IsAsciiIdentifierChar(unsigned char c) {
    return cpp_chars::kAsciiIdentifier[c];
}
inline constexpr bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// White space for the scans' pending closes: a span that waits for its end takes these in.
inline constexpr bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Whether the line feed at `lf` in `text` is escaped by a backslash right before it (or before
// its CR). Lines are spliced before anything else in C and C++, so the backslashes before that
// one do not count.
inline bool LineContinues(const char* text, std::size_t lf) {
    return (lf >= 1 && text[lf - 1] == '\\') ||
           (lf >= 2 && text[lf - 1] == '\r' && text[lf - 2] == '\\');
}
