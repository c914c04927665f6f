#include "profiles/profile_list.h"

#include "base/memory.h"
#include "base/ptr_array.h"

#include <cstdlib>
#include <cstring>
#include <utility>

void ProfileEntry::Clear() noexcept {
    std::free(p_s_name);
    std::free(p_s_file_name);
    p_s_name = nullptr;
    p_s_file_name = nullptr;
}

ProfileEntry::ProfileEntry(ProfileEntry&& other) noexcept
    : p_s_name(other.p_s_name), p_s_file_name(other.p_s_file_name) {
    other.p_s_name = nullptr;
    other.p_s_file_name = nullptr;
}

ProfileEntry& ProfileEntry::operator=(ProfileEntry&& other) noexcept {
    if (this != &other) {
        Clear();
        p_s_name = other.p_s_name;
        p_s_file_name = other.p_s_file_name;
        other.p_s_name = nullptr;
        other.p_s_file_name = nullptr;
    }
    return *this;
}

bool EqualIgnoringAsciiCase(const char* a, const char* b) noexcept {
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (;; ++a, ++b) {
        if (fold(static_cast<unsigned char>(*a)) != fold(static_cast<unsigned char>(*b))) {
            return false;
        }
        if (*a == '\0') {
            return true;
        }
    }
}

int ProfileList::Add(char* name, char* file_name) noexcept {
    if (m_count == m_capacity) {
        const int32_t capacity = GrownCapacity(m_capacity);
        auto* items =
            capacity == 0 ? nullptr : tarvo::TryAllocateArray<ProfileEntry>(std::size_t(capacity));
        if (items == nullptr) {
            return 0;
        }
        for (int32_t i = 0; i < m_count; ++i) {
            items[i] = std::move(m_items[i]);
        }
        delete[] m_items;
        m_items = items;
        m_capacity = capacity;
    }
    m_items[m_count].p_s_name = name;
    m_items[m_count].p_s_file_name = file_name;
    ++m_count;
    return 1;
}

ProfileEntry* ProfileList::GetAt(int32_t index) noexcept {
    return (m_items == nullptr || index < 0 || index >= m_count) ? nullptr : &m_items[index];
}

const ProfileEntry* ProfileList::GetAt(int32_t index) const noexcept {
    return (m_items == nullptr || index < 0 || index >= m_count) ? nullptr : &m_items[index];
}

int32_t ProfileList::FindByName(const char* text) const noexcept {
    if (text == nullptr) {
        return -1;
    }
    for (int32_t i = 0; i < m_count; ++i) {
        if (m_items[i].p_s_name != nullptr && EqualIgnoringAsciiCase(m_items[i].p_s_name, text)) {
            return i;
        }
    }
    return -1;
}

int ProfileList::RemoveAt(int32_t index) noexcept {
    if (m_items == nullptr || index < 0 || index >= m_count) {
        return 0;
    }
    m_items[index].Clear();
    for (int32_t i = index; i + 1 < m_count; ++i) {
        m_items[i] = std::move(m_items[i + 1]);
    }
    --m_count;
    return 1;
}

void ProfileList::RemoveAll() noexcept {
    delete[] m_items; // which frees every entry's strings
    m_items = nullptr;
    m_capacity = 0;
    m_count = 0;
}
