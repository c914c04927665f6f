#include "config_text.h"

#include "config_file.h"
#include "memory.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void AppendStringLiteralBody(std::string& out, std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '/':
            out += '/';
            if (i + 1 < value.size() && (value[i + 1] == '/' || value[i + 1] == '*')) {
                out += "\\0";
            }
            break;
        default:
            out += c;
            break;
        }
    }
}

void AppendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
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
    va_end(args);
}

StringRead ReadStringSetting(const ConfigFile& config, const char* key, char*& value) {
    int32_t length = 0;
    if (config.GetStringLength(key, length) != CFG_OK || length < 0) {
        return StringRead::Missing;
    }
    auto* buffer = static_cast<char*>(tarvo::TryAllocate(std::size_t(length) + 1));
    if (buffer == nullptr) {
        return StringRead::OutOfMemory;
    }
    if (config.GetString(key, buffer, length + 1) != CFG_OK) {
        std::free(buffer);
        return StringRead::Missing;
    }
    buffer[length] = '\0';
    value = buffer;
    return StringRead::Ok;
}
