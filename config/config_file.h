#pragma once
// The configuration-file reader: reads a whole file of C-like statements, keeps its tokens in
// one table, checks the grammar, and answers typed look-ups by setting name.
//
// Grammar (tokens: config_scanner.h):
//   name = value;                 value: integer, character constant, float or string
//   name = name;                  a reference: the first name has the second one's value
//   name = name = ... = value;    a chain: every name followed by "=" is defined
//   name = { element, ..., };     a list: at least one element, each followed by a comma;
//                                 accepted and stored, but no look-up delivers it
// Besides, any statement may be a lone ";", and past the first statement a lone "name;" is
// accepted; neither defines anything. The first definition of a name in the file wins.
//
// Not thread-safe: look-ups count their nesting per thread, and one object must not be used
// by two threads at once.

#include "config/config_scanner.h"

#include <cstdint>
#include <cstdio>
#include <memory>

// Result of the reader's operations; the numbers are fixed.
enum ConfigResult : int32_t {
    CFG_OK = 0,
    CFG_BAD_TOKEN = 2,     // Open: a token cannot be read (ErrorText tells which and where)
    CFG_NOT_FOUND = 2,     // look-ups: the name, or a name it refers to, has no definition
    CFG_EMPTY = 3,         // look-ups: no tokens; Release: no text was read
    CFG_SYNTAX_ERROR = 5,  // Open: the tokens break the grammar (the table stays for look-ups)
    CFG_NO_MEMORY = 6,     // Open: the text or the token table cannot be allocated
    CFG_TYPE_MISMATCH = 7, // look-ups: the value is of a kind the look-up does not deliver
    CFG_TOO_DEEP = 8,      // look-ups: the chain of references needs a 257th name
};

class ConfigFile {
public:
    // The longest chain of names a look-up follows: the name asked for and 255 references.
    static constexpr int32_t kMaxDepth = 256;

    ConfigFile() = default;
    ~ConfigFile() { Release(); }
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // Forgets what was read before, then reads `file` (opened by the caller for reading in text
    // mode, closed by the caller) and parses it. A missing, empty or unreadable file gives
    // CFG_OK with an empty table. Otherwise CFG_OK, CFG_BAD_TOKEN (nothing is kept),
    // CFG_SYNTAX_ERROR (the tokens are kept) or CFG_NO_MEMORY (nothing is kept).
    ConfigResult Open(std::FILE* file);
    // Frees the tokens. CFG_EMPTY when the last file read had no characters (or none was read),
    // else CFG_OK.
    ConfigResult Release();

    // The index of the value token of the first definition of `name`: CFG_OK, CFG_EMPTY or
    // CFG_NOT_FOUND. `index` is written on success only, as are the look-ups' out-arguments.
    ConfigResult FindValue(const char* name, int32_t& index) const;
    // An integer or character constant.
    ConfigResult GetInt(const char* name, int32_t& value) const;
    // The same; `inexact` receives the number's text when the value is not what that text says
    // ("0x" without digits, digits beyond 32 bits), and null when it is.
    ConfigResult GetInt(const char* name, int32_t& value, const char*& inexact) const;
    // Copies a string value as strncpy does: at most maxLength bytes, zero-padded when the
    // value is shorter, without a closing zero when it has maxLength characters or more. The
    // buffer must hold maxLength bytes; a maxLength of 0 or less (or a null buffer) copies
    // nothing.
    ConfigResult GetString(const char* name, char* buffer, int32_t maxLength) const;
    // The number of characters of a string value, the closing zero not counted.
    ConfigResult GetStringLength(const char* name, int32_t& length) const;

    int32_t TokenCount() const { return m_count; }
    // The token at `index`, or null outside 0 to TokenCount() - 1.
    const ConfigToken* TokenAt(int32_t index) const;
    // The last diagnostic of the scanner.
    const char* ErrorText() const { return m_scanner.ErrorText(); }

private:
    ConfigResult Parse();
    ConfigResult CheckGrammar() const;
    // Hashes the first definition of every name, so that look-ups need not scan the table.
    void BuildIndex();
    // Follows references from `name` to a value and hands it to `deliver`. `depth` is the
    // look-up's nesting counter, shared by every ConfigFile.
    template <typename Deliver>
    ConfigResult LookUp(int32_t& depth, const char* name, const Deliver& deliver) const;

    ConfigScanner m_scanner;
    int32_t m_count = 0;
    std::unique_ptr<ConfigToken[]> m_tokens;
    // A hash table of the defined names' first definitions, open addressing: each slot holds
    // the token index of a definition plus one (0: free) and its name's hash. Null when it could
    // not be allocated (look-ups then scan the table).
    struct IndexSlot {
        int32_t token_plus_one;
        uint32_t hash;
    };
    std::unique_ptr<IndexSlot[]> m_index;
    uint32_t m_index_mask = 0; // slots - 1, a power of two less one
    // Per token: 1 when it is the first definition of its name. With it a look-up first tries
    // the definition after the last one found, since readers look their settings up in the
    // order they were written, and a walk along the table is cheaper than a probe of the hash.
    std::unique_ptr<uint8_t[]> m_first_definition;
    mutable int32_t m_last_found = -1;
};
