#pragma once
// The words of C++23 that are never names: the keywords, the alternative tokens, the
// identifiers with special meaning, and the compilers' own keywords; each with what the name
// passes need to know of it.

#include <cstdint>
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

Keyword KeywordOf(std::string_view word, uint64_t hash) noexcept;

} // namespace names
