#pragma once
// A window over the token stream: the tokens just passed and those ahead, lexed once each, so
// that a pass can look a bounded way back and forward from the token it is at.

#include "names/name_lexer.h"
#include "names/token_replay.h"

#include <cstring>

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

    // `replay`, when given: Record, the tokens lexed go into it (Begin called); Play, they come
    // from it (recorded from the same text, to its End or while this plays) instead of the
    // lexer.
    enum class Use { Record, Play };
    TokenWindow(std::string_view text, std::size_t start, bool escaped,
                TokenReplay* replay = nullptr, Use use = Use::Record) noexcept
        : m_lexer(text, start, escaped), m_current(m_tokens + kBack), m_end(m_current),
          m_record(use == Use::Record ? replay : nullptr),
          m_play(use != Use::Record ? replay : nullptr) {
        Lex(); // the slots behind the first token stay End tokens
    }
    TokenWindow(const TokenWindow&) = delete;
    TokenWindow& operator=(const TokenWindow&) = delete;

    // The current token (0), one ahead (1, ...) or behind (-1, ...); past the text's end an
    // End token, before its start an End token too. A reference stays good until Advance.
    const Token& At(long k) noexcept {
        if (k >= -long(kBack) && k <= kNear) [[likely]] {
            return m_current[k];
        }
        if (k < 0) {
            return m_none;
        }
        const Token* want = m_current + (k > long(kAhead) ? long(kAhead) : k);
        while (want >= m_end && !m_ended) {
            Lex();
        }
        return want >= m_end ? m_none : *want;
    }
    void Advance() noexcept {
        if (m_current->kind != TokenKind::End) {
            ++m_current;
            if (m_current >= m_limit) [[unlikely]] {
                if (m_current > m_tokens + (kSize - kRoom)) {
                    Compact();
                }
                if (m_end - m_current <= kNear && !m_ended) {
                    Lex();
                }
            }
        }
    }

private:
    static constexpr std::size_t kBatch = 64;
    // What must fit after the current token: the farthest look, a batch lexed past it, and
    // the End tokens after the last. Past kSize - kRoom the tokens move to the front.
    static constexpr std::size_t kRoom = kAhead + 2 * kBatch + kNear + 1;
    static constexpr std::size_t kSize = 1024;
    static_assert(kSize > kBack + kRoom + kBatch);

    // Lexes a batch more; after the End token, End tokens as far as a near look goes.
    void Lex() noexcept {
        if (m_record != nullptr && !m_record->Room(kBatch, m_lexer)) {
            m_record = nullptr;
        }
        const std::size_t made =
            m_play != nullptr ? m_play->Lex(m_cursor, m_end, kBatch) : m_lexer.Lex(m_end, kBatch);
        if (m_record != nullptr) {
            m_record->Record(m_end, made);
        }
        m_end += made;
        if (made < kBatch) {
            m_ended = true;
            for (long i = 0; i <= kNear; ++i) {
                m_end[i] = m_none;
            }
        }
        Limit();
    }
    // Moves the tokens from kBack behind the current one to the last lexed to the front.
    void Compact() noexcept {
        Token* from = m_current - kBack;
        const std::size_t count = std::size_t(m_end - from);
        std::memmove(m_tokens, from, count * sizeof(Token));
        m_current = m_tokens + kBack;
        m_end = m_tokens + count;
        if (m_ended) {
            for (long i = 0; i <= kNear; ++i) {
                m_end[i] = m_none;
            }
        }
        Limit();
    }
    // Where Advance next has more to do than step: a batch to lex, or the tokens to move.
    void Limit() noexcept {
        Token* const compact = m_tokens + (kSize - kRoom) + 1;
        Token* const lex = m_end - kNear;
        m_limit = !m_ended && lex < compact ? lex : compact;
    }

    NameLexer m_lexer;
    Token m_tokens[kSize];
    Token m_none;
    Token* m_current;
    Token* m_end;   // past the last token lexed
    Token* m_limit; // see Limit
    TokenReplay* m_record;
    TokenReplay* m_play;
    TokenReplay::Cursor m_cursor; // m_play's
    bool m_ended = false;
};

} // namespace names
