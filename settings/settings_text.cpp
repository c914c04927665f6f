#include "settings/settings_text.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool ReadColourText(std::string_view text, uint32_t& colour) noexcept {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // "0x" counts as a prefix only before a digit; "0xG" is the number 0.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    uint32_t number = 0;
    bool digits = false;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
        number = (number << 4) | uint32_t(HexDigit(text[i])); // digits past 32 bits wrap
        digits = true;
    }
    if (!digits) {
        return false;
    }
    colour = negative ? 0u - number : number;
    return true;
}

void FormatColourText(uint32_t colour, char* text) noexcept {
    std::snprintf(text, kColourTextSize, "%06X", unsigned(colour & 0xFFFFFFu));
}

std::size_t KeywordTextSize(const ProfileSettings& s) noexcept {
    std::size_t size = 1;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        size += std::strlen(s.Keyword(i)) + 1;
    }
    return size;
}

std::size_t JoinKeywords(const ProfileSettings& s, char* text) noexcept {
    char* end = text;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        if (end != text) {
            *end++ = ' ';
        }
        const std::size_t n = std::strlen(s.Keyword(i));
        std::memcpy(end, s.Keyword(i), n);
        end += n;
    }
    *end = '\0';
    return std::size_t(end - text);
}
