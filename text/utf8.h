#pragma once
// The one reading of UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF
// (noncharacters are valid).

#include <cstddef>
#include <cstdint>

struct Utf8Char {
    std::size_t length; // bytes of the sequence; 0 when no valid one starts there
    uint32_t code;      // the character, when valid
};

// The character whose sequence starts at `p`, before `end` (p < end).
inline Utf8Char DecodeUtf8(const unsigned char* p, const unsigned char* end) noexcept {
    const unsigned char lead = *p;
    if (lead < 0x80) {
        return {1, lead};
    }
    std::size_t length;
    uint32_t code;
    uint32_t least;
    if (lead < 0xC2) {
        return {0, 0}; // a continuation byte, or an overlong two-byte form
    } else if (lead < 0xE0) {
        length = 2, code = lead & 0x1Fu, least = 0x80;
    } else if (lead < 0xF0) {
        length = 3, code = lead & 0x0Fu, least = 0x800;
    } else if (lead < 0xF5) {
        length = 4, code = lead & 0x07u, least = 0x10000;
    } else {
        return {0, 0};
    }
    if (std::size_t(end - p) < length) {
        return {0, 0};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return {0, 0};
        }
        code = (code << 6) | (p[i] & 0x3Fu);
    }
    if (code < least || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return {0, 0};
    }
    return {length, code};
}
