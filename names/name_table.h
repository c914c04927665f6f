#pragma once
// A set of names, each with what it was declared as: an open-addressing hash table over one
// block of name text. Bounded: it holds at most the number of names and bytes of name text it
// was made for, and drops what comes after (a name it lacks is only left unmarked).

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace names {

// What a name was declared as; one name may be several (`stat`, a struct and a function).
enum NameBits : uint16_t {
    kMacro = 1,         // #define'd
    kMacroFunction = 2, // a function-like macro
    kType = 4,          // a class, struct, union, enum, typedef, alias or type parameter
    kNamespace = 8,
    kFunction = 16,
    kVariable = 32,    // an object: a variable, a parameter, a constant
    kTemplate = 64,    // a class or alias template
    kUndefined = 128,  // #undef'd in the file
    kMacroAlways = 256 // #define'd outside any #if but the include guard, somewhere
};

class NameTable {
public:
    // At most `max_names` names of up to 255 bytes, and `max_bytes` of their text.
    NameTable(std::size_t max_names, std::size_t max_bytes) noexcept;
    ~NameTable();
    NameTable(const NameTable&) = delete;
    NameTable& operator=(const NameTable&) = delete;
    NameTable(NameTable&& other) noexcept;
    NameTable& operator=(NameTable&&) = delete;

    // Adds `bits` to the name's. False when the name was dropped: the table is full, the name
    // too long, or memory ran out.
    bool Add(std::string_view name, uint64_t hash, uint16_t bits) noexcept;
    bool Add(std::string_view name, uint16_t bits) noexcept;
    // Sets the name's bits to `bits`, adding the name when it is new.
    bool Assign(std::string_view name, uint64_t hash, uint16_t bits) noexcept;
    // Every name of `other` with its bits, in `other`'s order of adding.
    void Merge(const NameTable& other) noexcept;

    // The name's bits, 0 when it is not in the table. Safe from several threads at once.
    // `readable` bytes from the name's start may be read (0: only its own), which lets the
    // comparison of its bytes take eight at a time.
    uint16_t Find(std::string_view name, uint64_t hash, std::size_t readable = 0) const noexcept {
        if (m_count == 0) {
            return 0;
        }
        for (std::size_t i = std::size_t(hash) & m_mask;; i = (i + 1) & m_mask) {
            const uint32_t e = m_slots[i];
            if (e == 0) {
                return 0;
            }
            const Entry& entry = m_entries[e - 1];
            if (entry.hash == hash && entry.length == name.size() &&
                Same(m_text + entry.offset, name.data(), name.size(), readable)) {
                return entry.bits;
            }
        }
    }
    uint16_t Find(std::string_view name) const noexcept;

    std::size_t Size() const noexcept { return m_count; }
    // Whether a name was ever dropped.
    bool Full() const noexcept { return m_dropped; }
    // The bytes the table holds now.
    std::size_t MemoryUsed() const noexcept;

private:
    struct Entry {
        uint64_t hash;
        uint32_t offset;
        uint16_t length;
        uint16_t bits;
    };
    // Whether `length` bytes of the table's text at `stored` are the name's. The table's text
    // has kPad readable bytes past its end.
    static bool Same(const char* stored, const char* name, std::size_t length,
                     std::size_t readable) noexcept {
        std::size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            uint64_t a;
            uint64_t b;
            std::memcpy(&a, stored + i, 8);
            std::memcpy(&b, name + i, 8);
            if (a != b) {
                return false;
            }
        }
        if (i == length) {
            return true;
        }
        if (i + 8 <= readable && std::endian::native == std::endian::little) {
            uint64_t a;
            uint64_t b;
            std::memcpy(&a, stored + i, 8);
            std::memcpy(&b, name + i, 8);
            return ((a ^ b) & (~uint64_t(0) >> (64 - 8 * (length - i)))) == 0;
        }
        return std::memcmp(stored + i, name + i, length - i) == 0;
    }
    static constexpr std::size_t kPad = 8;
    bool Grow() noexcept;
    std::size_t Slot(std::string_view name, uint64_t hash) const noexcept;

    std::size_t m_max_names;
    std::size_t m_max_bytes;
    uint32_t* m_slots = nullptr; // 1 + the entry's index, 0 for an empty slot
    std::size_t m_mask = 0;      // slots - 1
    Entry* m_entries = nullptr;
    std::size_t m_count = 0;
    std::size_t m_entry_room = 0;
    char* m_text = nullptr;
    std::size_t m_text_used = 0;
    std::size_t m_text_room = 0;
    bool m_dropped = false;
};

} // namespace names
