#include "names/token_replay.h"

#include "base/memory.h"

#include <bit>

namespace names {
namespace {

// All ones in the first k bytes of a number, 1 <= k <= 8.
inline uint64_t FirstBytes(std::size_t k) {
    return k >= 8 ? ~uint64_t(0) : (uint64_t(1) << (8 * k)) - 1;
}

// HashWord of the word of `length` bytes at p, as the lexer computed it.
inline uint64_t HashAt(const char* text, std::size_t n, std::size_t p, std::size_t length) {
    if (length <= 16 && p + 16 <= n && std::endian::native == std::endian::little) {
        uint64_t lo;
        uint64_t hi;
        std::memcpy(&lo, text + p, 8);
        std::memcpy(&hi, text + p + 8, 8);
        lo &= FirstBytes(length);
        hi = length <= 8 ? 0 : hi & FirstBytes(length - 8);
        return HashHead(lo, hi, length);
    }
    uint64_t lo;
    uint64_t hi;
    WordHead(text + p, length, lo, hi);
    return HashTail(HashHead(lo, hi, length), text + p, length, n - p);
}

} // namespace

void TokenReplay::Begin(std::string_view text, std::size_t expected, bool fixed) noexcept {
    m_text = text.data();
    m_length = text.size();
    m_used = 0;
    m_published = 0;
    m_cursor.read = 0;
    m_cursor.rest.reset();
    m_stopped = false;
    m_fixed = false;
    m_rest.reset();
    m_shared.store(0, std::memory_order_relaxed);
    // Offsets of 32 bits; a record too big for its bound is not begun.
    if (text.size() < UINT32_MAX) {
        Grow(expected < kMaxTokens ? expected : kMaxTokens);
    }
    m_fixed = fixed;
}

bool TokenReplay::Grow(std::size_t need) noexcept {
    if (need > kMaxTokens || m_length >= UINT32_MAX || m_fixed) {
        return false;
    }
    std::size_t room = m_room < 1024 ? 1024 : m_room * 2;
    while (room < need) {
        room *= 2;
    }
    room = room < kMaxTokens ? room : kMaxTokens;
    auto* grown = static_cast<uint64_t*>(tarvo::TryAllocate(room * sizeof(uint64_t)));
    if (grown == nullptr) {
        return false;
    }
    tarvo::PreferLargePages(grown, room * sizeof(uint64_t));
    if (m_used != 0) {
        std::memcpy(grown, m_packed, m_used * sizeof(uint64_t));
    }
    std::free(m_packed);
    m_packed = grown;
    m_room = room;
    return true;
}

std::size_t TokenReplay::Lex(Cursor& cursor, Token* out, std::size_t count) noexcept {
    std::size_t made = 0;
    for (;;) {
        const uint32_t shared =
            m_fixed ? m_shared.load(std::memory_order_acquire) : uint32_t(m_used) | kEnded;
        bool more = false; // the record's end was met before `count` tokens or the End
        made += Play(cursor, shared & ~kEnded, out + made, count - made, more);
        if (!more) {
            return made;
        }
        if ((shared & kEnded) == 0) {
            m_shared.wait(shared, std::memory_order_acquire); // for more of the record
            continue;
        }
        // Past the record: the lexer that the first pass stopped recording with.
        if (!m_rest.has_value()) {
            return made;
        }
        if (!cursor.rest.has_value()) {
            cursor.rest.emplace(*m_rest);
        }
        return made + cursor.rest->Lex(out + made, count - made);
    }
}

std::size_t TokenReplay::Play(Cursor& cursor, std::size_t used, Token* out, std::size_t count,
                              bool& more) const noexcept {
    // In locals: the stores of tokens may not alias them.
    const char* const text = m_text;
    const std::size_t n = m_length;
    const uint64_t* p = m_packed + cursor.read;
    const uint64_t* const last = m_packed + used;
    std::size_t made = 0;
    while (made < count) {
        if (p == last) [[unlikely]] {
            more = true;
            break;
        }
        const uint64_t e = *p++;
        const std::size_t start = uint32_t(e);
        std::size_t length = (e >> 32) & 0xFFFF;
        if (length == kLong) [[unlikely]] {
            length = *p++;
        }
        const auto flags = uint8_t(e >> 48);
        const auto code = uint8_t(e >> 56);
        const auto kind = TokenKind(flags & ~kLineStart);
        Token& t = out[made++];
        t.start = start;
        t.end = start + length;
        t.kind = kind;
        t.line_start = (flags & kLineStart) != 0;
        if (kind == TokenKind::Identifier) {
            t.op = 0;
            t.keyword = Keyword(code);
            // Only a name is ever looked up: a keyword goes without its hash.
            t.hash = Keyword(code) == Keyword::None ? HashAt(text, n, start, length) : 0;
        } else {
            t.op = code;
            t.keyword = Keyword::Other;
            t.hash = 0;
        }
        if (kind == TokenKind::End) {
            p -= 1; // the End token again on any later call
            break;
        }
    }
    cursor.read = std::size_t(p - m_packed);
    return made;
}

} // namespace names
