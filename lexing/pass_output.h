#pragma once
// What both passes of a conversion share: progress reports and an output that survives running
// out of memory.

#include "base/memory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

// Told the progress of a conversion: a position from 0 to 1024, at most once every 256
// characters. The escape pass covers 0 to 512, the scan 512 to 1024.
class ProgressObserver {
public:
    virtual ~ProgressObserver() = default;
    virtual void Progress(int32_t /*position*/) {}
};

// Progress of one pass: `base` + position * 512 / `length`, reported at multiples of 256.
class Progress {
public:
    Progress(ProgressObserver* observer, std::size_t length, int32_t base)
        : m_observer(observer), m_length(length), m_base(base) {}

    void At(std::size_t position) const {
        if (m_observer != nullptr && position % 256 == 0) {
            Report(position);
        }
    }
    // Every multiple of 256 in [from, to).
    void Range(std::size_t from, std::size_t to) const {
        if (m_observer == nullptr) {
            return;
        }
        for (std::size_t m = (from + 255) / 256 * 256; m < to; m += 256) {
            Report(m);
        }
    }

private:
    void Report(std::size_t position) const {
        // 64-bit arithmetic: position * 512 overflows 32 bits beyond 4 MB.
        m_observer->Progress(
            m_base + int32_t((unsigned long long)position * 512 / (unsigned long long)m_length));
    }

    ProgressObserver* m_observer;
    std::size_t m_length;
    int32_t m_base;
};

// Appends to a string, growing it through the allocation hook; after a failure every later
// append is dropped and Failed() tells the caller to give up.
class Output {
public:
    explicit Output(std::string& text) : m_text(text) {}

    // Inlined everywhere: the writers call it for every piece of text and every tag.
    void Append(const char* data, std::size_t length) {
        if (m_text.size() + length <= m_text.capacity() && !m_failed) [[likely]] {
            m_text.append(data, length);
            return;
        }
        Grow(data, length);
    }
    void Append(const std::string& data) { Append(data.data(), data.size()); }
    bool Reserve(std::size_t capacity) {
        m_failed = m_failed || !tarvo::TryReserve(m_text, capacity);
        return !m_failed;
    }
    bool Failed() const { return m_failed; }

private:
    [[gnu::noinline]] void Grow(const char* data, std::size_t length) {
        if (m_failed) {
            return;
        }
        const std::size_t need = m_text.size() + length;
        if (!tarvo::TryReserve(m_text, std::max(need, m_text.capacity() * 2))) {
            m_failed = true;
            return;
        }
        m_text.append(data, length);
    }

    std::string& m_text;
    bool m_failed = false;
};
