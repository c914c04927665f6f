#pragma once
// Text that the configuration-file reader reads back exactly as it was written.

#include <string>
#include <string_view>

// Appends `value` as the inside of a string literal (without the quotes): backslash, double
// quote, line feed and carriage return as escapes, and "//" and "/*" broken by the empty escape
// \0 after the slash, since the reader takes comments out before it sees strings. Any value
// without a NUL byte reads back byte for byte; a value without those characters is written as
// it stands.
void AppendStringLiteralBody(std::string& out, std::string_view value);

// printf into a std::string.
__attribute__((format(printf, 2, 3))) void AppendFormat(std::string& out, const char* format, ...);
