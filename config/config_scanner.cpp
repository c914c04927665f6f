#include "config/config_scanner.h"

#include "base/memory.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

constexpr const char* kCommentToEnd = "Comment into the end of file !";
constexpr const char* kUnknownEscape = "Unknown escape sequence (skipping)";
constexpr const char* kNumberTooLong = "Too long number found !";
constexpr const char* kUnknownToken = "Unknown token found";
constexpr const char* kNoClosingQuote = "Expected quotation mark not found";
constexpr const char* kNewline = "Newline in constant";
constexpr const char* kUnexpectedEnd = "Unexpected end of file found";
constexpr const char* kNoMemory = "String is too long to fit in memory";

constexpr int kMaxNumberLength = 255;

bool IsBlank(int c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}
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

} // namespace

int ConfigScanner::LoadText(std::FILE* file) {
    if (file == nullptr) {
        return 0;
    }
    m_text.reset();
    m_length = 0;
    m_position = 0;
    m_can_unread = false;
    m_out_of_memory = false;
    m_line_position = 0;
    m_line_number = 1;

    // One pass into a growing buffer: no seek, so pipes work and a file that changes between
    // measuring and reading cannot leave garbage behind.
    constexpr std::size_t kMaxLength = std::numeric_limits<int32_t>::max();
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    std::size_t size = 0;
    for (;;) {
        if (capacity - size < 2) {
            if (capacity > kMaxLength) {
                m_out_of_memory = true;
                return 0;
            }
            const std::size_t grown =
                std::min(std::max<std::size_t>(2 * capacity, 4096), kMaxLength + 2);
            std::unique_ptr<char[]> larger(tarvo::TryAllocateArray<char>(grown));
            if (!larger) {
                m_out_of_memory = true;
                return 0;
            }
            if (size != 0) {
                std::memcpy(larger.get(), buffer.get(), size);
            }
            buffer = std::move(larger);
            capacity = grown;
        }
        const std::size_t got = std::fread(buffer.get() + size, 1, capacity - 1 - size, file);
        if (got == 0) {
            break;
        }
        size += got;
    }
    if (size > kMaxLength) {
        m_out_of_memory = true;
        return 0;
    }
    if (size == 0 || std::ferror(file)) {
        return 0;
    }
    buffer[size] = '\0';
    m_text = std::move(buffer);
    m_length = static_cast<int32_t>(size);
    return 1;
}

int ConfigScanner::FreeText() {
    const bool had = m_text != nullptr;
    m_text.reset();
    Rewind();
    return had ? 1 : 0;
}

void ConfigScanner::Rewind() {
    m_position = 0;
    m_can_unread = false;
}

void ConfigScanner::RestoreState(ReadState state) {
    m_position = state.position;
    m_can_unread = state.can_unread;
}

int ConfigScanner::ReadChar() {
    m_can_unread = false;
    if (!m_text || m_position >= m_length) {
        return 0;
    }
    const char* text = m_text.get();
    const int c = static_cast<unsigned char>(text[m_position++]);
    if (c != '/' || m_position == m_length) {
        m_can_unread = true;
        return c;
    }
    const std::string_view rest(text + m_position + 1,
                                static_cast<std::size_t>(m_length - m_position - 1));
    if (text[m_position] == '/') {
        const std::size_t line_feed = rest.find('\n');
        if (line_feed == std::string_view::npos) {
            m_position = m_length;
            return 0;
        }
        m_position += static_cast<int32_t>(line_feed) + 2;
        m_can_unread = true;
        return '\n';
    }
    if (text[m_position] == '*') {
        const std::size_t close = rest.find("*/");
        if (close == std::string_view::npos) {
            m_position = m_length;
            RaiseError(kCommentToEnd);
            return 0;
        }
        m_position += static_cast<int32_t>(close) + 3;
        if (m_position == m_length) {
            return 0;
        }
        m_can_unread = true;
        return static_cast<unsigned char>(text[m_position++]);
    }
    m_can_unread = true;
    return '/';
}

void ConfigScanner::UnreadChar() {
    if (m_can_unread && m_position > 0) {
        --m_position;
    }
    m_can_unread = false;
}

int ConfigScanner::OnlyBlanksLeft() {
    const ReadState saved = SaveState();
    int c = 0;
    do {
        c = ReadChar();
    } while (IsBlank(c));
    RestoreState(saved);
    return c == 0 ? 1 : 0;
}

int32_t ConfigScanner::LineNumber() const {
    if (!m_text) {
        return 1;
    }
    const char* text = m_text.get();
    const int32_t target = std::min(m_position, m_length);
    if (target < m_line_position && target < m_line_position - target) {
        m_line_position = 0;
        m_line_number = 1;
    }
    if (target >= m_line_position) {
        m_line_number +=
            static_cast<int32_t>(std::count(text + m_line_position, text + target, '\n'));
    } else {
        m_line_number -=
            static_cast<int32_t>(std::count(text + target, text + m_line_position, '\n'));
    }
    m_line_position = target;
    return m_line_number;
}

void ConfigScanner::SetError(const char* message, int32_t line) {
    std::size_t length = 0;
    while (message != nullptr && length < sizeof m_error_text - 1 && message[length] != '\0') {
        ++length;
    }
    if (length != 0) {
        std::memmove(m_error_text, message, length);
    }
    char suffix[16];
    const int suffix_length = std::snprintf(suffix, sizeof suffix, " [%d]", static_cast<int>(line));
    if (suffix_length > 0 &&
        length + static_cast<std::size_t>(suffix_length) < sizeof m_error_text) {
        std::memcpy(m_error_text + length, suffix, static_cast<std::size_t>(suffix_length) + 1);
    } else {
        m_error_text[length] = '\0';
    }
}

ConfigToken ConfigScanner::NextToken() {
    ConfigToken token;
    int c = 0;
    do {
        c = ReadChar();
    } while (IsBlank(c));
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
