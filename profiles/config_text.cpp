#include "profiles/config_text.h"

#include "base/memory.h"
#include "config/config_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

StringRead ReadStringSetting(const ConfigFile& config, const char* key, char*& value) {
    // A string written in place, as Tarvo writes every one, takes one look-up instead of two:
    // this halves the time to load a profile of a million keywords.
    int32_t index = 0;
    const ConfigToken* token =
        config.FindValue(key, index) == CFG_OK ? config.TokenAt(index) : nullptr;
    if (token != nullptr && token->kind == TOKEN_STRING && token->text) {
        value = tarvo::DuplicateString(token->text.get(), std::strlen(token->text.get()));
        return value != nullptr ? StringRead::Ok : StringRead::OutOfMemory;
    }
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
