#include "lexing/escape_pass.h"

#include <bit>
#include <cstring>

namespace {

// 0x80 in every byte of `y` that is zero, 0 in every other byte.
constexpr uint64_t ZeroBytes(uint64_t y) {
    constexpr uint64_t k7f = 0x7F7F7F7F7F7F7F7FULL;
    return ~(((y & k7f) + k7f) | y | k7f);
}

constexpr uint64_t EveryByte(unsigned char c) {
    return 0x0101010101010101ULL * c;
}

} // namespace

// Eight bytes at a time: most of a source needs no escaping.
std::size_t FindEscaped(const char* text, std::size_t from, std::size_t length) noexcept {
    for (; from + 8 <= length; from += 8) {
        uint64_t x;
        std::memcpy(&x, text + from, 8);
        const uint64_t found = ZeroBytes(x ^ EveryByte('\t')) | ZeroBytes(x ^ EveryByte('<')) |
                               ZeroBytes(x ^ EveryByte('>')) | ZeroBytes(x ^ EveryByte('&'));
        if (found != 0) {
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(found)
                                                                       : std::countl_zero(found);
            return from + std::size_t(bit / 8);
        }
    }
    for (; from < length; ++from) {
        const char c = text[from];
        if (c == '\t' || c == '<' || c == '>' || c == '&') {
            break;
        }
    }
    return from;
}

// The escape pass: `opening` followed by the source with tabs replaced and <, > and & escaped.
bool Escape(std::string_view source, const std::string& opening, const std::string& tab,
            std::string& escaped, const Progress& progress) {
    Output out(escaped);
    // Escapes rarely add an eighth; the text grows by doubling beyond that.
    if (!out.Reserve(opening.size() + source.size() + source.size() / 8 + 64)) {
        return false;
    }
    out.Append(opening);
    const std::size_t n = source.size();
    std::size_t j = 0;
    while (j < n) {
        const std::size_t run = FindEscaped(source.data(), j, n);
        out.Append(source.data() + j, run - j);
        progress.Range(j, run);
        if (run == n) {
            break;
        }
        switch (source[run]) {
        case '\t':
            out.Append(tab);
            break;
        case '>':
            out.Append("&gt;", 4);
            break;
        case '<':
            out.Append("&lt;", 4);
            break;
        default:
            out.Append("&amp;", 5);
            break;
        }
        progress.At(run);
        j = run + 1;
    }
    return !out.Failed();
}
