// Opens any bytes as a configuration file, runs every look-up kind on names taken from them,
// and checks the answers against each other and against a scan of the token table.

#include "config/config_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '[' || c == ']';
}

// The first definition of `name`, found the slow way.
int32_t ScanForValue(const ConfigFile& config, const char* name) {
    for (int32_t k = 0; k + 2 < config.TokenCount(); ++k) {
        const ConfigToken* token = config.TokenAt(k);
        if (token->kind == TOKEN_NAME && config.TokenAt(k + 1)->kind == TOKEN_ASSIGN &&
            std::strcmp(token->text.get(), name) == 0) {
            return k + 2;
        }
    }
    return -1;
}

void LookUp(const ConfigFile& config, const std::string& name) {
    int32_t index = -1;
    const ConfigResult found = config.FindValue(name.c_str(), index);
    const int32_t expected = ScanForValue(config, name.c_str());
    Check(found == (expected >= 0 ? CFG_OK : config.TokenCount() == 0 ? CFG_EMPTY : CFG_NOT_FOUND));
    Check(found != CFG_OK || index == expected);

    int32_t value = 0;
    const ConfigResult int_result = config.GetInt(name.c_str(), value);
    int32_t length = -1;
    const ConfigResult length_result = config.GetStringLength(name.c_str(), length);
    if (length_result != CFG_OK) {
        Check(config.GetString(name.c_str(), nullptr, 0) == length_result);
        Check(int_result == CFG_OK || int_result == length_result);
        return;
    }
    Check(int_result == CFG_TYPE_MISMATCH && length >= 0);
    // Exact-sized buffers, so that the sanitizer sees any write past them.
    std::vector<char> whole(static_cast<std::size_t>(length) + 1, '#');
    Check(config.GetString(name.c_str(), whole.data(), length + 1) == CFG_OK);
    Check(std::strlen(whole.data()) == static_cast<std::size_t>(length));
    std::vector<char> half(static_cast<std::size_t>(length / 2) + 1, '#');
    Check(config.GetString(name.c_str(), half.data(), length / 2 + 1) == CFG_OK);
    Check(std::memcmp(half.data(), whole.data(), half.size()) == 0);
}

// Every token's line and every position's line against a count from the start.
void ScanTokens(std::FILE* file, const char* text, std::size_t size) {
    std::vector<int32_t> line_at(size + 1, 1);
    for (std::size_t i = 0; i < size; ++i) {
        line_at[i + 1] = line_at[i] + (text[i] == '\n');
    }
    ConfigScanner scanner;
    scanner.LoadText(file);
    while (scanner.OnlyBlanksLeft() == 0) {
        const ConfigToken token = scanner.NextToken();
        Check(scanner.LineNumber() == line_at[static_cast<std::size_t>(scanner.Position())]);
        Check(token.line <= scanner.LineNumber());
        if (token.kind == TOKEN_NONE) {
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Read through a file handle, as the program does.
    std::FILE* file = size == 0 ? std::tmpfile() : fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (file == nullptr) {
        return 0;
    }
    ConfigFile config;
    const ConfigResult result = config.Open(file);
    std::rewind(file);
    ScanTokens(file, reinterpret_cast<const char*>(data), size);
    std::fclose(file);
    Check(result == CFG_OK || result == CFG_BAD_TOKEN || result == CFG_SYNTAX_ERROR);
    Check(result != CFG_BAD_TOKEN || config.TokenCount() == 0);
    Check(std::strlen(config.ErrorText()) <= 255);

    // Names: those of the table and every run of name characters in the input.
    std::set<std::string> names;
    for (int32_t k = 0; k < config.TokenCount(); ++k) {
        const ConfigToken* token = config.TokenAt(k);
        Check(token->kind >= TOKEN_LBRACE && token->kind <= TOKEN_NONE);
        Check((token->text != nullptr) ==
              (token->kind == TOKEN_NAME || token->kind == TOKEN_STRING));
        if (token->kind == TOKEN_NAME) {
            names.insert(token->text.get());
        }
    }
    const char* text = reinterpret_cast<const char*>(data);
    for (std::size_t i = 0; i < size && names.size() < 2000;) {
        std::size_t end = i;
        while (end < size && IsNameChar(text[end])) {
            ++end;
        }
        if (end > i) {
            names.insert(std::string(text + i, end - i));
        }
        i = end + 1;
    }
    names.insert("");
    for (const std::string& name : names) {
        LookUp(config, name);
    }
    return 0;
}
