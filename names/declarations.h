#pragma once
// The first pass: the names that a source declares (macros, classes and the other types,
// namespaces, functions, and, for the file's own use, template parameters and variables), so
// that the second pass can mark each name by what it was declared as.

#include "names/name_table.h"
#include "names/token_replay.h"

#include <cstddef>
#include <string_view>

namespace names {

// Bounds of the tables: a file's own names and the names of a whole tree. A name past them is
// only left unmarked where its place does not tell its class.
constexpr std::size_t kFileNames = 1 << 18;
constexpr std::size_t kFileNameBytes = 4 << 20;
constexpr std::size_t kTreeNames = 1 << 20;
constexpr std::size_t kTreeNameBytes = 16 << 20;

enum class Scope { File, Tree };

// Adds what `text` declares from `start` on to `table`. `escaped`: the text is a conversion's
// escaped text, where "&lt;", "&gt;" and "&amp;" stand for their characters. With Scope::Tree
// only what other files can see: macros, types, namespaces and functions, not template
// parameters or variables. The tokens go into `replay` too, when it is given (Begin called).
void CollectDeclarations(std::string_view text, std::size_t start, bool escaped, Scope scope,
                         NameTable& table, TokenReplay* replay = nullptr) noexcept;
// The same for a file's escaped text whose tokens `recorded` holds, or is being given by
// another thread.
void CollectRecorded(std::string_view text, std::size_t start, NameTable& table,
                     TokenReplay& recorded) noexcept;

} // namespace names
