#include "config/config_file.h"

#include "base/memory.h"

#include <algorithm>
#include <cstring>

namespace {

// One nesting counter per look-up kind, shared by every ConfigFile, so that a circle of
// references ends. Per thread, so that two threads never race on them.
thread_local int32_t g_int_depth = 0;
thread_local int32_t g_string_depth = 0;
thread_local int32_t g_length_depth = 0;

bool IsValue(TokenKind kind) {
    return kind == TOKEN_CHAR || kind == TOKEN_INT || kind == TOKEN_FLOAT || kind == TOKEN_STRING;
}

} // namespace

ConfigResult ConfigFile::Open(std::FILE* file) {
    Release();
    m_scanner.LoadText(file);
    if (m_scanner.OutOfMemory()) {
        return CFG_NO_MEMORY;
    }
    const ConfigResult result = Parse();
    m_scanner.FreeText();
    if (m_count != 0) {
        BuildIndex();
    }
    return result;
}

ConfigResult ConfigFile::Release() {
    m_index.reset();
    m_index_mask = 0;
    m_first_definition.reset();
    m_last_found = -1;
    m_tokens.reset();
    m_count = 0;
    if (!m_scanner.HasText()) {
        return CFG_EMPTY;
    }
    m_scanner.FreeText();
    return CFG_OK;
}

ConfigResult ConfigFile::Parse() {
    // Two passes, so that the table is allocated once at its exact size.
    m_scanner.Rewind();
    m_count = 0;
    int32_t count = 0;
    while (m_scanner.OnlyBlanksLeft() == 0) {
        ++count;
        if (m_scanner.NextToken().kind == TOKEN_NONE) {
            return CFG_BAD_TOKEN;
        }
    }
    if (count == 0) {
        return CFG_OK;
    }
    m_tokens.reset(tarvo::TryAllocateArray<ConfigToken>(static_cast<std::size_t>(count)));
    if (!m_tokens) {
        return CFG_NO_MEMORY;
    }
    m_scanner.Rewind();
    // Should memory run out in this pass, the TOKEN_NONE is stored and the grammar refuses it.
    while (m_scanner.OnlyBlanksLeft() == 0 && m_count < count) {
        m_tokens[m_count++] = m_scanner.NextToken();
    }
    return CheckGrammar();
}

ConfigResult ConfigFile::CheckGrammar() const {
    const int32_t n = m_count;
    const auto kind = [this](int32_t k) { return m_tokens[k].kind; };
    int32_t k = 0;
    while (k < n) {
        // A statement: a name, or a lone ";".
        if (kind(k) != TOKEN_NAME && kind(k) != TOKEN_SEMICOLON) {
            return CFG_SYNTAX_ERROR;
        }
        if (++k == n) {
            return CFG_SYNTAX_ERROR;
        }
        // "name ;" closes a reference; the test is on the absolute index, so past the first
        // statement a lone "name;" passes too.
        if (kind(k) == TOKEN_SEMICOLON && k > 2) {
            ++k;
            continue;
        }
        if (kind(k) != TOKEN_ASSIGN || ++k == n) {
            return CFG_SYNTAX_ERROR;
        }
        if (kind(k) == TOKEN_NAME) {
            continue; // the referenced name starts the next statement
        }
        if (IsValue(kind(k))) {
            if (++k == n || kind(k) != TOKEN_SEMICOLON) {
                return CFG_SYNTAX_ERROR;
            }
            ++k;
            continue;
        }
        if (kind(k) != TOKEN_LBRACE || ++k == n || kind(k) == TOKEN_RBRACE) {
            return CFG_SYNTAX_ERROR;
        }
        // List elements, each followed by a comma, up to the closing brace.
        do {
            if (!IsValue(kind(k)) && kind(k) != TOKEN_NAME) {
                return CFG_SYNTAX_ERROR;
            }
            if (++k == n || kind(k) != TOKEN_COMMA || ++k == n) {
                return CFG_SYNTAX_ERROR;
            }
        } while (kind(k) != TOKEN_RBRACE);
        if (++k == n || kind(k) != TOKEN_SEMICOLON) {
            return CFG_SYNTAX_ERROR;
        }
        ++k;
    }
    return CFG_OK;
}

namespace {

// FNV-1a over the name's bytes.
uint32_t HashName(const char* name) {
    uint32_t hash = 2166136261u;
    for (; *name != '\0'; ++name) {
        hash = (hash ^ static_cast<unsigned char>(*name)) * 16777619u;
    }
    return hash;
}

} // namespace

