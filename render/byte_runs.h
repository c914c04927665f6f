#pragma once
// The runs of bytes that a writer copies as they are, found sixteen bytes at a time where the
// processor has SSE2: most of a source is printable ASCII between the few characters that a
// format must write otherwise.

#include <array>
#include <bit>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A format's bytes: printable ASCII but `Specials` are copied as they are, and so are the tab
// with `Tab` and every byte above 127 with `High`.
template <bool Tab, bool High, unsigned char... Specials>
class ByteRuns {
public:
    static constexpr bool Plain(unsigned char c) { return kPlain[c]; }

    // The end of the run of copied bytes in `text` from `from` on.
    static std::size_t RunEnd(const char* text, std::size_t from, std::size_t length) {
#if defined(__SSE2__)
        // Sixteen bytes at a time: those below 0x20 (and, compared as signed, every byte above
        // 127), DEL and the specials stop the run, unless the table copies them (tab, high).
        while (from + 16 <= length) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
            __m128i stop = _mm_or_si128(_mm_cmplt_epi8(x, _mm_set1_epi8(0x20)),
                                        _mm_cmpeq_epi8(x, _mm_set1_epi8(0x7F)));
            ((stop = _mm_or_si128(stop, _mm_cmpeq_epi8(x, _mm_set1_epi8(char(Specials))))), ...);
            const unsigned mask = unsigned(_mm_movemask_epi8(stop));
            if (mask == 0) {
                from += 16;
                continue;
            }
            from += std::size_t(std::countr_zero(mask));
            if (!kPlain[static_cast<unsigned char>(text[from])]) {
                return from;
            }
            ++from;
        }
#endif
        while (from < length && kPlain[static_cast<unsigned char>(text[from])]) {
            ++from;
        }
        return from;
    }

private:
    static constexpr std::array<bool, 256> MakePlain() {
        std::array<bool, 256> plain{};
        for (int c = 0; c < 256; ++c) {
            plain[c] = (c >= 0x20 && c < 0x7F) || (Tab && c == '\t') || (High && c >= 0x80);
        }
        ((plain[Specials] = false), ...);
        return plain;
    }
    static constexpr std::array<bool, 256> kPlain = MakePlain();
};

// The index of the first line feed in `text` from `from` on, or `length`. Inline and sixteen
// bytes at a time: lines are short, and a library call for each would cost more than the search.
inline std::size_t FindLineFeed(const char* text, std::size_t from, std::size_t length) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    for (; from + 16 <= length; from += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf)));
        if (mask != 0) {
            return from + std::size_t(std::countr_zero(mask));
        }
    }
#endif
    while (from < length && text[from] != '\n') {
        ++from;
    }
    return from;
}
