#pragma once
// A window over the token stream: the tokens just passed and those ahead, lexed once each, so
// that a pass can look a bounded way back and forward from the token it is at.

#include "names/name_lexer.h"

namespace names {

// The scopes that braces open, as far as the passes care.
enum class Brace : uint8_t { Namespace, Class, Block };

class TokenWindow {
public:
    // How far a pass may look ahead and back.
    static constexpr std::size_t kAhead = 480;
    static constexpr std::size_t kBack = 16;
    // Always lexed ahead of the current token: a look this near needs no test.
    static constexpr long kNear = 16;

    TokenWindow(std::string_view text, std::size_t start, bool escaped) noexcept
        : m_lexer(text, start, escaped) {
        Lex(kBatch); // the slots behind the first token stay End tokens
    }

    // The current token (0), one ahead (1, ...) or behind (-1, ...); past the text's end an
    // End token, before its start an End token too.
    const Token& At(long k) noexcept {
        if (k >= -long(kBack) && k <= kNear) [[likely]] {
            return Slot(m_index + std::size_t(k));
        }
        if (k < 0) {
            return m_none;
        }
        const std::size_t want = m_index + std::size_t(k > long(kAhead) ? kAhead : k);
        while (m_lexed <= want && !m_ended) {
            Lex(kBatch);
        }
        return m_lexed <= want ? m_none : Slot(want);
    }
    void Advance() noexcept {
        if (Slot(m_index).kind != TokenKind::End) {
            ++m_index;
            if (m_lexed <= m_index + std::size_t(kNear) && !m_ended) {
                Lex(kBatch);
            }
        }
    }

private:
    static constexpr std::size_t kBatch = 64;
    // A power of two above kAhead + kNear + kBatch + kBack.
    static constexpr std::size_t kSize = 1024;
    Token& Slot(std::size_t i) noexcept { return m_ring[i & (kSize - 1)]; }

    // Lexes up to `count` more tokens, as far as the ring's end; after the End token, End
    // tokens as far as a near look goes.
    void Lex(std::size_t count) noexcept {
        const std::size_t at = m_lexed & (kSize - 1);
        const std::size_t room = kSize - at < count ? kSize - at : count;
        const std::size_t made = m_lexer.Lex(m_ring + at, room);
        m_lexed += made;
        if (made < room) {
            m_ended = true;
            for (std::size_t i = 0; i <= std::size_t(kNear); ++i) {
                Slot(m_lexed + i) = m_none;
            }
        }
    }

    NameLexer m_lexer;
    Token m_ring[kSize];
    Token m_none;
    std::size_t m_index = 0;
    std::size_t m_lexed = 0;
    bool m_ended = false;
};

} // namespace names
