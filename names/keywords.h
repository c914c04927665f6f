#pragma once
// The words of C++23 that are never names: the keywords, the alternative tokens, the
// identifiers with special meaning, and the compilers' own keywords; each with what the name
// passes need to know of it.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace names {

enum class Keyword : uint8_t {
    None,      // not a keyword: a name
    TypeWord,  // int, char, bool, auto, unsigned, ...: the end of a type
    Qualifier, // const, volatile, static, inline, constexpr, virtual, explicit, ...
    ClassKey,  // class, struct, union
    Enum,
    Typename,
    Typedef,
    Using,
    Namespace,
    Template,
    Operator,
    Concept,
    Attribute, // __attribute__, __declspec, alignas: followed by a parenthesised part
    Other,
};

// Every keyword, for the lexer to tell keywords from names: open addressing on the word's
// hash (HashWord), a slot empty when its length is 0. Each slot holds the keyword's first
// sixteen bytes (as WordHead gives them), which decide for all but the longest.
class KeywordTable {
public:
    KeywordTable() noexcept;

    // The keyword that the word is, or None; `lo` and `hi` its WordHead, `hash` its HashWord.
    Keyword Find(const char* word, std::size_t length, uint64_t lo, uint64_t hi,
                 uint64_t hash) const noexcept {
        if ((m_filter[hash >> 58] >> (hash >> 52 & 63) & 1) == 0) {
            return Keyword::None; // most names
        }
        for (std::size_t i = hash >> 54;; i = (i + 1) % kSlots) {
            const Slot& s = m_slots[i];
            if (s.length == 0) {
                return Keyword::None;
            }
            if (s.lo == lo && s.hi == hi && s.length == length &&
                (length <= 16 ||
                 std::memcmp(word + 16, m_text + s.offset + 16, length - 16) == 0)) {
                return s.kind;
            }
        }
    }

private:
    static constexpr std::size_t kSlots = 1024;
    struct Slot {
        uint64_t lo;
        uint64_t hi;
        uint16_t offset;
        uint8_t length;
        Keyword kind;
    };

    uint64_t m_filter[64] = {}; // bit hash >> 52 of each keyword's hash
    Slot m_slots[kSlots] = {};
    char m_text[8192] = {};
};

const KeywordTable& Keywords() noexcept;

} // namespace names
