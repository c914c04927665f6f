#pragma once
// Where the tokens of C and C++ end, as a C++20 compiler's lexer finds them, read in the
// escaped text of a conversion: "&lt;", "&gt;" and "&amp;" each stand for one character.

#include <cstddef>

enum class LiteralKind { String, Char, Number, Unterminated };

struct Literal {
    LiteralKind kind;
    std::size_t end; // just past the literal; 0 when none starts at the position asked about
};

// The end of the raw string whose opening quote stands at `quote` in the escaped `text`: just
// past its closing quote, `length` when it is never closed, or 0 when no valid delimiter and
// "(" follow the quote. An entity of the delimiter counts as the one character it stands for,
// and the closing is matched in its escaped form, which is the same at every occurrence.
std::size_t RawStringBodyEnd(const char* text, std::size_t length, std::size_t quote);

class CppLexing {
public:
    CppLexing(const char* text, std::size_t length) : m_text(text), m_length(length) {}

    // Whether a keyword may begin at p: p is 0 or follows a boundary character.
    bool AfterBoundary(std::size_t p) const;
    // Whether the line feed at p ends a line that a backslash continues.
    bool Continued(std::size_t p) const;
    // The end of the line comment that starts at p: its line feed, or the end of the text.
    std::size_t LineCommentEnd(std::size_t p) const;
    // The end of the block comment that starts at p: past its "*/", or the end of the text.
    std::size_t BlockCommentEnd(std::size_t p) const;
    // Where the directive name ends when the "#" at p begins an #include, #include_next or
    // #import line; else 0.
    std::size_t IncludeNameEnd(std::size_t p) const;
    // The end of the header name "<...>" that starts at p on its line, or 0.
    std::size_t HeaderNameEnd(std::size_t p) const;
    // The string, character or number literal that starts at p, prefix and suffix included; a
    // string or character literal that its line ends before closing is Unterminated and ends
    // at that line end.
    Literal LiteralAt(std::size_t p) const;
    // The end of what starts at p when it is none of the above: a whole identifier, an entity,
    // or one character.
    std::size_t PlainEnd(std::size_t p) const;

private:
    Literal Quoted(std::size_t quote, LiteralKind kind) const;
    std::size_t NumberEnd(std::size_t p) const;
    std::size_t SuffixEnd(std::size_t p, bool string) const;
    std::size_t EntityLength(std::size_t p) const;
    std::size_t IdentifierEnd(std::size_t p) const;

    const char* m_text;
    std::size_t m_length;
};
