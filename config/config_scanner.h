#pragma once
// Lower half of the configuration-file reader: holds the whole text of one file, delivers it
// character by character with the comments taken out, and cuts it into tokens.
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

#include <cstdint>
#include <cstdio>
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
};

class ConfigScanner {
public:
    ConfigScanner() = default;
    virtual ~ConfigScanner() = default;
    ConfigScanner(const ConfigScanner&) = delete;
    ConfigScanner& operator=(const ConfigScanner&) = delete;

    // Reads `file` (opened by the caller for reading, closed by the caller) from its current
    // position to its end and holds the text, releasing any text held before. Returns 1 when a
    // text was read; 0 without a file, for a file without characters, after a read error, or
    // when the memory for the text cannot be had (see OutOfMemory). Leaves ErrorText alone.
    int LoadText(std::FILE* file);
    // Releases the text: 1 if there was one, else 0. The length keeps its value (HasText).
    int FreeText();
    // Whether the last loaded text had characters; stays true after FreeText.
    bool HasText() const { return m_length != 0; }
    // Whether the last LoadText failed because the text did not fit in memory (or in 2^31-1
    // characters).
    bool OutOfMemory() const { return m_out_of_memory; }

    void Rewind();
    // The next character (1..255) with the comments taken out; 0 at the end of the data and for
    // a zero byte (which is stepped past all the same).
    int ReadChar();
    // Steps back over the character the last ReadChar consumed, so that it is read again with
    // the comment rules applied anew. Does nothing when that read met the end of the data, and
    // when called twice for one read.
    void UnreadChar();
    // 1 when only blanks and comments remain before the end of the data, else 0; the position
    // is left where it was.
    int OnlyBlanksLeft();
    // 1 plus the number of line feeds before the read position. Remembers its last answer, so a
    // pass over the text counts each line feed about once.
    int32_t LineNumber() const;
    int32_t Position() const { return m_position; }

    // ErrorText becomes `message` cut to 255 characters, followed by " [line]" when both fit in
    // 255 characters. A null message counts as empty.
    void SetError(const char* message, int32_t line);
    // The last diagnostic; empty until the first one.
    const char* ErrorText() const { return m_error_text; }

    // Reads the next token. TOKEN_NONE at the end of the data (no diagnostic) or when the token
    // cannot be read (ErrorText tells why, except for a hexadecimal number with a point).
    ConfigToken NextToken();

private:
    struct ReadState {
        int32_t position;
        bool can_unread;
    };
    ReadState SaveState() const { return {m_position, m_can_unread}; }
    void RestoreState(ReadState state);
    void RaiseError(const char* message) { SetError(message, LineNumber()); }

    void ReadNumber(int first, bool negative, ConfigToken& token);
    void ReadString(ConfigToken& token);
    void ReadCharConstant(ConfigToken& token);
    void ReadName(int first, ConfigToken& token);

    std::unique_ptr<char[]> m_text; // the characters and one closing zero byte
    int32_t m_length = 0;
    int32_t m_position = 0;
    bool m_can_unread = false; // the last ReadChar stepped past a character
    bool m_out_of_memory = false;
    // Last answer of LineNumber: the line of position m_line_position.
    mutable int32_t m_line_position = 0;
    mutable int32_t m_line_number = 1;
    char m_error_text[256] = {};
};
