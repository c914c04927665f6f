#pragma once
// The first pass's tokens kept for the second, eight bytes each, so that the text is lexed once:
// the second pass reads them back as the lexer gave them. Bounded: past kMaxTokens (or when
// memory runs out, or for a text of 4 GiB or more) the record stops, and the second pass lexes
// on from there with a copy of the lexer as the record left it.

#include "names/name_lexer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace names {

class TokenReplay {
public:
    // 64 MiB at most (a number for each token, two for a token of 64 KiB or more): about 55 MB
    // of C++.
    static constexpr std::size_t kMaxTokens = std::size_t(1) << 23;

    TokenReplay() noexcept = default;
    ~TokenReplay() { std::free(m_packed); }
    TokenReplay(const TokenReplay&) = delete;
    TokenReplay& operator=(const TokenReplay&) = delete;

    // Keeps the tokens lexed from `text`; `expected` of them fit before the record first grows.
    void Begin(std::string_view text, std::size_t expected) noexcept;
    // Before the lexer gives up to `count` more tokens: whether the record can take them. When
    // it cannot, it stops for good, and `lexer` (as it is now) lexes the rest when played back.
    bool Room(std::size_t count, const NameLexer& lexer) noexcept {
        if (m_stopped) {
            return false;
        }
        if (m_used + 2 * count <= m_room || Grow(m_used + 2 * count)) {
            return true;
        }
        m_stopped = true;
        m_rest.emplace(lexer);
        return false;
    }
    // Appends tokens as the lexer gave them, in order, after Room said there was room for them.
    void Record(const Token* tokens, std::size_t count) noexcept {
        uint64_t* out = m_packed + m_used;
        for (const Token* t = tokens; t != tokens + count; ++t) {
            const std::size_t start = t->start;
            const std::size_t length = t->end - start;
            const auto kind = uint8_t(t->kind);
            const uint8_t code = t->kind == TokenKind::Identifier ? uint8_t(t->keyword) : t->op;
            const uint64_t flags = uint64_t(kind | (t->line_start ? kLineStart : 0)) << 48 |
                                   uint64_t(code) << 56 | uint32_t(start);
            if (length < kLong) [[likely]] {
                *out++ = flags | uint64_t(length) << 32;
            } else {
                *out++ = flags | kLong << 32;
                *out++ = length; // the length in full
            }
        }
        m_used = std::size_t(out - m_packed);
    }

    // Plays the tokens back from the first on, as NameLexer::Lex gives them (but for the hash of
    // a keyword, which is 0): up to `count` into out[0], out[1], ...; fewer only when the last
    // is the End token. Only after the first pass has run to the text's End.
    std::size_t Lex(Token* out, std::size_t count) noexcept;

private:
    // A token in one number: its start (32 bits), its length (16 bits, kLong when the next
    // number holds it), its kind with kLineStart (8 bits), then an identifier's Keyword or a
    // punctuator's op (8 bits).
    static constexpr uint64_t kLong = 0xFFFF;
    static constexpr uint8_t kLineStart = 0x80;

    bool Grow(std::size_t need) noexcept;

    const char* m_text = nullptr;
    std::size_t m_length = 0;
    uint64_t* m_packed = nullptr;
    std::size_t m_used = 0;
    std::size_t m_room = 0;
    bool m_stopped = false;
    std::optional<NameLexer> m_rest; // where the record stopped
    std::size_t m_read = 0;          // the next number to play back
};

} // namespace names
