#include "names/declarations.h"

#include "names/token_rules.h"

namespace names {
namespace {

class Collector {
public:
    Collector(std::string_view text, std::size_t start, bool escaped, Scope scope, NameTable& table)
        : m_w(text, start, escaped), m_text(text), m_tree(scope == Scope::Tree), m_table(table) {}

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

    // namespace a::b { ... }, inline namespace c { ... }, namespace d = e::f;
    void Namespace() {
        long k = 1;
        for (; k < 64; ++k) {
            const Token& t = m_w.At(k);
            if (m_text.IsName(t)) {
                Add(t, kNamespace);
            } else if (!IsPunct(t, kScope) &&
                       !(t.kind == TokenKind::Identifier && m_text.Word(t) == "inline")) {
                break;
            }
        }
        if (IsPunct(m_w.At(k), '{')) {
            m_next_brace = Brace::Namespace;
        } else if (IsPunct(m_w.At(k), '=')) {
            for (++k; k < 64; ++k) {
                const Token& t = m_w.At(k);
                if (m_text.IsName(t)) {
                    Add(t, kNamespace);
                } else if (!IsPunct(t, kScope)) {
                    break;
                }
            }
        }
    }

    // enum E { A, B = 1, C }: the enumerators are objects.
    void Enumerators() {
        int depth = 0;
        for (long k = 1; k < long(TokenWindow::kAhead); ++k) {
            const Token& t = m_w.At(k);
            if (t.kind == TokenKind::End || (IsPunct(t, '}') && depth == 0)) {
                return;
            }
            if (t.kind == TokenKind::Punct && (t.op == '(' || t.op == '{' || t.op == '[')) {
                ++depth;
            } else if (t.kind == TokenKind::Punct && (t.op == ')' || t.op == '}' || t.op == ']')) {
                --depth;
            } else if (depth == 0 && m_text.IsName(t) && (IsPunct(m_w.At(k - 1), ',') || k == 1)) {
                // Seen by other files too where the enum is a namespace's.
                if (!m_tree || Top() == Brace::Namespace) {
                    m_table.Add(m_text.Word(t), t.hash, kVariable);
                }
            }
        }
    }

    void ClassHead(bool is_enum) {
        m_enum_next = is_enum;
        long k = 1;
        if (is_enum && m_text.KeywordAt(m_w.At(1)) == Keyword::ClassKey) {
            k = 2;
        }
        k = SkipAttributes(m_w, m_text, k);
        // The qualified names up to what follows them: a::b::c, or MACRO Name.
        long first = 0; // the last name of the first qualified name
        long last = 0;  // the last name of all
        bool in_first = true;
        bool after_scope = true;
        for (; k < 32; ++k) {
            const Token& t = m_w.At(k);
            if (m_text.IsName(t)) {
                in_first = in_first && after_scope;
                first = in_first ? k : first;
                last = k;
                after_scope = false;
            } else if (IsPunct(t, kScope)) {
                after_scope = true;
            } else {
                break;
            }
        }
        if (last == 0) {
            if (IsPunct(m_w.At(k), '{') && m_paren == 0) {
                m_next_brace = is_enum ? Brace::Block : Brace::Class;
            }
            return;
        }
        const Token& after = m_w.At(k);
        const bool final =
            m_text.KeywordAt(after) == Keyword::Qualifier && m_text.Word(after) == "final";
        const bool head =
            IsPunct(after, '{') || IsPunct(after, ':') || IsPunct(after, '<') || final;
        const uint16_t bits = uint16_t(kType | (m_template ? kTemplate : 0));
        if (head) {
            Add(m_w.At(last), bits);
            if (m_paren == 0) {
                m_next_brace = is_enum ? Brace::Block : Brace::Class;
            }
        } else {
            // class Foo; friend class a::Foo; struct stat st; a use with its class key.
            Add(m_w.At(first), bits);
        }
    }

