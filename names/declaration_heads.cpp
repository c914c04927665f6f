#include "names/collector.h"

// The declarations that begin with a keyword: namespaces, classes and enums, typedefs, using
// and template parameter lists.

namespace names {

// namespace a::b { ... }, inline namespace c { ... }, namespace d = e::f;
void Collector::Namespace() {
    long k = 1;
    bool want_name = true; // names and :: take turns
    for (; k < 64; ++k) {
        const Token& t = m_w.At(k);
        if (want_name && m_text.IsName(t)) {
            Add(t, kNamespace);
            want_name = false;
        } else if (!want_name && IsPunct(t, kScope)) {
            want_name = true;
        } else if (!(t.kind == TokenKind::Identifier && m_text.Word(t) == "inline")) {
            break;
        }
    }
    // Past attributes and a macro between the name and its "{": namespace std
    // _GLIBCXX_VISIBILITY(default) {
    k = SkipAttributes(m_w, m_text, k);
    if (m_text.IsName(m_w.At(k))) {
        const long close = IsPunct(m_w.At(k + 1), '(') ? MatchingClose(m_w, k + 1, 32) : k;
        k = close == 0 ? k : close + 1;
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
void Collector::Enumerators() {
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

void Collector::ClassHead(bool is_enum) {
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
    const bool head = IsPunct(after, '{') || IsPunct(after, ':') || IsPunct(after, '<') || final;
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
void Collector::Typedef() {
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
void Collector::Using() {
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
void Collector::TemplateParameters() {
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
            (IsPunct(next, ',') || IsPunct(next, '>') || IsPunct(next, '=')) && q + 1 <= close) {
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

} // namespace names
