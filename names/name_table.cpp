#include "names/name_table.h"

#include "base/memory.h"
#include "names/name_lexer.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace names {

NameTable::NameTable(std::size_t max_names, std::size_t max_bytes) noexcept
    : m_max_names(max_names < UINT32_MAX / 2 ? max_names : UINT32_MAX / 2),
      m_max_bytes(max_bytes < UINT32_MAX ? max_bytes : UINT32_MAX) {}

NameTable::~NameTable() {
    delete[] m_slots;
    delete[] m_entries;
    delete[] m_text;
}

NameTable::NameTable(NameTable&& other) noexcept
    : m_max_names(other.m_max_names), m_max_bytes(other.m_max_bytes),
      m_slots(std::exchange(other.m_slots, nullptr)), m_mask(std::exchange(other.m_mask, 0)),
      m_entries(std::exchange(other.m_entries, nullptr)), m_count(std::exchange(other.m_count, 0)),
      m_entry_room(std::exchange(other.m_entry_room, 0)),
      m_text(std::exchange(other.m_text, nullptr)),
      m_text_used(std::exchange(other.m_text_used, 0)),
      m_text_room(std::exchange(other.m_text_room, 0)), m_dropped(other.m_dropped) {}

std::size_t NameTable::MemoryUsed() const noexcept {
    return (m_slots == nullptr ? 0 : (m_mask + 1) * sizeof(uint32_t)) +
           m_entry_room * sizeof(Entry) + (m_text == nullptr ? 0 : m_text_room + kPad);
}

std::size_t NameTable::Slot(std::string_view name, uint64_t hash) const noexcept {
    std::size_t i = std::size_t(hash) & m_mask;
    for (;;) {
        const uint32_t e = m_slots[i];
        if (e == 0) {
            return i;
        }
        const Entry& entry = m_entries[e - 1];
        if (entry.hash == hash && entry.length == name.size() &&
            std::memcmp(m_text + entry.offset, name.data(), name.size()) == 0) {
            return i;
        }
        i = (i + 1) & m_mask;
    }
}

uint16_t NameTable::Find(std::string_view name) const noexcept {
    return Find(name, HashWord(name.data(), name.size()));
}

bool NameTable::Add(std::string_view name, uint16_t bits) noexcept {
    return Add(name, HashWord(name.data(), name.size()), bits);
}

// Slots stay at most half full; entries and text grow by doubling up to the table's bounds.
bool NameTable::Grow() noexcept {
    const std::size_t entries = m_entry_room == 0 ? 64 : m_entry_room * 2;
    const std::size_t room = entries < m_max_names ? entries : m_max_names;
    std::size_t slot_count = 128;
    while (slot_count < room * 2) {
        slot_count *= 2;
    }
    auto* grown = tarvo::TryAllocateArray<Entry>(room);
    auto* slots = tarvo::TryAllocateArray<uint32_t>(slot_count);
    if (grown == nullptr || slots == nullptr) {
        delete[] grown;
        delete[] slots;
        return false;
    }
    if (m_count != 0) {
        std::memcpy(grown, m_entries, m_count * sizeof(Entry));
    }
    delete[] m_entries;
    delete[] m_slots;
    m_entries = grown;
    m_entry_room = room;
    m_slots = slots;
    m_mask = slot_count - 1;
    for (std::size_t k = 0; k < m_count; ++k) {
        std::size_t i = std::size_t(m_entries[k].hash) & m_mask;
        while (m_slots[i] != 0) {
            i = (i + 1) & m_mask;
        }
        m_slots[i] = uint32_t(k + 1);
    }
    return true;
}

bool NameTable::Add(std::string_view name, uint64_t hash, uint16_t bits) noexcept {
    if (name.empty() || name.size() > 255) {
        m_dropped = true;
        return false;
    }
    if (m_count != 0) {
        const std::size_t i = Slot(name, hash);
        if (m_slots[i] != 0) {
            m_entries[m_slots[i] - 1].bits |= bits;
            return true;
        }
    }
    if (m_count >= m_max_names || m_text_used + name.size() > m_max_bytes) {
        m_dropped = true;
        return false;
    }
    if (m_count == m_entry_room && !Grow()) {
        m_dropped = true;
        return false;
    }
    if (m_text_used + name.size() > m_text_room) {
        std::size_t room = m_text_room == 0 ? 1024 : m_text_room * 2;
        while (room < m_text_used + name.size()) {
            room *= 2;
        }
        room = room < m_max_bytes ? room : m_max_bytes;
        char* text = tarvo::TryAllocateArray<char>(room + kPad);
        if (text == nullptr) {
            m_dropped = true;
            return false;
        }
        std::memset(text + m_text_used, 0, room + kPad - m_text_used);
        if (m_text_used != 0) {
            std::memcpy(text, m_text, m_text_used);
        }
        delete[] m_text;
        m_text = text;
        m_text_room = room;
    }
    std::memcpy(m_text + m_text_used, name.data(), name.size());
    m_entries[m_count] = Entry{hash, uint32_t(m_text_used), uint16_t(name.size()), bits};
    m_text_used += name.size();
    ++m_count;
    m_slots[Slot(name, hash)] = uint32_t(m_count);
    return true;
}

bool NameTable::Assign(std::string_view name, uint64_t hash, uint16_t bits) noexcept {
    if (!Add(name, hash, bits)) {
        return false;
    }
    m_entries[m_slots[Slot(name, hash)] - 1].bits = bits;
    return true;
}

void NameTable::Merge(const NameTable& other) noexcept {
    for (std::size_t k = 0; k < other.m_count; ++k) {
        const Entry& e = other.m_entries[k];
        Add(std::string_view(other.m_text + e.offset, e.length), e.hash, e.bits);
    }
}

} // namespace names
