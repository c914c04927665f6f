#pragma once
// The classes a name can take in a conversion, beside the keywords and literals.

#include <cstdint>

enum class NameClass : uint8_t { None, Function, Type, Namespace, Macro };
