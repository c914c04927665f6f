#pragma once
// Writing a file whole or not at all: the text goes to a new file in the same directory, which
// replaces the target only after every write, the flush to disk and the close succeeded. A full
// disk or an unwritable directory therefore never leaves a truncated file behind.

#include <string_view>

// Returns 1 when `path` now holds exactly `text`, 0 when it still holds what it held before
// (or is still missing); errno then tells why. A new file gets the usual permissions; a replaced
// one keeps its own.
int WriteFileWhole(const char* path, std::string_view text);
