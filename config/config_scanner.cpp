#include "config/config_scanner.h"

#include "base/memory.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr const char* kUnknownEscape = "Unknown escape sequence (skipping)";
constexpr const char* kNumberTooLong = "Too long number found !";
constexpr const char* kUnknownToken = "Unknown token found";
constexpr const char* kNoClosingQuote = "Expected quotation mark not found";
constexpr const char* kNewline = "Newline in constant";
constexpr const char* kUnexpectedEnd = "Unexpected end of file found";
constexpr const char* kNoMemory = "String is too long to fit in memory";

constexpr int kMaxNumberLength = 255;

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsHexLetter(int c) {
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsNameChar(int c) {
    return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '[' || c == ']';
}

// The code of an escape's second character, or -1 when it is not one.
int EscapeCode(int c) {
    switch (c) {
    case '"':
        return 34;
    case '\'':
        return 39;
    case '0':
        return 0;
    case '\\':
        return 92;
    case 'a':
        return 7;
    case 'b':
        return 8;
    case 'f':
        return 12;
    case 'n':
        return 10;
    case 'r':
        return 13;
    case 't':
        return 9;
    case 'v':
        return 11;
    default:
        return -1;
    }
}

// Low 32 bits of the hexadecimal digits, as a two's-complement number.
int32_t HexValue(const char* digits, bool negative) {
    uint32_t value = 0;
    for (const char* p = digits; *p != '\0'; ++p) {
        const int c = *p;
        const uint32_t digit = IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * 16u + digit;
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

// Decimal digits saturated to the 32-bit range.
int32_t DecimalValue(const char* digits, bool negative) {
    constexpr uint64_t kCap = uint64_t{1} << 31;
    uint64_t magnitude = 0;
    for (const char* p = digits; *p != '\0'; ++p) {
        magnitude = std::min(kCap, magnitude * 10 + static_cast<uint64_t>(*p - '0'));
    }
    if (negative) {
        return magnitude == kCap ? std::numeric_limits<int32_t>::min()
                                 : -static_cast<int32_t>(magnitude);
    }
    return static_cast<int32_t>(std::min(magnitude, kCap - 1));
}

// Digits and points converted up to the second point, independent of the C locale.
float FloatValue(const char* text, std::size_t length) {
    double value = 0.0;
    std::from_chars(text, text + length, value, std::chars_format::fixed);
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        // Out of float range: infinity, without a conversion the language leaves undefined.
        return value < 0 ? -std::numeric_limits<float>::infinity()
                         : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// Whether an integer's value is what its text says: a hexadecimal number needs a digit after
// its "0x" and at most eight of them that count; a decimal one lies within 32 bits.
bool IsExact(const char* digits, int length, bool hex, bool negative, int32_t value) {
    if (hex) {
        const char* first = digits + 1; // the "0" before the "x"
        while (*first == '0') {
            ++first;
        }
        return length > 1 && digits + length - first <= 8;
    }
    const int32_t limit =
        negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    if (value != limit) {
        return true;
    }
    const std::string_view text(digits, static_cast<std::size_t>(length));
    return text.find_first_not_of('0') != std::string_view::npos &&
           text.substr(text.find_first_not_of('0')) == (negative ? "2147483648" : "2147483647");
}

// The text of an inexact integer, as the file has it (the "x" lower-case); left out when memory
// runs out, for the value stands either way.
void KeepInexactText(const char* digits, int length, bool hex, bool negative, ConfigToken& token) {
    const std::size_t size = static_cast<std::size_t>(length) + 3; // sign, "x", and zero
    token.inexact.reset(tarvo::TryAllocateArray<char>(size + 1));
    if (token.inexact) {
        char* out = token.inexact.get();
        if (negative) {
            *out++ = '-';
        }
        *out++ = digits[0];
        if (hex) {
            *out++ = 'x';
        }
        std::memcpy(out, digits + 1, static_cast<std::size_t>(length) - 1);
        out[length - 1] = '\0';
    }
}

} // namespace

ConfigToken ConfigScanner::NextToken() {
    ConfigToken token;
    int c = 0;
    do {
        c = ReadChar();
    } while (IsConfigBlank(c));
    if (c == 0) {
        return token;
    }
    token.line = LineNumber();
    if (c == '-') {
        const int next = ReadChar();
        if (IsDigit(next) || next == '.') {
            ReadNumber(next, true, token);
        } else {
            RaiseError(kUnknownToken);
        }
    } else if (IsDigit(c) || c == '.') {
        ReadNumber(c, false, token);
    } else if (c == '"') {
        ReadString(token);
    } else if (c == '\'') {
        ReadCharConstant(token);
    } else if (IsLetter(c) || c == '_') {
        ReadName(c, token);
    } else if (c == '{') {
        token.kind = TOKEN_LBRACE;
    } else if (c == '}') {
        token.kind = TOKEN_RBRACE;
    } else if (c == ';') {
        token.kind = TOKEN_SEMICOLON;
    } else if (c == '=') {
        token.kind = TOKEN_ASSIGN;
    } else if (c == ',') {
        token.kind = TOKEN_COMMA;
    } else {
        RaiseError(kUnknownToken);
    }
    return token;
}

void ConfigScanner::ReadNumber(int first, bool negative, ConfigToken& token) {
    bool hex = false;
    if (first == '0') {
        const int c = ReadChar();
        if (c == 'x' || c == 'X') {
            hex = true;
        } else {
            UnreadChar();
        }
    }
    char digits[kMaxNumberLength + 1] = {};
    int length = 0;
    int points = 0;
    digits[length++] = static_cast<char>(first);
    for (;;) {
        const int c = ReadChar();
        if (c == 0) {
            break;
        }
        if (!IsDigit(c) && c != '.' && !(hex && IsHexLetter(c))) {
            UnreadChar();
            break;
        }
        if (length == kMaxNumberLength) {
            RaiseError(kNumberTooLong);
            return;
        }
        digits[length++] = static_cast<char>(c);
    }
    points = static_cast<int>(std::count(digits, digits + length, '.'));
    if (hex) {
        if (points == 0) {
            token.kind = TOKEN_INT;
            token.int_value = HexValue(digits, negative);
        }
    } else if (points != 0) {
        token.kind = TOKEN_FLOAT;
        token.float_value = FloatValue(digits, static_cast<std::size_t>(length));
        if (negative) {
            token.float_value = -token.float_value;
        }
    } else {
        token.kind = TOKEN_INT;
        token.int_value = DecimalValue(digits, negative);
    }
    if (token.kind == TOKEN_INT && !IsExact(digits, length, hex, negative, token.int_value)) {
        KeepInexactText(digits, length, hex, negative, token);
    }
}

void ConfigScanner::ReadString(ConfigToken& token) {
    // Measured first so that the text is allocated once, at its exact size.
    const ReadState start = SaveState();
    std::size_t size = 1;
    for (;;) {
        const int c = ReadChar();
        if (c == '"') {
            break;
        }
        if (c == 0) {
            RaiseError(kUnexpectedEnd);
            return;
        }
        if (c == '\n') {
            RaiseError(kNewline);
            return;
        }
        if (c == '\\') {
            const int escape = ReadChar();
            if (escape == 0) {
                RaiseError(kUnexpectedEnd);
                return;
            }
            if (EscapeCode(escape) < 0) {
                RaiseError(kUnknownEscape);
                continue;
            }
        }
        ++size;
    }
    RestoreState(start);
    std::unique_ptr<char[]> text(tarvo::TryAllocateArray<char>(size));
    if (!text) {
        RaiseError(kNoMemory);
        return;
    }
    std::size_t length = 0;
    for (int c = ReadChar(); c != '"' && c != 0; c = ReadChar()) {
        if (c == '\\') {
            const int code = EscapeCode(ReadChar());
            if (code < 0) {
                RaiseError(kUnknownEscape);
                continue;
            }
            c = code;
            if (c == 0) {
                continue;
            }
        }
        text[length++] = static_cast<char>(c);
    }
    token.kind = TOKEN_STRING;
    token.text = std::move(text);
}

void ConfigScanner::ReadCharConstant(ConfigToken& token) {
    int c = ReadChar();
    if (c == 0) {
        RaiseError(kUnexpectedEnd);
        return;
    }
    if (c == '\n') {
        RaiseError(kNewline);
        return;
    }
    int32_t code = static_cast<int8_t>(c);
    if (c == '\\') {
        const int escape = ReadChar();
        if (escape == 0) {
            RaiseError(kUnexpectedEnd);
            return;
        }
        code = EscapeCode(escape);
        if (code < 0) {
            RaiseError(kUnknownEscape);
            code = 0;
        }
    }
    c = ReadChar();
    if (c != '\'') {
        RaiseError(c == 0 ? kUnexpectedEnd : kNoClosingQuote);
        return;
    }
    token.kind = TOKEN_CHAR;
    token.int_value = code;
}

void ConfigScanner::ReadName(int first, ConfigToken& token) {
    // Measured first so that the text is allocated once, at its exact size.
    const ReadState start = SaveState();
    std::size_t size = 2;
    for (;;) {
        const int c = ReadChar();
        if (c == 0) {
            break;
        }
        if (!IsNameChar(c)) {
            UnreadChar();
            break;
        }
        ++size;
    }
    const ReadState end = SaveState();
    std::unique_ptr<char[]> text(tarvo::TryAllocateArray<char>(size));
    if (!text) {
        RaiseError(kNoMemory);
        return;
    }
    RestoreState(start);
    text[0] = static_cast<char>(first);
    for (std::size_t i = 1; i + 1 < size; ++i) {
        text[i] = static_cast<char>(ReadChar());
    }
    RestoreState(end);
    if (std::strcmp(text.get(), "_e") == 0) {
        token.kind = TOKEN_FLOAT;
        token.float_value = 2.7182817f;
    } else if (std::strcmp(text.get(), "Pi") == 0) {
        token.kind = TOKEN_FLOAT;
        token.float_value = 3.1415927f;
    } else {
        token.kind = TOKEN_NAME;
        token.text = std::move(text);
    }
}
