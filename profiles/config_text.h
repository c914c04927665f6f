#pragma once
// Text that the configuration-file reader reads back exactly as it was written.

#include <string>
#include <string_view>

class ConfigFile;

// Appends `value` as the inside of a string literal (without the quotes): backslash, double
// quote, line feed and carriage return as escapes, and "//" and "/*" broken by the empty escape
// \0 after the slash, since the reader takes comments out before it sees strings. Any value
// without a NUL byte reads back byte for byte; a value without those characters is written as
// it stands.
void AppendStringLiteralBody(std::string& out, std::string_view value);

enum class StringRead { Ok, Missing, OutOfMemory };

// Reads the string setting `key` into a new block (free it with std::free): Missing when the key
// is not there or holds no string, OutOfMemory when the block cannot be had.
StringRead ReadStringSetting(const ConfigFile& config, const char* key, char*& value);
