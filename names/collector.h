#pragma once
// The first pass's collector, shared by the two files that define it.

#include "names/declarations.h"
#include "names/token_rules.h"

namespace names {

class Collector {
public:
    Collector(std::string_view text, std::size_t start, bool escaped, Scope scope, NameTable& table,
              TokenReplay* replay, TokenWindow::Use use = TokenWindow::Use::Record)
        : m_w(text, start, escaped, replay, use), m_text(text), m_tree(scope == Scope::Tree),
          m_table(table) {}

    void Run() {
        for (;;) {
            const Token& t = m_w.At(0);
            if (t.kind == TokenKind::End) {
                return;
            }
            if (t.kind == TokenKind::Directive) {
                Directive();
            } else if (t.kind == TokenKind::Punct) {
                Punct(t.op);
            } else if (t.kind == TokenKind::Identifier) {
                Identifier();
            }
            m_w.Advance();
        }
    }

private:
    void Add(const Token& t, uint16_t bits) {
        if (m_tree) {
            // Other files see the macros and what namespaces declare, not class members or
            // names local to a function.
            bits &=
                Top() == Brace::Namespace
                    ? uint16_t(kMacro | kMacroFunction | kType | kNamespace | kFunction | kTemplate)
                    : uint16_t(kMacro | kMacroFunction);
        }
        if (bits != 0) {
            m_table.Add(m_text.Word(t), t.hash, bits);
        }
    }

    void Directive() {
        m_w.Advance();
        const Token& name = m_w.At(0);
        const std::string_view d =
            name.kind == TokenKind::Identifier ? m_text.Word(name) : std::string_view();
        ++m_directives;
        if (d == "define") {
            m_w.Advance();
            const Token& macro = m_w.At(0);
            if (macro.kind == TokenKind::Identifier) {
                const Token& next = m_w.At(1);
                const bool function = IsPunct(next, '(') && next.start == macro.end;
                // Defined whatever the configuration: outside #if, or inside the include
                // guard only (#ifndef G, then #define G, as the first two directives).
                if (m_directives == 2 && m_guard_candidate == m_text.Word(macro)) {
                    m_guard = true;
                }
                const int outside = m_guard ? 1 : 0;
                const bool sure = m_conditions <= outside ||
                                  (m_conditions == outside + 1 &&
                                   m_innermost_ifndef == m_text.Word(macro)); // a default
                Add(macro,
                    uint16_t(kMacro | (function ? kMacroFunction : 0) | (sure ? kMacroAlways : 0)));
            }
        } else if (d == "if" || d == "ifdef" || d == "ifndef") {
            ++m_conditions;
            m_innermost_ifndef = d == "ifndef" && m_w.At(1).kind == TokenKind::Identifier
                                     ? m_text.Word(m_w.At(1))
                                     : std::string_view();
            if (m_directives == 1 && d == "ifndef" && m_w.At(1).kind == TokenKind::Identifier) {
                m_guard_candidate = m_text.Word(m_w.At(1));
            }
        } else if (d == "endif" && m_conditions > 0) {
            --m_conditions;
            m_innermost_ifndef = {};
        }
        while (m_w.At(0).kind != TokenKind::DirectiveEnd && m_w.At(0).kind != TokenKind::End) {
            m_w.Advance();
        }
    }

    void Punct(uint8_t op) {
        if (op == '{') {
            if (m_enum_next) {
                Enumerators();
            }
            m_enum_next = false;
            Push(m_paren == 0 ? m_next_brace : Brace::Block);
            m_next_brace = Brace::Block;
            m_template = false;
        } else if (op == '}') {
            if (m_depth > 0) {
                --m_depth;
            }
            m_template = false;
        } else if (op == ';') {
            m_enum_next = false;
            m_next_brace = Brace::Block;
            m_template = false;
        } else if (op == '(') {
            ++m_paren;
        } else if (op == ')') {
            m_paren = m_paren > 0 ? m_paren - 1 : 0;
        }
    }
    void Push(Brace b) {
        if (m_depth < kMaxDepth) {
            m_stack[m_depth] = b;
        }
        ++m_depth;
    }
    Brace Top() const {
        return m_depth == 0 ? Brace::Namespace
                            : m_stack[m_depth <= kMaxDepth ? m_depth - 1 : kMaxDepth - 1];
    }

