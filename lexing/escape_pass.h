#pragma once
// The first pass of a conversion: tabs replaced and <, > and & escaped. The scans read the
// escaped text; renditions other than HTML take their characters back from the source, by the
// same rule run in step with it (EscapedSource).

#include "lexing/pass_output.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The escape pass: `opening` followed by the source with tabs replaced and <, > and & escaped;
// with `replaced`, the source index of each character it replaced, in order. False when memory
// ran out (the list's own growth throws std::bad_alloc). With `may_use_threads` a large source
// is escaped in two halves at once, with the same result.
bool Escape(std::string_view source, const std::string& opening, const std::string& tab,
            std::string& escaped, const Progress& progress,
            std::vector<std::size_t>* replaced = nullptr, bool may_use_threads = false);

// The index of the first character in `text` from `from` on that the escape pass replaces (a
// tab, <, > or &), or `length`. Eight bytes at a time: most of a source needs no escaping. Inline,
// since the escape pass and the renditions that read the source back call it in their loops.
inline std::size_t FindEscaped(const char* text, std::size_t from, std::size_t length) noexcept {
    // 0x80 in every byte of `y` that is zero, 0 in every other byte.
    constexpr auto zero_bytes = [](uint64_t y) {
        constexpr uint64_t k7f = 0x7F7F7F7F7F7F7F7FULL;
        return ~(((y & k7f) + k7f) | y | k7f);
    };
    constexpr auto every_byte = [](unsigned char c) { return 0x0101010101010101ULL * c; };
    for (; from + 8 <= length; from += 8) {
        uint64_t x;
        std::memcpy(&x, text + from, 8);
        const uint64_t found = zero_bytes(x ^ every_byte('\t')) | zero_bytes(x ^ every_byte('<')) |
                               zero_bytes(x ^ every_byte('>')) | zero_bytes(x ^ every_byte('&'));
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

// How many characters of the escaped text stand for the source character `c` that the escape
// pass replaces (FindEscaped found it); `tab_length` is the size of a tab's replacement.
constexpr std::size_t EscapedLength(char c, std::size_t tab_length) {
    return c == '\t' ? tab_length : c == '&' ? 5 : 4;
}

// The source behind the escaped text, read forward: positions of the escaped text (from the end
// of the opening piece on) are turned into the source characters that stand there. A character
// that the escape pass replaced belongs to the piece in which its replacement begins; a tab comes
// out as its replacement, every other character as itself.
class EscapedSource {
public:
    // `escaped` is the escape pass's result for `source` with the opening piece of
    // `source_start` characters and a tab replacement of `tab_length`, and `replaced` the
    // source indexes of the characters it replaced.
    EscapedSource(std::string_view source, std::string_view escaped, std::size_t source_start,
                  std::size_t tab_length, const std::vector<std::size_t>& replaced) noexcept
        : m_source(source), m_escaped(escaped), m_tab_length(tab_length), m_replaced(replaced),
          m_at(source_start), m_special(Replaced(0)) {}

    // Hands `out(const char* data, std::size_t length)` the source text from the current position
    // to the escaped position `to`, and moves on. The source comes in as few pieces as it can:
    // one, unless a tab stands in it, whose replacement comes from the escaped text. (A writer's
    // text is the same whichever way it is cut between two characters that were not replaced.)
    template <class Out>
    void Take(std::size_t to, Out&& out) {
        std::size_t from = m_next; // the source from here on is still to hand out
        while (m_at < to && m_next < m_source.size()) {
            if (m_next != m_special) {
                const std::size_t run = std::min(m_special - m_next, to - m_at);
                m_next += run;
                m_at += run;
                continue;
            }
            const char c = m_source[m_next];
            if (c == '\t' && !(m_tab_length == 1 && m_escaped[m_at] == '\t')) {
                if (m_next > from) {
                    out(m_source.data() + from, m_next - from);
                }
                if (m_tab_length != 0) {
                    out(m_escaped.data() + m_at, m_tab_length);
                }
                from = m_next + 1;
            }
            m_at += EscapedLength(c, m_tab_length);
            ++m_next;
            m_special = Replaced(++m_index);
        }
        if (m_next > from) {
            out(m_source.data() + from, m_next - from);
        }
    }

private:
    std::size_t Replaced(std::size_t i) const {
        return i < m_replaced.size() ? m_replaced[i] : m_source.size();
    }

    std::string_view m_source;
    std::string_view m_escaped;
    std::size_t m_tab_length;
    const std::vector<std::size_t>& m_replaced;
    std::size_t m_index = 0; // of m_special in m_replaced
    std::size_t m_at;        // the escaped position of m_next
    std::size_t m_next = 0;  // the next source character to hand out
    std::size_t m_special;   // the next one that the escape pass replaced, or the source's size
};
