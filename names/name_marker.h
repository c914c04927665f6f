#pragma once
// Names as the compiler sees them: which words of a conversion's escaped text name a
// function, a type, a namespace or a macro. The marker first collects what the text declares
// (and takes what a tree of files declares, when there is one), then answers word by word, in
// the order of the text, by what each name was declared as and by its place.
//
//   NameMarker marker(escaped, opening.size(), tree);
//   ... marker.ClassAt(word_start) for each identifier word, in increasing order ...

#include "names/declarations.h"
#include "names/name_class.h"
#include "names/name_table.h"
#include "names/token_window.h"

#include <cstddef>
#include <string_view>

namespace names {

struct NameMark {
    std::size_t start = 0; // the word's first byte in the text
    std::size_t end = 0;   // just past its last
    NameClass name_class = NameClass::None;
};

// The names that a tree of files declares, for its files' conversions: built once, before the
// conversions, from every file's source; only read afterwards, from any number of threads.
class TreeNames {
public:
    TreeNames() noexcept : m_table(kTreeNames, kTreeNameBytes) {}
    // Adds what one file declares; `source` as read, not escaped.
    void AddSource(std::string_view source) noexcept {
        CollectDeclarations(source, 0, false, Scope::Tree, m_table);
    }
    // Adds what another part of the tree collected: the first pass may run on several
    // threads, each over its own files, and merge their parts in the files' order.
    void Merge(const TreeNames& part) noexcept { m_table.Merge(part.m_table); }
    const NameTable& Table() const noexcept { return m_table; }

private:
    NameTable m_table;
};

class NameMarker {
public:
    // `text`: the escaped text (entities stand for their characters), which must outlive the
    // marker; the source begins at `source_start`. `tree` may be null.
    NameMarker(std::string_view text, std::size_t source_start,
               const TreeNames* tree = nullptr) noexcept;
    // The same with the text's tokens from `recorded` (Begin called with the same text), which
    // another thread may be recording still, from `source_start` on.
    NameMarker(std::string_view text, std::size_t source_start, const TreeNames* tree,
               TokenReplay& recorded) noexcept;
    NameMarker(const NameMarker&) = delete;
    NameMarker& operator=(const NameMarker&) = delete;

    // The next word that takes a class, past the one given before; false at the end.
    bool Next(NameMark& mark) noexcept;
    // The class of the word that begins at `start`; None for a position that begins no word
    // of code. Positions must not decrease from one call to the next.
    NameClass ClassAt(std::size_t start) noexcept {
        if (start <= m_last.start && m_last.end != 0) {
            return start == m_last.start ? m_last.name_class : NameClass::None;
        }
        return After(start);
    }
    // Where the first word that takes a class at or after `p` begins (past the text's end when
    // there is none): the words before it take none. Positions as for ClassAt.
    std::size_t NextMarkFrom(std::size_t p) noexcept {
        if (p > m_last.start || m_last.end == 0) {
            After(p);
        }
        return m_last.start;
    }

private:
    NameClass After(std::size_t start) noexcept;
    NameClass Classify(const Token& t) noexcept;
    NameClass InDirective(const Token& t, uint16_t bits) noexcept;
    NameClass Code(const Token& t, uint16_t bits) noexcept;
    NameClass Call(const Token& t, uint16_t bits) noexcept;
    NameClass Template(const Token& t, uint16_t bits) noexcept;
    bool MacroNow(const Token& t, uint16_t bits) noexcept;
    uint16_t StdBits(long qualifier) noexcept;
    bool ConstructorHere(const Token& t) noexcept;
    void TrackPunct(uint8_t op) noexcept;
    void TrackKeyword(const Token& t) noexcept;
    void ClassHead() noexcept;

    // The first pass: what the text declares, into m_file; its tokens into m_replay, which
    // it returns for the second pass.
    TokenReplay* Collect(std::size_t source_start, TokenReplay* recorded) noexcept;

    static constexpr std::size_t kMaxDepth = 256;

    // In this order: the first pass runs before the second pass's window is made.
    std::string_view m_text;
    NameTable m_file; // the language's names, the file's, and the #undefs met so far
    const NameTable* m_tree;
    TokenReplay m_replay;
    TokenWindow m_w;            // the second pass's, over the first pass's tokens
    bool m_std_context = false; // in namespace std or after using namespace std
    // The directive line the current token is on, and its name.
    bool m_directive = false;
    std::string_view m_directive_name;
    int m_directive_tokens = 0;
    bool m_macro_parameters = false; // in #define name( ... )
    // Scopes: what each open brace opened, and for a class its name.
    struct Open {
        Brace brace;
        std::string_view name;
    };
    Open m_stack[kMaxDepth];
    std::size_t m_depth = 0;
    std::size_t m_paren = 0;
    Brace m_next_brace = Brace::Block;
    std::string_view m_next_class;
    bool m_class_head = false; // between a class key and its "{" or ";"
    bool m_init_list = false;  // in a constructor's list of members and bases
    NameMark m_last;           // the last mark Next gave
    bool m_ended = false;
};

} // namespace names