void ConfigFile::BuildIndex() {
    int32_t definitions = 0;
    for (int32_t k = 0; k + 2 < m_count; ++k) {
        definitions += m_tokens[k].kind == TOKEN_NAME && m_tokens[k + 1].kind == TOKEN_ASSIGN;
    }
    // At most half full, so that probe runs stay short.
    std::size_t slots = 16;
    while (slots < std::size_t(definitions) * 2) {
        slots *= 2;
    }
    m_index.reset(tarvo::TryAllocateArray<IndexSlot>(slots));
    if (!m_index) {
        return;
    }
    m_index_mask = uint32_t(slots - 1);
    m_first_definition.reset(tarvo::TryAllocateArray<uint8_t>(std::size_t(m_count)));
    // In file order, so that the first definition of a name takes its slot.
    for (int32_t k = 0; k + 2 < m_count; ++k) {
        if (m_tokens[k].kind != TOKEN_NAME || m_tokens[k + 1].kind != TOKEN_ASSIGN) {
            continue;
        }
        const char* name = m_tokens[k].text.get();
        const uint32_t hash = HashName(name);
        for (uint32_t i = hash & m_index_mask;; i = (i + 1) & m_index_mask) {
            IndexSlot& slot = m_index[i];
            if (slot.token_plus_one == 0) {
                slot = IndexSlot{k + 1, hash};
                if (m_first_definition) {
                    m_first_definition[k] = 1;
                }
                break;
            }
            if (slot.hash == hash &&
                std::strcmp(m_tokens[slot.token_plus_one - 1].text.get(), name) == 0) {
                break; // defined before
            }
        }
    }
}

ConfigResult ConfigFile::FindValue(const char* name, int32_t& index) const {
    if (m_count == 0) {
        return CFG_EMPTY;
    }
    if (name == nullptr) {
        return CFG_NOT_FOUND;
    }
    if (m_first_definition) {
        // The next definition after the last one found; a few tokens on at most.
        const int32_t end = std::min(m_count - 2, m_last_found + 8);
        for (int32_t k = m_last_found + 1; k < end; ++k) {
            if (m_first_definition[k] != 0) {
                if (std::strcmp(m_tokens[k].text.get(), name) == 0) {
                    m_last_found = k;
                    index = k + 2;
                    return CFG_OK;
                }
                break;
            }
        }
    }
    if (m_index) {
        const uint32_t hash = HashName(name);
        for (uint32_t i = hash & m_index_mask;; i = (i + 1) & m_index_mask) {
            const IndexSlot& slot = m_index[i];
            if (slot.token_plus_one == 0) {
                return CFG_NOT_FOUND;
            }
            if (slot.hash == hash &&
                std::strcmp(m_tokens[slot.token_plus_one - 1].text.get(), name) == 0) {
                m_last_found = slot.token_plus_one - 1;
                index = slot.token_plus_one + 1;
                return CFG_OK;
            }
        }
    }
    for (int32_t k = 0; k + 2 < m_count; ++k) {
        if (m_tokens[k].kind == TOKEN_NAME && m_tokens[k + 1].kind == TOKEN_ASSIGN &&
            std::strcmp(m_tokens[k].text.get(), name) == 0) {
            index = k + 2;
            return CFG_OK;
        }
    }
    return CFG_NOT_FOUND;
}

template <typename Deliver>
ConfigResult ConfigFile::LookUp(int32_t& depth, const char* name, const Deliver& deliver) const {
    if (depth >= kMaxDepth) {
        return CFG_TOO_DEEP;
    }
    struct Nesting {
        int32_t& depth;
        explicit Nesting(int32_t& counter) : depth(counter) { ++depth; }
        ~Nesting() { --depth; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
    } nesting(depth);
    int32_t index = 0;
    const ConfigResult found = FindValue(name, index);
    if (found != CFG_OK) {
        return found;
    }
    const ConfigToken& value = m_tokens[index];
    if (value.kind == TOKEN_NAME) {
        return LookUp(depth, value.text.get(), deliver);
    }
    return deliver(value);
}

ConfigResult ConfigFile::GetInt(const char* name, int32_t& value) const {
    const char* inexact = nullptr;
    return GetInt(name, value, inexact);
}

ConfigResult ConfigFile::GetInt(const char* name, int32_t& value, const char*& inexact) const {
    return LookUp(g_int_depth, name, [&value, &inexact](const ConfigToken& token) {
        if (token.kind != TOKEN_INT && token.kind != TOKEN_CHAR) {
            return CFG_TYPE_MISMATCH;
        }
        value = token.int_value;
        inexact = token.inexact.get();
        return CFG_OK;
    });
}

ConfigResult ConfigFile::GetString(const char* name, char* buffer, int32_t maxLength) const {
    return LookUp(g_string_depth, name, [buffer, maxLength](const ConfigToken& token) {
        if (token.kind != TOKEN_STRING) {
            return CFG_TYPE_MISMATCH;
        }
        if (buffer != nullptr && maxLength > 0) {
            std::strncpy(buffer, token.text.get(), static_cast<std::size_t>(maxLength));
        }
        return CFG_OK;
    });
}

ConfigResult ConfigFile::GetStringLength(const char* name, int32_t& length) const {
    return LookUp(g_length_depth, name, [&length](const ConfigToken& token) {
        if (token.kind != TOKEN_STRING) {
            return CFG_TYPE_MISMATCH;
        }
        length = static_cast<int32_t>(std::strlen(token.text.get()));
        return CFG_OK;
    });
}

const ConfigToken* ConfigFile::TokenAt(int32_t index) const {
    if (index < 0 || index >= m_count) {
        return nullptr;
    }
    return &m_tokens[index];
}
