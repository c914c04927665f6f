#include "convert/settings_text.h"

#include <cstdio>
#include <cstring>

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
