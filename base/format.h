#pragma once
// printf into a std::string, for the texts that the program writes with printf formats.

#include <string>

namespace tarvo {

// Appends the formatted text to `out`.
__attribute__((format(printf, 2, 3))) void AppendFormat(std::string& out, const char* format, ...);

// The formatted text.
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...);

} // namespace tarvo
