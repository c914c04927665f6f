#pragma once
// The first pass's tokens kept for the second, eight bytes each, so that the text is lexed once:
// the second pass reads them back as the lexer gave them. Bounded: past kMaxTokens (or when
// memory runs out, or for a text of 4 GiB or more) the record stops, and the second pass lexes
// on from there with a copy of the lexer as the record left it.

#include "names/name_lexer.h"

#include <atomic>
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

    // Where one player is in the record.
    struct Cursor {
        std::size_t read = 0;          // the next number to play back
        std::optional<NameLexer> rest; // its own copy of the lexer where the record stopped
    };

    // Keeps the tokens lexed from `text`; `expected` of them fit before the record first grows.
    // `fixed`: it never grows, so that it can be played back while it is recorded.
    void Begin(std::string_view text, std::size_t expected, bool fixed = false) noexcept;
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
        if (m_fixed) {
            Publish(true);
        }
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
        if (m_fixed) {
            // In steps, so that a player that keeps up is not woken for every batch.
            const bool ended = count != 0 && tokens[count - 1].kind == TokenKind::End;
            if (ended || m_used - m_published >= kPublishStep) {
                Publish(ended);
            }
        }
    }

    // Plays the tokens back from the first on, as NameLexer::Lex gives them (but for the hash of
    // a keyword, which is 0): up to `count` into out[0], out[1], ...; fewer only when the last
    // is the End token. Only after the first pass has run to the text's End.
    std::size_t Lex(Token* out, std::size_t count) noexcept { return Lex(m_cursor, out, count); }
    // The same for one of several players, each with its own cursor; it waits for the tokens
    // that another thread is still to record.
    std::size_t Lex(Cursor& cursor, Token* out, std::size_t count) noexcept;

private:
    // A token in one number: its start (32 bits), its length (16 bits, kLong when the next
    // number holds it), its kind with kLineStart (8 bits), then an identifier's Keyword or a
    // punctuator's op (8 bits).
    static constexpr uint64_t kLong = 0xFFFF;
    static constexpr uint8_t kLineStart = 0x80;
    static constexpr std::size_t kPublishStep = 16384; // numbers

    bool Grow(std::size_t need) noexcept;
    // Plays back from the cursor up to the first `used` numbers of the record; `more` when
    // their end came first.
    std::size_t Play(Cursor& cursor, std::size_t used, Token* out, std::size_t count,
                     bool& more) const noexcept;
    // Lets the players see what is recorded so far; `ended`: all of it. Only for a fixed
    // record: another is played back only once it is whole.
    void Publish(bool ended) noexcept {
        m_published = m_used;
        m_shared.store(uint32_t(m_used) | (ended ? kEnded : 0), std::memory_order_release);
        m_shared.notify_all();
    }
    // In m_shared: the numbers recorded (at most kMaxTokens), and whether that is all.
    static constexpr uint32_t kEnded = uint32_t(1) << 31;
    static_assert(2 * kMaxTokens < kEnded);

    const char* m_text = nullptr;
    std::size_t m_length = 0;
    uint64_t* m_packed = nullptr;
    std::size_t m_used = 0;
    std::size_t m_room = 0;
    std::size_t m_published = 0; // m_used when last published
    bool m_stopped = false;
    bool m_fixed = false;            // set before any player starts
    std::optional<NameLexer> m_rest; // where the record stopped
    std::atomic<uint32_t> m_shared{0};
    Cursor m_cursor; // Lex's without one
};

} // namespace names
