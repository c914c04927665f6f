#pragma once
// Lower half of the configuration-file reader: cuts the text of a file, as its character stream
// (config_chars.h) delivers it without comments, into tokens.
//
// Lexical syntax (defined on bytes; letters and digits are the ASCII ones):
//   names      [A-Za-z_][A-Za-z0-9_.\[\]]*   ("p_s_keyword[3]" is one name; "Pi" and "_e" are
//              the floats pi and e)
//   integers   decimal "755", hexadecimal "0x1F"; a "-" directly before a digit or point negates
//   floats     digits with one point or more ("1.5", ".5"; "1.2.3" is 1.2); no exponent
//   strings    "..." and character constants '.' with the escapes \" \' \0 \\ \a \b \f \n \r \t \v
//   symbols    { } ; = ,
//   comments   // to the end of the line (reads as its line feed), /* ... */ (reads as nothing);
//              they are taken out below the tokenizer, so they act inside strings too
// Space, tab, carriage return and line feed are blanks. Any other byte between tokens (other
// punctuation, control characters, bytes above 127) gives "Unknown token found".
//
// Integers beyond 32 bits: a decimal literal saturates at INT32_MAX, or at INT32_MIN when it
// has a minus sign ("-2147483648" is INT32_MIN). A hexadecimal literal keeps its low 32 bits,
// read as a two's-complement number ("0xFFFFFFFF" is -1, "0x100000001" is 1), and its minus
// sign negates modulo 2^32 ("-0x80000000" is INT32_MIN). A number has at most 255 characters;
// floats are converted independently of the C locale, and beyond the float range they are
// infinite.

#include "config/config_chars.h"

#include <cstdint>
#include <memory>

// The kinds of token; the numbers are fixed because the token table stores and tests them.
enum TokenKind : int32_t {
    TOKEN_LBRACE = 0,
    TOKEN_RBRACE = 1,
    TOKEN_SEMICOLON = 2,
    TOKEN_NAME = 3,
    TOKEN_INT = 4,
    TOKEN_CHAR = 5,
    TOKEN_FLOAT = 6,
    TOKEN_STRING = 7,
    TOKEN_ASSIGN = 8,
    TOKEN_COMMA = 9,
    TOKEN_NONE = 10, // the end of the data, or a token that cannot be read
};

// One token. Fields the kind does not use stay zero. Movable, not copyable: it owns its text.
struct ConfigToken {
    ConfigToken() = default;
    ~ConfigToken() = default;
    ConfigToken(ConfigToken&&) noexcept = default;
    ConfigToken& operator=(ConfigToken&&) noexcept = default;
    ConfigToken(const ConfigToken&) = delete;
    ConfigToken& operator=(const ConfigToken&) = delete;

    TokenKind kind = TOKEN_NONE;
    int32_t line = 0;             // 1-based line of the token's first character
    float float_value = 0.0f;     // TOKEN_FLOAT
    int32_t int_value = 0;        // TOKEN_INT, TOKEN_CHAR
    std::unique_ptr<char[]> text; // TOKEN_NAME, TOKEN_STRING: zero-terminated
    // TOKEN_INT whose value is not what its text says: the text, when it is "0x" without digits
    // (read as 0) or a number beyond 32 bits (see above). Null for every other token.
    std::unique_ptr<char[]> inexact;
};

// Cuts the text of its character stream into tokens.
class ConfigScanner : public ConfigCharStream {
public:
    // Reads the next token. TOKEN_NONE at the end of the data (no diagnostic) or when the token
    // cannot be read (ErrorText tells why, except for a hexadecimal number with a point).
    ConfigToken NextToken();

private:
    void ReadNumber(int first, bool negative, ConfigToken& token);
    void ReadString(ConfigToken& token);
    void ReadCharConstant(ConfigToken& token);
    void ReadName(int first, ConfigToken& token);
};
