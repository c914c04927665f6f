#pragma once
// A growable array of pointers that grows by exactly 50 slots at a time. It owns its slot array,
// never what the slots point to: the owner of the array frees those.

#include "convert/memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

template <typename T>
class PtrArray {
public:
    static constexpr int32_t kGrowBy = 50;

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
        if (m_capacity > INT32_MAX - kGrowBy) {
            return false;
        }
        const int32_t capacity = m_capacity + kGrowBy;
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
