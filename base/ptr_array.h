#pragma once
// A growable array of pointers. It owns its slot array, never what the slots point to: the
// owner of the array frees those.

#include "base/memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// The capacity of a full array after it grows: 50 slots, then 100, then half as many again
// rounded up to a multiple of 50 (150, 250, 400, ...), so that adding n items copies fewer than
// 3n. Returns 0 when no larger capacity fits in 32 bits.
constexpr int32_t GrownCapacity(int32_t capacity) noexcept {
    constexpr int64_t kStep = 50;
    constexpr int64_t kMost = INT32_MAX / kStep * kStep;
    if (capacity >= kMost) {
        return 0;
    }
    const int64_t half_again = (int64_t(capacity) * 3 / 2 + kStep - 1) / kStep * kStep;
    const int64_t grown = half_again > capacity ? half_again : capacity + kStep;
    return int32_t(grown < kMost ? grown : kMost);
}

template <typename T>
class PtrArray {
public:
    PtrArray() = default;
    ~PtrArray() { std::free(m_items); }
    PtrArray(const PtrArray&) = delete;
    PtrArray& operator=(const PtrArray&) = delete;

    // Appends `item` as the last slot. Returns 1, or 0 when memory runs out: the array is then
    // unchanged and the caller still owns `item`.
    int Add(T* item) noexcept {
        if (m_count == m_capacity && !Grow()) {
            return 0;
        }
        m_items[m_count++] = item;
        return 1;
    }

    // The slot at `index`, or null when there is no such slot.
    T** GetAt(int32_t index) noexcept {
        return (m_items == nullptr || index < 0 || index >= m_count) ? nullptr : &m_items[index];
    }
    T* const* GetAt(int32_t index) const noexcept {
        return (m_items == nullptr || index < 0 || index >= m_count) ? nullptr : &m_items[index];
    }

    // Frees the slot array, nothing that the slots point to.
    void RemoveAll() noexcept {
        std::free(m_items);
        m_items = nullptr;
        m_capacity = 0;
        m_count = 0;
    }

    int32_t GetCount() const noexcept { return m_count; }
    int32_t GetCapacity() const noexcept { return m_capacity; }

    // The stored pointers in order, for the converter's in-place sort.
    T** begin() noexcept { return m_items; }
    T** end() noexcept { return m_items == nullptr ? nullptr : m_items + m_count; }

private:
    bool Grow() noexcept {
        const int32_t capacity = GrownCapacity(m_capacity);
        if (capacity == 0) {
            return false;
        }
        auto** items = static_cast<T**>(tarvo::TryAllocate(sizeof(T*) * std::size_t(capacity)));
        if (items == nullptr) {
            return false;
        }
        if (m_count != 0) {
            std::memcpy(items, m_items, sizeof(T*) * std::size_t(m_count));
        }
        std::free(m_items);
        m_items = items;
        m_capacity = capacity;
        return true;
    }

    int32_t m_capacity = 0;
    int32_t m_count = 0;
    T** m_items = nullptr;
};
