#include "base/format.h"

#include <cstdarg>
#include <cstdio>

namespace tarvo {

namespace {

void AppendFormatV(std::string& out, const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        const std::size_t at = out.size();
        out.resize(at + std::size_t(length) + 1);
        std::vsnprintf(out.data() + at, std::size_t(length) + 1, format, args);
        out.resize(at + std::size_t(length));
    }
}

} // namespace

void AppendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(out, format, args);
    va_end(args);
}

std::string Format(const char* format, ...) {
    std::string out;
    va_list args;
    va_start(args, format);
    AppendFormatV(out, format, args);
    va_end(args);
    return out;
}

} // namespace tarvo
