#pragma once
// The names of the standard library, from the standard's index of library names: the
// namespaces, types, functions and objects of namespace std, the C library's types that are
// global too, and the macros that the language and its library predefine.

#include "names/name_table.h"

namespace names {

// Names declared in namespace std (std::X), with kNamespace, kType (and kTemplate), kFunction
// or kVariable for the objects and concepts, which are neither types nor functions.
const NameTable& StdNames() noexcept;

// Names that are the same wherever they are used: the C types (`size_t`, `uint32_t`, `FILE`)
// and the predefined and standard macros (`NULL`, `__cplusplus`, `EXIT_SUCCESS`).
const NameTable& GlobalNames() noexcept;

} // namespace names
