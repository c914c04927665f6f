#include "text/line_ends.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

void CrLfAppender::Append(std::string_view piece) {
    if (piece.empty()) {
        return;
    }
    std::size_t i = 0;
    if (m_cr_pending) {
        m_out += "\r\n";
        i = piece[0] == '\n' ? 1 : 0;
        m_cr_pending = false;
    }
    const char* const data = piece.data();
    const std::size_t n = piece.size();
    if (std::memchr(data + i, '\r', n - i) == nullptr) {
        // LF only, as most files are: from one LF to the next.
        while (i < n) {
            const auto* lf = static_cast<const char*>(std::memchr(data + i, '\n', n - i));
            const std::size_t end = lf == nullptr ? n : std::size_t(lf - data);
            m_out.append(data + i, end - i);
            if (lf == nullptr) {
                break;
            }
            m_out += "\r\n";
            i = end + 1;
        }
        return;
    }
    for (; i < n; ++i) {
        const char c = data[i];
        if (c == '\n') {
            m_out += "\r\n";
        } else if (c != '\r') {
            m_out += c;
        } else if (i + 1 == n) {
            m_cr_pending = true;
        } else {
            m_out += "\r\n";
            i += data[i + 1] == '\n' ? 1 : 0;
        }
    }
}

void CrLfAppender::Finish() {
    if (m_cr_pending) {
        m_out += "\r\n";
        m_cr_pending = false;
    }
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 16);
    CrLfAppender appender(out);
    appender.Append(text);
    appender.Finish();
    return out;
}

std::size_t ToLfInPlace(char* data, std::size_t size) noexcept {
    const void* first = std::memchr(data, '\r', size);
    if (first == nullptr) {
        return size;
    }
    // Up to the first CR nothing moves; from there on each byte moves down once, sixteen at a
    // time where they hold no CR, with no call per line.
    std::size_t from = std::size_t(static_cast<const char*>(first) - data);
    std::size_t to = from;
#if defined(__SSE2__) && defined(__x86_64__)
    const __m128i cr = _mm_set1_epi8('\r');
    while (from + 16 <= size) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(x, cr)));
        const std::size_t before = mask == 0 ? 16 : std::size_t(std::countr_zero(mask));
        // The bytes before the CR in one store, where it ends below what is still to read; the
        // store's bytes past them are written again later.
        if (from - to + before + 1 >= 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(data + to), x);
        } else {
            std::memmove(data + to, data + from, before);
        }
        to += before;
        from += before;
        if (mask != 0) {
            // The CR of a CR LF is left; its LF begins the next block.
            if (from + 1 == size || data[from + 1] != '\n') {
                data[to++] = '\r';
            }
            ++from;
        }
    }
#endif
    for (; from < size; ++from) {
        // The CR of a CR LF is left.
        if (data[from] != '\r' || from + 1 == size || data[from + 1] != '\n') {
            data[to++] = data[from];
        }
    }
    return to;
}

void ToLf(std::string& text) {
    text.resize(ToLfInPlace(text.data(), text.size()));
}

std::size_t CountLines(std::string_view text) noexcept {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t lines = 0;
    std::size_t i = 0;
#if defined(__SSE2__) && defined(__x86_64__)
    // Sixteen bytes at a time with no call per line: a byte counter in each lane for up to 255
    // blocks, then their sum.
    const __m128i lf = _mm_set1_epi8('\n');
    while (i + 16 <= n) {
        __m128i counts = _mm_setzero_si128();
        for (int blocks = 0; blocks < 255 && i + 16 <= n; ++blocks, i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(x, lf));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        lines += std::size_t(_mm_cvtsi128_si64(sums)) +
                 std::size_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    for (; i < n; ++i) {
        lines += p[i] == '\n' ? 1 : 0;
    }
    return lines + (n != 0 && p[n - 1] != '\n' ? 1 : 0);
}
