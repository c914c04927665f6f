#pragma once
// The tokens that the name passes look at, read from the escaped text of a conversion (where
// "&lt;", "&gt;" and "&amp;" each stand for one character) or from a plain source. Comments
// and white space are passed over; literals come as one token each; directive lines are told
// apart, so that a name in them can take its own class.

#include "names/keywords.h"

#include <cstddef>
#include <cstdint>
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

// The hash that the name tables use for a word; `readable` bytes from `word` on may be read
// (at least `length`), which lets the last part be one load.
uint64_t HashWord(const char* word, std::size_t length, std::size_t readable) noexcept;
inline uint64_t HashWord(const char* word, std::size_t length) noexcept {
    return HashWord(word, length, length);
}

class NameLexer {
public:
    // `escaped`: entities stand for their characters (the conversion's text); otherwise `&` is
    // itself (a source read for the tree's first pass).
    NameLexer(std::string_view text, std::size_t start, bool escaped) noexcept
        : m_text(text.data()), m_length(text.size()), m_p(start), m_escaped(escaped) {}

    Token Next() noexcept;

private:
    std::size_t SkipBlanks(std::size_t p, bool& newline) const noexcept;
    std::size_t Quoted(std::size_t quote) const noexcept;
    std::size_t RawString(std::size_t quote) const noexcept;
    std::size_t Suffix(std::size_t p) const noexcept;
    std::size_t Number(std::size_t p) const noexcept;
    std::size_t Entity(std::size_t p, unsigned char& c) const noexcept;

    const char* m_text;
    std::size_t m_length;
    std::size_t m_p;
    bool m_escaped;
    bool m_directive = false;
    bool m_line_start = true;
};

} // namespace names
