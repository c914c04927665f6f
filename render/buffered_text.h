#pragma once
// The writers' output: appended through a small buffer of its own, so that the many short pieces
// of a rendition (a tag, a line's number, the text between two spans, an escape) are each a few
// inlined moves instead of a library call or two, and reach the text in large blocks. The text
// grows through the allocation hook; after a failure every later append is dropped and Failed()
// tells the writer to give up.

#include "base/memory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Where a text goes that is handed on a block at a time instead of kept whole (a file written as
// it comes): the writer's memory then stays at a block whatever the text's length.
class TextBlocks {
public:
    // Takes the next block. It may leave bytes at the end of `block` (erasing the rest), which
    // then begin the next one; `last`: no block follows, so it must take everything. False stops
    // the writer, which then fails.
    virtual bool Take(std::string& block, bool last) = 0;

protected:
    ~TextBlocks() = default;
};

class BufferedText {
public:
    explicit BufferedText(std::string& text) : m_text(text) {}
    // Hands the text to `blocks` in blocks of about kBlock bytes, using `text` for the block.
    BufferedText(std::string& text, TextBlocks* blocks) : m_text(text), m_blocks(blocks) {}
    BufferedText(const BufferedText&) = delete;
    BufferedText& operator=(const BufferedText&) = delete;
    // What still waits is put into the text: a writer that gives up loses nothing it wrote.
    ~BufferedText() { Flush(); }

    void Append(const char* data, std::size_t length) {
        if (length <= kRoom - m_used) [[likely]] {
            Copy(m_buffer + m_used, data, length);
            m_used += length;
            return;
        }
        AppendLong(data, length);
    }
    void Append(std::string_view data) { Append(data.data(), data.size()); }
    void Append(char c) {
        if (m_used < kRoom) [[likely]] {
            m_buffer[m_used++] = c;
            return;
        }
        AppendLong(&c, 1);
    }

    // Grows the text to hold `capacity` characters (handed on in blocks: a block). False when
    // memory ran out.
    bool Reserve(std::size_t capacity) {
        if (m_blocks != nullptr) {
            capacity = std::min(capacity, kBlock + kRoom);
        }
        m_failed = m_failed || !tarvo::TryReserve(m_text, capacity);
        return !m_failed;
    }
    // Puts what waits into the text, which is whole only after this. False when memory ran out,
    // now or before.
    bool Flush() {
        if (m_used != 0) {
            Put(m_buffer, m_used);
            m_used = 0;
        }
        return !m_failed;
    }
    // Flushes, and hands the last block on where blocks are taken. False as Flush, or when the
    // blocks were refused.
    bool Finish() {
        Flush();
        if (m_blocks != nullptr && !m_failed) {
            Hand(true);
        }
        return !m_failed;
    }
    bool Failed() const { return m_failed; }
    // Every character appended so far, handed on or not.
    std::size_t Size() const { return m_handed + m_text.size() + m_used; }

    static constexpr std::size_t kBlock = std::size_t(1) << 20;

private:
    static constexpr std::size_t kRoom = 8192;

    // Sixteen bytes, in one move where the processor has them.
    static void Copy16(char* to, const char* from) {
        char block[16];
        std::memcpy(block, from, 16);
        std::memcpy(to, block, 16);
    }

    // The short pieces (a line's number and most text between two spans among them) by
    // overlapping moves of fixed sizes, the long ones by the library.
    static void Copy(char* to, const char* from, std::size_t length) {
        if (length > 16) {
            if (length > 64) {
                std::memcpy(to, from, length);
            } else if (length > 32) {
                Copy16(to, from);
                Copy16(to + 16, from + 16);
                Copy16(to + length - 32, from + length - 32);
                Copy16(to + length - 16, from + length - 16);
            } else {
                Copy16(to, from);
                Copy16(to + length - 16, from + length - 16);
            }
            return;
        }
        if (length >= 8) {
            uint64_t head, tail;
            std::memcpy(&head, from, 8);
            std::memcpy(&tail, from + length - 8, 8);
            std::memcpy(to, &head, 8);
            std::memcpy(to + length - 8, &tail, 8);
        } else if (length >= 4) {
            uint32_t head, tail;
            std::memcpy(&head, from, 4);
            std::memcpy(&tail, from + length - 4, 4);
            std::memcpy(to, &head, 4);
            std::memcpy(to + length - 4, &tail, 4);
        } else if (length != 0) {
            to[0] = from[0];
            to[length / 2] = from[length / 2];
            to[length - 1] = from[length - 1];
        }
    }

    [[gnu::noinline]] void AppendLong(const char* data, std::size_t length) {
        Flush();
        if (length > kRoom) {
            Put(data, length);
        } else {
            std::memcpy(m_buffer, data, length);
            m_used = length;
        }
    }

    void Put(const char* data, std::size_t length) {
        if (m_failed) {
            return;
        }
        const std::size_t need = m_text.size() + length;
        if (need > m_text.capacity() &&
            !tarvo::TryReserve(m_text, std::max(need, m_text.capacity() * 2))) {
            m_failed = true;
            return;
        }
        m_text.append(data, length);
        if (m_blocks != nullptr && m_text.size() >= kBlock) {
            Hand(false);
        }
    }

    [[gnu::noinline]] void Hand(bool last) {
        const std::size_t before = m_text.size();
        m_failed = !m_blocks->Take(m_text, last);
        m_handed += before - m_text.size();
    }

    std::string& m_text;
    TextBlocks* m_blocks = nullptr;
    std::size_t m_handed = 0;
    std::size_t m_used = 0;
    bool m_failed = false;
    char m_buffer[kRoom];
};