    void Identifier() {
        const Token t = m_w.At(0);
        switch (m_text.KeywordAt(t)) {
        case Keyword::None:
            Name(t);
            return;
        case Keyword::Namespace:
            Namespace();
            return;
        case Keyword::ClassKey:
        case Keyword::Enum:
            if (m_text.KeywordAt(m_w.At(-1)) != Keyword::Enum) { // enum class: one head
                ClassHead(m_text.KeywordAt(t) == Keyword::Enum);
            }
            return;
        case Keyword::Typedef:
            Typedef();
            return;
        case Keyword::Using:
            Using();
            return;
        case Keyword::Template:
            TemplateParameters();
            return;
        case Keyword::Concept:
            if (m_text.Word(t) == "concept" && m_text.IsName(m_w.At(1))) {
                Add(m_w.At(1), kVariable);
            }
            return;
        default:
            if (m_text.Word(t) == "extern" && m_w.At(1).kind == TokenKind::Literal &&
                IsPunct(m_w.At(2), '{')) {
                m_next_brace = Brace::Namespace; // extern "C" { ... }
            }
            return;
        }
    }

    void Namespace();
    void Enumerators();
    void ClassHead(bool is_enum);
    void Typedef();
    void Using();
    void TemplateParameters();

    void Name(const Token& t) {
        const Token& prev = m_w.At(-1);
        const Token& next = m_w.At(1);
        if (IsPunct(next, '(')) {
            if (m_paren == 0 && Top() == Brace::Block && !m_tree &&
                prev.kind == TokenKind::Identifier &&
                (prev.keyword == Keyword::None || prev.keyword == Keyword::TypeWord) &&
                !IsPunct(m_w.At(-2), '.') && !IsPunct(m_w.At(-2), kArrow)) {
                // Type name(arguments); in a function: an object made with arguments.
                m_table.Add(m_text.Word(t), t.hash, kVariable);
                return;
            }
            if (m_paren != 0 || Top() == Brace::Block) {
                return;
            }
            if (IsPunct(prev, '~')) {
                return; // a destructor: its class's name
            }
            if (!m_text.EndsType(prev) || IsPunct(prev, kScope)) {
                return;
            }
            const long close = MatchingClose(m_w, 1, 96); // parameters
            if (close == 0) {
                return;
            }
            const Token& inside = m_w.At(2);
            if (inside.kind == TokenKind::Literal ||
                (inside.kind == TokenKind::Punct && inside.op != ')' && inside.op != kScope &&
                 inside.op != kEllipsis && inside.op != '[')) {
                return; // an object made with arguments
            }
            const Token& after = m_w.At(close + 1);
            const bool shape =
                (after.kind == TokenKind::Identifier &&
                 (after.keyword == Keyword::None || after.keyword == Keyword::Qualifier ||
                  after.keyword == Keyword::Attribute || m_text.Word(after) == "throw" ||
                  m_text.Word(after) == "try")) ||
                (after.kind == TokenKind::Punct &&
                 (after.op == '{' || after.op == ';' || after.op == kArrow || after.op == '=' ||
                  after.op == '&' || after.op == kAndAnd || after.op == ':' || after.op == '[' ||
                  after.op == ','));
            if (shape && !AllCaps(m_text.Word(t))) {
                Add(t, kFunction);
            }
            return;
        }
        // Type a, b; the names after the first declarator's comma.
        const bool listed = IsPunct(prev, ',') && m_w.At(-2).kind == TokenKind::Identifier &&
                            m_w.At(-2).start == m_last_variable;
        // (Not f() const NOEXCEPT_MACRO {, where a macro follows the qualifier.)
        const bool macro_after_qualifier =
            prev.keyword == Keyword::Qualifier && AllCaps(m_text.Word(t));
        if (!m_tree && (m_text.EndsType(prev) || listed) && !IsPunct(prev, kScope) &&
            !macro_after_qualifier && next.kind == TokenKind::Punct &&
            (next.op == '=' || next.op == ';' || next.op == ',' || next.op == ')' ||
             next.op == '[' || next.op == '{' || next.op == ':')) {
            m_table.Add(m_text.Word(t), t.hash, kVariable);
            m_last_variable = t.start;
        }
    }

    static constexpr std::size_t kMaxDepth = 256;

    TokenWindow m_w;
    TokenText m_text;
    bool m_tree;
    NameTable& m_table;
    Brace m_stack[kMaxDepth];
    std::size_t m_depth = 0;
    std::size_t m_paren = 0;
    Brace m_next_brace = Brace::Block;
    bool m_template = false;  // after template <...>, until the declaration ends
    bool m_enum_next = false; // the next "{" opens an enum's body
    // Directives: how many so far, the open #if's, and the include guard.
    int m_directives = 0;
    int m_conditions = 0;
    std::string_view m_guard_candidate;
    std::string_view m_innermost_ifndef; // #ifndef X ... #define X: X's default
    bool m_guard = false;
    std::size_t m_last_variable = ~std::size_t(0); // where the last variable found begins
};

} // namespace names
