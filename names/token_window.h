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

    TokenWindow(std::string_view text, std::size_t start, bool escaped) noexcept
        : m_lexer(text, start, escaped) {
        m_ring[0] = m_lexer.Next();
        m_lexed = 1;
    }

    // The current token (0), one ahead (1, ...) or behind (-1, ...); past the text's end an
    // End token, before its start an End token too.
    const Token& At(long k) noexcept {
        if (k == 0) {
            return Slot(m_index); // always lexed
        }
        if (k < 0) {
            return std::size_t(-k) > m_index || std::size_t(-k) > kBack ? m_none
                                                                        : Slot(m_index + k);
        }
        const std::size_t want = m_index + std::size_t(k > long(kAhead) ? kAhead : k);
        while (m_lexed <= want) {
            if (m_ended) {
                return m_none;
            }
            Token t = m_lexer.Next();
            m_ended = t.kind == TokenKind::End;
            Slot(m_lexed) = t;
            ++m_lexed;
        }
        return Slot(want);
    }
    void Advance() noexcept {
        if (Slot(m_index).kind != TokenKind::End) {
            ++m_index;
            if (m_lexed <= m_index) {
                Token t = m_lexer.Next();
                m_ended = t.kind == TokenKind::End;
                Slot(m_lexed) = t;
                ++m_lexed;
            }
        }
    }

private:
    static constexpr std::size_t kSize = 512; // a power of two above kAhead + kBack
    Token& Slot(std::size_t i) noexcept { return m_ring[i & (kSize - 1)]; }

    NameLexer m_lexer;
    Token m_ring[kSize];
    Token m_none;
    std::size_t m_index = 0;
    std::size_t m_lexed = 0;
    bool m_ended = false;
};

} // namespace names
