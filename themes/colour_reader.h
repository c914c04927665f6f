#pragma once
// Stands in for the program's one colour reader (base/colour.h), which is not on this branch
// yet: a colour typed as text, "RRGGBB" or "#RRGGBB". Theme files call only this, so that the
// one reader replaces it by a change of this file.

#include <cstdint>
#include <string_view>

inline bool ReadColourText(std::string_view text, uint32_t& rgb) noexcept {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    }
    if (text.size() != 6) {
        return false;
    }
    uint32_t value = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return false;
        }
        value = value << 4 | uint32_t(digit);
    }
    rgb = value;
    return true;
}
