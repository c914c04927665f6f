#include "base/colour.h"

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

// scanf's "%x" on what follows the box's "#".
bool ReadBoxNumber(std::string_view text, int64_t& colour) {
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

} // namespace

bool ReadColour(std::string_view text, ColourRule rule, int64_t& colour) noexcept {
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    } else if (rule == ColourRule::RRGGBBOrOff && text == "off") {
        colour = kColourOff;
        return true;
    }
    if (rule == ColourRule::Box) {
        return ReadBoxNumber(text, colour);
    }
    if (text.size() != 6) {
        return false;
    }
    int64_t value = 0;
    for (const char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        value = value * 16 + digit;
    }
    colour = value;
    return true;
}

bool IsColourNumber(int64_t value, ColourRule rule) noexcept {
    switch (rule) {
    case ColourRule::Box:
        return value >= INT32_MIN && value <= UINT32_MAX;
    case ColourRule::RRGGBBOrOff:
        if (value == kColourOff) {
            return true;
        }
        break;
    case ColourRule::RRGGBB:
        break;
    }
    return value >= 0 && value <= 0xFFFFFF;
}

std::string NotAColour(std::string_view text, ColourRule rule) {
    std::string message = "'";
    message += text;
    message += rule == ColourRule::RRGGBBOrOff ? "' is not a colour (RRGGBB or off)"
                                               : "' is not a colour (RRGGBB)";
    return message;
}
