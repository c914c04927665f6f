#pragma once
// A trie of the keywords, so that a keyword try costs a walk along the text instead of a pass
// over the whole keyword list.

#include <cstddef>
#include <cstdint>
#include <vector>

class KeywordIndex {
public:
    KeywordIndex();

    // Adds one keyword; empty keywords are ignored, since they would match without advancing.
    // Returns false when memory runs out.
    bool Add(const char* keyword, std::size_t length) noexcept;

    // Whether some keyword begins with `c`.
    bool StartsAny(unsigned char c) const noexcept { return m_root[c] >= 0; }

    // The length of the longest keyword that stands in `text` at `p` and is followed by the end
    // of the text or a boundary character; before `source_start` (in the opening piece) also by
    // an escaped "<" or ">", from it on (in the escaped source) by any character of a C or C++
    // punctuator, quotes included, or any entity. 0 when none is.
    std::size_t Match(const char* text, std::size_t length, std::size_t p,
                      std::size_t source_start) const noexcept;

    // Boundary characters end a keyword match and allow one to begin after them.
    static bool IsBoundary(unsigned char c) noexcept;

private:
    struct Node {
        int32_t child;   // first child, -1 for none
        int32_t sibling; // next child of the same parent, -1 for none
        unsigned char byte;
        bool terminal; // a keyword ends here
    };

    bool EndsAtBoundary(const char* text, std::size_t length, std::size_t end,
                        std::size_t source_start) const noexcept;

    int32_t m_root[256];
    std::vector<Node> m_nodes;
};