    // typedef ... name; typedef ... (*name)(...); typedef int a, *b;
    void Typedef() {
        int depth = 0;
        long candidate = 0;
        long group = 0; // the name in the first ( * name ) group
        for (long k = 1; k < long(TokenWindow::kAhead); ++k) {
            const Token& t = m_w.At(k);
            if (t.kind == TokenKind::End || t.kind == TokenKind::Directive) {
                return;
            }
            if (t.kind == TokenKind::Punct) {
                const uint8_t op = t.op;
                if (op == '(' || op == '[' || op == '{') {
                    ++depth;
                    if (op == '(' && depth == 1 && group == 0 && IsPunct(m_w.At(k + 1), '*')) {
                        long q = k + 2;
                        while (m_text.IsName(m_w.At(q)) && IsPunct(m_w.At(q + 1), kScope)) {
                            q += 2;
                        }
                        if (m_text.IsName(m_w.At(q))) {
                            group = q;
                        }
                    }
                } else if (op == ')' || op == ']' || op == '}') {
                    --depth;
                    if (depth < 0) {
                        return;
                    }
                } else if (depth == 0 && (op == ';' || op == ',')) {
                    const long name = group != 0 ? group : candidate;
                    if (name != 0) {
                        Add(m_w.At(name), kType);
                    }
                    group = 0;
                    candidate = 0;
                    if (op == ';') {
                        return;
                    }
                }
            } else if (depth == 0 && m_text.IsName(t)) {
                candidate = k;
            }
        }
    }

    // using name = ...; using namespace a::b;
    void Using() {
        if (m_text.KeywordAt(m_w.At(1)) == Keyword::Namespace) {
            for (long k = 2; k < 64; ++k) {
                const Token& t = m_w.At(k);
                if (m_text.IsName(t)) {
                    Add(t, kNamespace);
                } else if (!IsPunct(t, kScope)) {
                    break;
                }
            }
            return;
        }
        const long k = SkipAttributes(m_w, m_text, 2);
        if (m_text.IsName(m_w.At(1)) && IsPunct(m_w.At(k), '=')) {
            Add(m_w.At(1), uint16_t(kType | (m_template ? kTemplate : 0)));
        }
    }

    // template <class T, typename U = int, template <class> class V, int N> ...
    void TemplateParameters() {
        if (!IsPunct(m_w.At(1), '<')) {
            return;
        }
        const long close = MatchingClose(m_w, 1);
        if (close == 0) {
            return;
        }
        for (long k = 2; k < close; ++k) {
            const Keyword kw = m_text.KeywordAt(m_w.At(k));
            if (kw != Keyword::ClassKey && kw != Keyword::Typename) {
                continue;
            }
            long q = k + 1;
            if (IsPunct(m_w.At(q), kEllipsis)) {
                ++q;
            }
            const Token& next = m_w.At(q + 1);
            if (m_text.IsName(m_w.At(q)) &&
                (IsPunct(next, ',') || IsPunct(next, '>') || IsPunct(next, '=')) &&
                q + 1 <= close) {
                if (!m_tree) { // a parameter is seen only where it is declared
                    m_table.Add(m_text.Word(m_w.At(q)), m_w.At(q).hash, kType);
                }
            }
        }
        for (long k = 0; k < close; ++k) {
            m_w.Advance();
        }
        m_template = true;
    }

    void Name(const Token& t) {
        const Token& prev = m_w.At(-1);
        const Token& next = m_w.At(1);
        if (IsPunct(next, '(')) {
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
        if (!m_tree && m_text.EndsType(prev) && !IsPunct(prev, kScope) &&
            next.kind == TokenKind::Punct &&
            (next.op == '=' || next.op == ';' || next.op == ',' || next.op == ')' ||
             next.op == '[' || next.op == '{' || next.op == ':')) {
            m_table.Add(m_text.Word(t), t.hash, kVariable);
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
};

} // namespace

void CollectDeclarations(std::string_view text, std::size_t start, bool escaped, Scope scope,
                         NameTable& table) noexcept {
    Collector(text, start, escaped, scope, table).Run();
}

} // namespace names
