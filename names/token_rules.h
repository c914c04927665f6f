#pragma once
// Small rules over the token window that both name passes use.

#include "names/keywords.h"
#include "names/token_window.h"

#include <string_view>

namespace names {

inline bool IsPunct(const Token& t, uint8_t op) {
    return t.kind == TokenKind::Punct && t.op == op;
}

// What a source's text says about its tokens.
class TokenText {
public:
    explicit TokenText(std::string_view text) : m_text(text) {}
    std::string_view Word(const Token& t) const {
        return std::string_view(m_text.data() + t.start, t.end - t.start);
    }
    // How many bytes from the token's start on may be read.
    std::size_t Readable(const Token& t) const { return m_text.size() - t.start; }
    Keyword KeywordAt(const Token& t) const { return t.keyword; }
    // A name: an identifier that is no keyword.
    bool IsName(const Token& t) const {
        return t.kind == TokenKind::Identifier && t.keyword == Keyword::None;
    }
    // Whether a declarator may follow t: t ends a type (a name, int, >, *, &, &&, const).
    bool EndsType(const Token& t) const {
        if (t.kind == TokenKind::Identifier) {
            const Keyword k = t.keyword;
            if (k == Keyword::None || k == Keyword::TypeWord) {
                return true;
            }
            const std::string_view w = Word(t);
            return k == Keyword::Qualifier && (w == "const" || w == "volatile");
        }
        return t.kind == TokenKind::Punct &&
               (t.op == '>' || t.op == '*' || t.op == '&' || t.op == kAndAnd);
    }

private:
    std::string_view m_text;
};

// A word of capitals, digits and underscores: a macro by convention, so its place alone does
// not make it a type.
inline bool AllCaps(std::string_view w) {
    bool letter = false;
    for (char c : w) {
        if (c >= 'a' && c <= 'z') {
            return false;
        }
        letter = letter || (c >= 'A' && c <= 'Z');
    }
    return letter && w.size() > 1;
}

// Types by convention begin with a capital (after underscores): Foo::, _Tp::.
inline bool Capitalised(std::string_view w) {
    std::size_t i = 0;
    while (i < w.size() && w[i] == '_') {
        ++i;
    }
    return i < w.size() && w[i] >= 'A' && w[i] <= 'Z';
}

// The offset from `k` of the bracket that closes the one at k ("(", "[", "{" or "<"), or 0
// when it is not within `reach` tokens or a token that cannot stand inside comes first (for
// "<": ";", "{", "}", "&&" and "||"). Counts the other brackets inside; ">>" closes two angles.
inline long MatchingClose(TokenWindow& w, long k, long reach = long(TokenWindow::kAhead)) {
    const uint8_t open = w.At(k).op;
    const bool angle = open == '<';
    int depth = 0;
    int angles = 0;
    const long last = k + reach < long(TokenWindow::kAhead) ? k + reach : long(TokenWindow::kAhead);
    for (long i = k + 1; i < last; ++i) {
        const Token& t = w.At(i);
        if (t.kind == TokenKind::End || t.kind == TokenKind::Directive ||
            t.kind == TokenKind::DirectiveEnd) {
            return 0;
        }
        if (t.kind != TokenKind::Punct) {
            continue;
        }
        const uint8_t op = t.op;
        if (op == '(' || op == '[' || op == '{') {
            ++depth;
        } else if (op == ')' || op == ']' || op == '}') {
            if (depth == 0) {
                return !angle && ((open == '(' && op == ')') || (open == '[' && op == ']') ||
                                  (open == '{' && op == '}'))
                           ? i
                           : 0;
            }
            --depth;
        } else if (angle && depth == 0) {
            if (op == ';' || op == '{' || op == '}' || op == kAndAnd || op == kOrOr) {
                return 0;
            }
            if (op == '<') {
                ++angles;
            } else if (op == '>') {
                if (angles == 0) {
                    return i;
                }
                --angles;
            }
        } else if (!angle && depth == 0 && op == ';' && open != '{') {
            return 0;
        }
    }
    return 0;
}

// Past [[...]], alignas(...), __attribute__((...)) and __declspec(...) from k.
inline long SkipAttributes(TokenWindow& w, const TokenText& text, long k) {
    for (int n = 0; n < 8; ++n) {
        const Token& t = w.At(k);
        if (IsPunct(t, '[') && IsPunct(w.At(k + 1), '[')) {
            const long close = MatchingClose(w, k);
            if (close == 0) {
                return k;
            }
            k = close + 1;
        } else if (text.KeywordAt(t) == Keyword::Attribute && IsPunct(w.At(k + 1), '(')) {
            const long close = MatchingClose(w, k + 1);
            if (close == 0) {
                return k;
            }
            k = close + 1;
        } else {
            return k;
        }
    }
    return k;
}

} // namespace names
