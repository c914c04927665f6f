#include "names/name_marker.h"

#include "names/std_names.h"
#include "names/token_rules.h"

// The rules by place: what a name is by the tokens around it and by what it was declared as.

namespace names {

NameClass NameMarker::Code(const Token& t, uint16_t bits) noexcept {
    const TokenText text(m_text);
    const std::string_view word = text.Word(t);
    const Token& p1 = m_w.At(-1);
    const Token& n1 = m_w.At(1);
    // Members: x.f(), p->g<T>(); x.template h<T>() too.
    const bool template_word = p1.kind == TokenKind::Identifier && text.Word(p1) == "template";
    const Token& before = template_word ? m_w.At(-2) : p1;
    if (before.kind == TokenKind::Punct && (before.op == '.' || before.op == kArrow ||
                                            before.op == kDotStar || before.op == kArrowStar)) {
        if (IsPunct(n1, '(')) {
            return NameClass::Function;
        }
        if (IsPunct(n1, '<')) {
            const long close = MatchingClose(m_w, 1);
            if (close != 0 && IsPunct(m_w.At(close + 1), '(')) {
                return NameClass::Function;
            }
        }
        return NameClass::None;
    }
    if (IsPunct(p1, '~') && IsPunct(n1, '(')) {
        // A destructor where declared (Foo::~Foo, ~Foo() in its class); elsewhere ~T() is
        // the type's (x.~T()) or a complement of an object made (~Word(0)).
        const Token& p2 = m_w.At(-2);
        const bool declared =
            IsPunct(p2, kScope) ||
            (m_depth > 0 && m_depth <= kMaxDepth && m_stack[m_depth - 1].brace == Brace::Class &&
             m_stack[m_depth - 1].name == word && m_paren == 0);
        if (declared) {
            return NameClass::Function;
        }
        return (bits & kType) != 0 || p2.op == '.' || p2.op == kArrow ? NameClass::Type
                                                                      : NameClass::None;
    }
    if (n1.kind == TokenKind::Punct && (n1.op == '.' || n1.op == kArrow)) {
        return NameClass::None; // an object
    }
    // using ::acosf; using std::swap; the C library's names in namespace std.
    if (IsPunct(p1, kScope) && IsPunct(n1, ';') &&
        (text.Word(m_w.At(-2)) == "using" ||
         (text.Word(m_w.At(-2)) == "std" && text.Word(m_w.At(-3)) == "using"))) {
        uint16_t std_bits = StdNames().Find(word, t.hash);
        if (std_bits == 0 && word.size() > 2 && (word.back() == 'f' || word.back() == 'l')) {
            std_bits = StdNames().Find(word.substr(0, word.size() - 1)) & kFunction;
        }
        if (std_bits != 0) {
            bits = std_bits;
        }
    }
    if (IsPunct(before, kScope)) {
        const uint16_t std_bits = StdBits(template_word ? -2 : -1);
        if (std_bits != 0) {
            bits = std_bits;
        }
    } else if (m_std_context && (bits & (kType | kNamespace | kVariable | kFunction)) == 0) {
        const uint16_t std_bits = StdNames().Find(word, t.hash);
        bits |= std_bits & uint16_t(kType | kTemplate | kNamespace);
    }
    // using Name = type;
    if (IsPunct(p1, '=') && text.IsName(m_w.At(-2)) && text.Word(m_w.At(-3)) == "using" &&
        (bits & kNamespace) == 0 && !IsPunct(n1, kScope) && !IsPunct(n1, '(')) {
        return NameClass::Type;
    }
    if (IsPunct(n1, kScope)) {
        // A namespace, or a class; a class template qualifies only with its arguments
        // (detail::variant:: is the namespace beside the template variant<...>).
        if ((bits & kNamespace) != 0 && ((bits & kType) == 0 || (bits & kTemplate) != 0)) {
            return NameClass::Namespace;
        }
        if ((bits & kType) != 0) {
            return NameClass::Type;
        }
        if ((bits & (kVariable | kFunction)) != 0) {
            return NameClass::None;
        }
        return Capitalised(word) ? NameClass::Type : NameClass::Namespace;
    }
    if (IsPunct(n1, '<')) {
        const NameClass c = Template(t, bits);
        if (c != NameClass::None || (bits & (kType | kNamespace)) == 0) {
            return c;
        }
    }
    if (IsPunct(n1, '(')) {
        return Call(t, bits);
    }
    const Keyword k1 = text.KeywordAt(p1);
    // A namespace's name stands before :: or after namespace; elsewhere a name that is also
    // an object's (namespace endian, a parameter endian) is the object.
    if (k1 == Keyword::Namespace ||
        ((bits & kNamespace) != 0 && (bits & (kType | kVariable)) == 0)) {
        return NameClass::Namespace;
    }
    if ((bits & kType) != 0) {
        return NameClass::Type;
    }
    if ((bits & kVariable) != 0) {
        return NameClass::None;
    }
    if (k1 == Keyword::ClassKey || k1 == Keyword::Enum || k1 == Keyword::Typename) {
        // class EXPORT Name {: the word between is a macro.
        const Token& n2 = m_w.At(2);
        if (text.IsName(n1) && (IsPunct(n2, '{') || IsPunct(n2, ':') || text.Word(n2) == "final")) {
            return NameClass::Macro;
        }
        return NameClass::Type;
    }
    if (k1 == Keyword::Other && text.Word(p1) == "new") {
        return NameClass::Type;
    }
    if ((bits & (kFunction | kType | kNamespace | kVariable)) == kFunction && IsPunct(n1, ';') &&
        IsPunct(p1, kScope)) {
        return NameClass::Function; // using ::f;
    }
    if ((bits & kFunction) != 0 && p1.kind == TokenKind::Punct &&
        (p1.op == '&' || p1.op == '(' || p1.op == ',' || p1.op == '=' || p1.op == kScope) &&
        n1.kind == TokenKind::Punct && (n1.op == ')' || n1.op == ',' || n1.op == ';')) {
        return NameClass::Function;
    }
    if (m_class_head && p1.kind == TokenKind::Identifier &&
        (text.Word(p1) == "public" || text.Word(p1) == "private" || text.Word(p1) == "protected" ||
         text.Word(p1) == "virtual")) {
        return NameClass::Type; // a base class
    }
    if (IsPunct(n1, '{') && p1.kind != TokenKind::Identifier &&
        (IsPunct(p1, '=') || IsPunct(p1, '(') || IsPunct(p1, kScope))) {
        return Capitalised(word) ? NameClass::Type : NameClass::None;
    }
    if ((bits & (kFunction | kNamespace)) == 0 && AllCaps(word)) {
        return NameClass::Macro; // spelt as macros are: one that another file defines
    }
    // Two names in a row: the first is a type (Foo x;), unless it is spelt like a macro.
    if (text.IsName(n1) && !AllCaps(word) && p1.kind == TokenKind::Punct &&
        (p1.op == ';' || p1.op == '{' || p1.op == '}' || p1.op == '(' || p1.op == ',' ||
         p1.op == kScope || p1.op == '<')) {
        const Token& n2 = m_w.At(2);
        if (n2.kind == TokenKind::Punct &&
            (n2.op == ';' || n2.op == '=' || n2.op == ',' || n2.op == ')' || n2.op == '{' ||
             n2.op == '[' || n2.op == '(')) {
            return NameClass::Type;
        }
    }
    return NameClass::None;
}

// name<...>: a template's name, or a comparison.
NameClass NameMarker::Template(const Token& t, uint16_t bits) noexcept {
    const TokenText text(m_text);
    const std::string_view word = text.Word(t);
    const long close = MatchingClose(m_w, 1, 96); // template arguments
    if (close == 0) {
        return NameClass::None;
    }
    const Token& after = m_w.At(close + 1);
    if ((bits & kType) != 0) {
        return NameClass::Type;
    }
    if (IsPunct(after, '(')) {
        if ((bits & kFunction) != 0) {
            return NameClass::Function;
        }
        if ((bits & kVariable) != 0) {
            return NameClass::None;
        }
        return Capitalised(word) ? NameClass::Type : NameClass::Function;
    }
    if ((bits & (kVariable | kFunction | kNamespace)) != 0 || word.ends_with("_v")) {
        return NameClass::None;
    }
    if (IsPunct(after, kScope)) {
        return NameClass::Type;
    }
    if (text.IsName(after) ||
        (after.kind == TokenKind::Punct && (after.op == '*' || after.op == '&' || after.op == '>' ||
                                            after.op == kEllipsis || after.op == '{'))) {
        return NameClass::Type;
    }
    return NameClass::None;
}

// name(...): a call or a declaration of a function, a class's name making an object, or an
// object declared with arguments.
NameClass NameMarker::Call(const Token& t, uint16_t bits) noexcept {
    const TokenText text(m_text);
    const Token& p1 = m_w.At(-1);
    if (ConstructorHere(t)) {
        return NameClass::Function;
    }
    const Brace top = m_depth == 0
                          ? Brace::Namespace
                          : m_stack[m_depth <= kMaxDepth ? m_depth - 1 : kMaxDepth - 1].brace;
    const bool declares = text.EndsType(p1) && !IsPunct(p1, kScope) && (bits & kType) == 0;
    if (declares) {
        const Token& inside = m_w.At(2);
        // After a name or a type word (not after *, & or >, where an expression may go on),
        // arguments make an object.
        const bool after_word = p1.kind == TokenKind::Identifier;
        if (after_word &&
            (inside.kind == TokenKind::Literal ||
             (inside.kind == TokenKind::Punct && inside.op != ')' && inside.op != kScope &&
              inside.op != kEllipsis && inside.op != '[') ||
             (inside.kind == TokenKind::Identifier && inside.keyword == Keyword::Other))) {
            return NameClass::None; // Foo x(1); Foo y(this);
        }
        if (IsPunct(inside, ')') || text.KeywordAt(inside) == Keyword::TypeWord ||
            text.KeywordAt(inside) == Keyword::Qualifier) {
            return NameClass::Function; // a function declared: int f(); T g(const U&);
        }
        if (after_word && top == Brace::Block && text.IsName(inside) &&
            (IsPunct(m_w.At(3), ',') || IsPunct(m_w.At(3), ')')) &&
            (m_file.Find(text.Word(inside), inside.hash) & kType) == 0) {
            return NameClass::None; // Foo x(y);
        }
    }
    if ((bits & kType) != 0 && (bits & kFunction) == 0) {
        return NameClass::Type;
    }
    if ((bits & kFunction) != 0) {
        return NameClass::Function;
    }
    if ((bits & (kVariable | kNamespace)) != 0 && !declares) {
        return NameClass::None;
    }
    if (p1.kind == TokenKind::Identifier && text.Word(p1) == "new") {
        return NameClass::Type;
    }
    if (m_init_list && m_paren == 0 && (IsPunct(p1, ':') || IsPunct(p1, ','))) {
        return NameClass::None; // a member made in a constructor's list
    }
    if (AllCaps(text.Word(t))) {
        return NameClass::Macro; // spelt as macros are: one that another file defines
    }
    return NameClass::Function;
}

// Whether the name before "(" declares a constructor: inside its class, or Foo::Foo(.
bool NameMarker::ConstructorHere(const Token& t) noexcept {
    const TokenText text(m_text);
    const std::string_view word = text.Word(t);
    const Token& p1 = m_w.At(-1);
    if (IsPunct(p1, kScope)) {
        const Token& p2 = m_w.At(-2);
        if (p2.kind == TokenKind::Identifier) {
            return text.Word(p2) == word;
        }
        if (IsPunct(p2, '>')) {
            int depth = 0;
            for (long k = -2; k > -long(TokenWindow::kBack); --k) {
                const Token& b = m_w.At(k);
                if (b.kind == TokenKind::End) {
                    return false;
                }
                if (IsPunct(b, '>')) {
                    ++depth;
                } else if (IsPunct(b, '<') && --depth == 0) {
                    const Token& name = m_w.At(k - 1);
                    return name.kind == TokenKind::Identifier && text.Word(name) == word;
                }
            }
        }
        return false;
    }
    if (m_depth == 0 || m_depth > kMaxDepth || m_stack[m_depth - 1].brace != Brace::Class ||
        m_stack[m_depth - 1].name != word || m_paren != 0) {
        return false;
    }
    if (IsPunct(p1, ':')) {
        // After public: a declaration; after a constructor's ":" another constructor's call.
        const std::string_view access = text.Word(m_w.At(-2));
        return access == "public" || access == "protected" || access == "private";
    }
    if (p1.kind == TokenKind::Punct) {
        return p1.op == ';' || p1.op == '{' || p1.op == '}' || p1.op == '>' || p1.op == ']' ||
               p1.op == ')';
    }
    return text.KeywordAt(p1) == Keyword::Qualifier || text.IsName(p1);
}

} // namespace names
