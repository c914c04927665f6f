#pragma once
// The tokens that the name passes look at, read from the escaped text of a conversion (where
// "&lt;", "&gt;" and "&amp;" each stand for one character) or from a plain source. Comments
// and white space are passed over; literals come as one token each; directive lines are told
// apart, so that a name in them can take its own class.

#include "names/keywords.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace names {

enum class TokenKind : uint8_t {
    End,          // past the text
    Identifier,   // a word that does not begin with a digit
    Literal,      // a number, string or character literal, prefix and suffix included
    Punct,        // one punctuator; `op` tells which
    Directive,    // the "#" that begins a directive line
    DirectiveEnd, // the line end (or the text's end) after a directive line
};

// Punctuators the passes tell apart; any other is its own character.
enum Op : uint8_t {
    kScope = 1,  // ::
    kArrow = 2,  // ->
    kAndAnd = 3, // &&
    kOrOr = 4,   // ||
    kEllipsis = 5,
    kArrowStar = 6, // ->*
    kDotStar = 7,   // .*
};

struct Token {
    std::size_t start = 0;
    std::size_t end = 0;
    uint64_t hash = 0; // of an identifier's bytes
    TokenKind kind = TokenKind::End;
    uint8_t op = 0;                   // a punctuator's character or Op
    Keyword keyword = Keyword::Other; // an identifier's; None for a name
    bool line_start = false;          // the first token of its line
};

// A word's first sixteen bytes as two numbers, zeros past its end (in memory order, so that the
// lexer may take them from one load of the text).
inline void WordHead(const char* word, std::size_t length, uint64_t& lo, uint64_t& hi) noexcept {
    lo = 0;
    hi = 0;
    std::memcpy(&lo, word, length < 8 ? length : 8);
    if (length > 8) {
        std::memcpy(&hi, word + 8, length < 16 ? length - 8 : 8);
    }
}

// The hash of a word of up to sixteen bytes from its head (WordHead) and length.
inline uint64_t HashHead(uint64_t lo, uint64_t hi, std::size_t length) noexcept {
    uint64_t h = (lo ^ (length * 0x9E3779B97F4A7C15ULL)) * 0xBF58476D1CE4E5B9ULL;
    h = (h ^ (h >> 31) ^ hi) * 0x94D049BB133111EBULL;
    return h ^ (h >> 29);
}

// The hash of a word from its HashHead on: its bytes past the first sixteen, eight at a time;
// `readable` bytes from `word` on may be read (at least `length`), so that the last eight may
// be one load.
inline uint64_t HashTail(uint64_t h, const char* word, std::size_t length,
                         std::size_t readable) noexcept {
    for (std::size_t i = 16; i < length; i += 8) {
        uint64_t chunk = 0;
        if (i + 8 <= readable && std::endian::native == std::endian::little) {
            std::memcpy(&chunk, word + i, 8);
            if (length - i < 8) {
                chunk &= ~uint64_t(0) >> (64 - 8 * (length - i)); // the bytes past the word
            }
        } else {
            std::memcpy(&chunk, word + i, length - i < 8 ? length - i : 8);
        }
        h = (h ^ chunk) * 0x9E3779B97F4A7C15ULL;
        h ^= h >> 29;
    }
    return h;
}

// The hash that the name tables use for a word.
inline uint64_t HashWord(const char* word, std::size_t length) noexcept {
    uint64_t lo;
    uint64_t hi;
    WordHead(word, length, lo, hi);
    return HashTail(HashHead(lo, hi, length), word, length, length);
}

class NameLexer {
public:
    // `escaped`: entities stand for their characters (the conversion's text); otherwise `&` is
    // itself (a source read for the tree's first pass).
    NameLexer(std::string_view text, std::size_t start, bool escaped) noexcept
        : m_text(text.data()), m_length(text.size()), m_p(start), m_escaped(escaped),
          m_keywords(Keywords()) {}

    // Lexes up to `count` tokens into out[0], out[1], ...: many at a time, so that the loop
    // keeps its state in registers. Returns how many it wrote; fewer than `count` only when
    // the last is the End token.
    std::size_t Lex(Token* out, std::size_t count) noexcept;

private:
    std::size_t Comment(std::size_t p) const noexcept;
    std::size_t Quoted(std::size_t quote) const noexcept;
    std::size_t RawString(std::size_t quote) const noexcept;
    std::size_t Suffix(std::size_t p) const noexcept;
    std::size_t Number(std::size_t p) const noexcept;
    std::size_t Entity(std::size_t p, unsigned char& c) const noexcept;
    std::size_t Prefixed(std::size_t p, std::size_t quote) const noexcept;
    std::size_t Punct(std::size_t p, uint8_t& op) const noexcept;

    const char* m_text;
    std::size_t m_length;
    std::size_t m_p;
    bool m_escaped;
    const KeywordTable& m_keywords;
    bool m_directive = false;
    bool m_line_start = true;
};

} // namespace names
