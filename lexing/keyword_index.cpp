#include "lexing/keyword_index.h"

#include <algorithm>
#include <exception>

namespace {

struct BoundaryTable {
    bool is[256] = {};
    constexpr BoundaryTable() {
        for (unsigned char c : {' ', '\t', '\n', '\r', '[', ']', '(', ')', '+', '-', '*', '/', '<',
                                '>', '.', ',', ';', '~'}) {
            is[c] = true;
        }
    }
};
constexpr BoundaryTable kBoundary;

// What ends a keyword in the source: the boundary characters and every other character of a C
// or C++ punctuator, the quotes among them, so that public:, else{ and const& are keywords. An
// "&" there always starts an entity, since the source's own are escaped.
struct EndTable {
    bool is[256] = {};
    constexpr EndTable() {
        for (int c = 0; c < 256; ++c) {
            is[c] = kBoundary.is[c];
        }
        for (unsigned char c : {':', '&', '!', '{', '}', '=', '"', '\'', '?', '%', '^', '|', '#'}) {
            is[c] = true;
        }
    }
};
constexpr EndTable kEnd;

} // namespace

KeywordIndex::KeywordIndex() {
    std::fill(std::begin(m_root), std::end(m_root), -1);
}

bool KeywordIndex::IsBoundary(unsigned char c) noexcept {
    return kBoundary.is[c];
}

bool KeywordIndex::Add(const char* keyword, std::size_t length) noexcept {
    if (length == 0) {
        return true;
    }
    try {
        int32_t parent = -1; // the node whose children hold the next byte; -1 for the root
        for (std::size_t i = 0; i < length; ++i) {
            const auto byte = static_cast<unsigned char>(keyword[i]);
            int32_t node = parent < 0 ? m_root[byte] : m_nodes[std::size_t(parent)].child;
            int32_t last = -1;
            while (node >= 0 && (parent < 0 ? false : m_nodes[std::size_t(node)].byte != byte)) {
                last = node;
                node = m_nodes[std::size_t(node)].sibling;
            }
            if (node < 0) {
                node = int32_t(m_nodes.size());
                m_nodes.push_back(Node{-1, -1, byte, false});
                if (parent < 0) {
                    m_root[byte] = node;
                } else if (last < 0) {
                    m_nodes[std::size_t(parent)].child = node;
                } else {
                    m_nodes[std::size_t(last)].sibling = node;
                }
            }
            parent = node;
        }
        m_nodes[std::size_t(parent)].terminal = true;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool KeywordIndex::EndsAtBoundary(const char* text, std::size_t length, std::size_t end,
                                  std::size_t source_start) const noexcept {
    if (end == length || kBoundary.is[static_cast<unsigned char>(text[end])]) {
        return true;
    }
    if (end >= source_start) {
        return kEnd.is[static_cast<unsigned char>(text[end])];
    }
    // The text is already escaped: "&lt;" and "&gt;" stand for the boundaries < and >.
    return text[end] == '&' && length - end >= 4 &&
           (text[end + 1] == 'l' || text[end + 1] == 'g') && text[end + 2] == 't' &&
           text[end + 3] == ';';
}

std::size_t KeywordIndex::Match(const char* text, std::size_t length, std::size_t p,
                                std::size_t source_start) const noexcept {
    std::size_t best = 0;
    int32_t node = m_root[static_cast<unsigned char>(text[p])];
    for (std::size_t end = p + 1; node >= 0; ++end) {
        const Node& n = m_nodes[std::size_t(node)];
        if (n.terminal && EndsAtBoundary(text, length, end, source_start)) {
            best = end - p;
        }
        if (end == length) {
            break;
        }
        const auto byte = static_cast<unsigned char>(text[end]);
        node = n.child;
        while (node >= 0 && m_nodes[std::size_t(node)].byte != byte) {
            node = m_nodes[std::size_t(node)].sibling;
        }
    }
    return best;
}
