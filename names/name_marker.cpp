#include "names/name_marker.h"

#include "names/std_names.h"
#include "names/token_rules.h"

namespace names {
namespace {

// A word of capitals, digits and underscores: a macro by convention, so its place alone does
// not make it a type.
bool AllCaps(std::string_view w) {
    bool letter = false;
    for (char c : w) {
        if (c >= 'a' && c <= 'z') {
            return false;
        }
        letter = letter || (c >= 'A' && c <= 'Z');
    }
    return letter && w.size() > 1;
}

// Types by convention begin with a capital (after underscores): Foo::, _Tp::.
bool Capitalised(std::string_view w) {
    std::size_t i = 0;
    while (i < w.size() && w[i] == '_') {
        ++i;
    }
    return i < w.size() && w[i] >= 'A' && w[i] <= 'Z';
}

} // namespace

NameMarker::NameMarker(std::string_view text, std::size_t source_start,
                       const TreeNames* tree) noexcept
    : m_text(text), m_w(text, source_start, true), m_file(kFileNames, kFileNameBytes),
      m_live(kFileNames, kFileNameBytes), m_tree(tree == nullptr ? nullptr : &tree->Table()) {
    CollectDeclarations(text, source_start, true, Scope::File, m_file);
    const uint16_t std_bits = m_file.Find("std");
    m_std_context = (std_bits & kNamespace) != 0;
}

bool NameMarker::Next(NameMark& mark) noexcept {
    while (!m_ended) {
        const Token t = m_w.At(0);
        if (t.kind == TokenKind::End) {
            m_ended = true;
            break;
        }
        NameClass c = NameClass::None;
        if (m_directive && ++m_directive_tokens == 1 && t.kind == TokenKind::Identifier) {
            m_directive_name = TokenText(m_text).Word(t);
        }
        if (t.kind == TokenKind::Identifier) {
            c = Classify();
        }
        Track(t);
        m_w.Advance();
        if (c != NameClass::None) {
            m_last = NameMark{t.start, t.end, c};
            mark = m_last;
            return true;
        }
    }
    m_last = NameMark{m_text.size() + 1, m_text.size() + 1, NameClass::None};
    return false;
}

NameClass NameMarker::ClassAt(std::size_t start) noexcept {
    while (m_last.start < start || (m_last.end == 0 && !m_ended)) {
        NameMark mark;
        if (!Next(mark)) {
            break;
        }
    }
    return m_last.start == start ? m_last.name_class : NameClass::None;
}

bool NameMarker::MacroNow(const Token& t, uint16_t bits) noexcept {
    const uint16_t live = m_live.Find(TokenText(m_text).Word(t), t.hash);
    const bool macro =
        (live & kUndefined) != 0 ? false : (live & kMacro) != 0 || (bits & kMacro) != 0;
    if (!macro) {
        return false;
    }
    const uint16_t kind = live != 0 ? live : bits;
    return (kind & kMacroFunction) == 0 || IsPunct(m_w.At(1), '(');
}

NameClass NameMarker::Classify() noexcept {
    const TokenText text(m_text);
    const Token& t = m_w.At(0);
    const std::string_view word = text.Word(t);
    if (KeywordOf(word, t.hash) != Keyword::None) {
        return NameClass::None;
    }
    uint16_t bits = m_file.Find(word, t.hash);
    if (m_tree != nullptr) {
        bits |= m_tree->Find(word, t.hash);
    }
    bits |= GlobalNames().Find(word, t.hash);
    if (m_directive) {
        return InDirective(t, bits);
    }
    if (MacroNow(t, bits)) {
        return NameClass::Macro;
    }
    return Code(t, bits & uint16_t(~(kMacro | kMacroFunction)));
}

NameClass NameMarker::InDirective(const Token& t, uint16_t bits) noexcept {
    const TokenText text(m_text);
    const std::string_view d = m_directive_name;
    if (m_directive_tokens == 1) {
        return NameClass::None; // the directive's own name
    }
    const std::string_view word = text.Word(t);
    if (d == "define") {
        if (m_directive_tokens == 2) {
            const bool function = IsPunct(m_w.At(1), '(') && m_w.At(1).start == t.end;
            m_live.Assign(word, t.hash, uint16_t(kMacro | (function ? kMacroFunction : 0)));
            m_macro_parameters = function;
            return NameClass::Macro;
        }
        if (m_macro_parameters || word == "__VA_ARGS__" || word == "__VA_OPT__") {
            return NameClass::None;
        }
        return MacroNow(t, bits) ? NameClass::Macro : Code(t, bits & uint16_t(~kMacro));
    }
    if (d == "undef") {
        if (m_directive_tokens == 2) {
            m_live.Assign(word, t.hash, kUndefined);
            return NameClass::Macro;
        }
        return NameClass::None;
    }
    if (d == "ifdef" || d == "ifndef") {
        return m_directive_tokens == 2 ? NameClass::Macro : NameClass::None;
    }
    if (d == "if" || d == "elif" || d == "elifdef" || d == "elifndef") {
        if (word == "defined" || word.starts_with("__has_")) {
            return NameClass::None;
        }
        const Token& p1 = m_w.At(-1);
        const Token& p2 = m_w.At(-2);
        if (d.ends_with("def") ||
            (p1.kind == TokenKind::Identifier && text.Word(p1) == "defined") ||
            (IsPunct(p1, '(') && p2.kind == TokenKind::Identifier && text.Word(p2) == "defined")) {
            return NameClass::Macro;
        }
        return MacroNow(t, bits) || AllCaps(word) || word.starts_with("__") ? NameClass::Macro
                                                                            : NameClass::None;
    }
    if (d == "include" || d == "include_next" || d == "import") {
        return MacroNow(t, bits) ? NameClass::Macro : NameClass::None;
    }
    return NameClass::None;
}

// The std table's answer for a name qualified by std:: (also std::chrono:: and ::std::), or 0.
uint16_t NameMarker::StdBits(long qualifier) noexcept {
    const TokenText text(m_text);
    long k = qualifier; // at a "::"
    for (int n = 0; n < 6; ++n) {
        const Token& name = m_w.At(k - 1);
        if (!text.IsName(name)) {
            return 0;
        }
        if (!IsPunct(m_w.At(k - 2), kScope) || text.Word(name) == "std") {
            if (text.Word(name) != "std") {
                return 0;
            }
            const Token& t = m_w.At(0);
            return StdNames().Find(text.Word(t), t.hash);
        }
        k -= 2;
    }
    return 0;
}

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
        if ((bits & kNamespace) != 0 && (bits & kType) == 0) {
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
    if (k1 == Keyword::Namespace || (bits & kNamespace) != 0) {
        return (bits & kType) != 0 && k1 != Keyword::Namespace ? NameClass::Type
                                                               : NameClass::Namespace;
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
    const long close = MatchingClose(m_w, 1);
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
    if ((bits & kType) != 0 && (bits & kFunction) == 0) {
        return NameClass::Type;
    }
    if ((bits & kFunction) != 0) {
        return NameClass::Function;
    }
    if ((bits & (kVariable | kNamespace)) != 0) {
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
    const Brace top = m_depth == 0
                          ? Brace::Namespace
                          : m_stack[m_depth <= kMaxDepth ? m_depth - 1 : kMaxDepth - 1].brace;
    if (text.EndsType(p1) && !IsPunct(p1, kScope)) {
        const Token& inside = m_w.At(2);
        if (inside.kind == TokenKind::Literal ||
            (inside.kind == TokenKind::Punct && inside.op != ')' && inside.op != kScope &&
             inside.op != kEllipsis && inside.op != '[') ||
            text.KeywordAt(inside) == Keyword::Other) {
            return NameClass::None; // Foo x(1); Foo y(this);
        }
        if (top == Brace::Block && text.IsName(inside) &&
            (IsPunct(m_w.At(3), ',') || IsPunct(m_w.At(3), ')')) &&
            (m_file.Find(text.Word(inside), inside.hash) & kType) == 0) {
            return NameClass::None; // Foo x(y);
        }
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

// A class head from its key on: the name that the next "{" opens a scope of.
void NameMarker::ClassHead() noexcept {
    const TokenText text(m_text);
    long k = 1;
    std::string_view name;
    for (; k < 32; ++k) {
        const Token& t = m_w.At(k);
        if (IsPunct(t, '[') || text.KeywordAt(t) == Keyword::Attribute) {
            const long open = IsPunct(t, '[') ? k : k + 1;
            const long close = IsPunct(m_w.At(open), '(') || IsPunct(m_w.At(open), '[')
                                   ? MatchingClose(m_w, open)
                                   : 0;
            if (close == 0) {
                break;
            }
            k = close;
        } else if (text.IsName(t)) {
            name = text.Word(t);
        } else if (!IsPunct(t, kScope)) {
            break;
        }
    }
    m_next_class = name;
    m_class_head = true;
}

void NameMarker::Track(const Token& t) noexcept {
    const TokenText text(m_text);
    if (t.kind == TokenKind::DirectiveEnd) {
        m_directive = false;
        m_macro_parameters = false;
        return;
    }
    if (m_directive) {
        if (m_macro_parameters && IsPunct(t, ')')) {
            m_macro_parameters = false;
        }
        return;
    }
    if (t.kind == TokenKind::Directive) {
        m_directive = true;
        m_directive_tokens = 0;
        m_directive_name = {};
        return;
    }
    if (t.kind == TokenKind::Punct) {
        switch (t.op) {
        case '{':
            if (m_depth < kMaxDepth) {
                m_stack[m_depth] = Open{m_paren == 0 ? m_next_brace : Brace::Block, m_next_class};
            }
            ++m_depth;
            m_next_brace = Brace::Block;
            m_next_class = {};
            m_class_head = false;
            m_init_list = false;
            break;
        case '}':
            m_depth -= m_depth > 0 ? 1 : 0;
            break;
        case ':':
            if (m_paren == 0 && (IsPunct(m_w.At(-1), ')') || text.Word(m_w.At(-1)) == "noexcept")) {
                m_init_list = true;
            }
            break;
        case ';':
            m_init_list = false;
            if (m_paren == 0) {
                m_next_brace = Brace::Block;
                m_next_class = {};
                m_class_head = false;
            }
            break;
        case '(':
            ++m_paren;
            break;
        case ')':
            m_paren -= m_paren > 0 ? 1 : 0;
            break;
        default:
            break;
        }
        return;
    }
    if (t.kind != TokenKind::Identifier || m_paren != 0) {
        return;
    }
    const Keyword k = text.KeywordAt(t);
    const Token& p1 = m_w.At(-1);
    if (k == Keyword::Namespace) {
        m_next_brace = Brace::Namespace;
        const Token& n1 = m_w.At(1);
        if (text.Word(n1) == "std") {
            m_std_context = true;
        }
    } else if (k == Keyword::ClassKey || k == Keyword::Enum) {
        if (IsPunct(p1, '<') || IsPunct(p1, ',') || text.KeywordAt(p1) == Keyword::Enum) {
            return;
        }
        ClassHead();
        m_next_brace = k == Keyword::Enum ? Brace::Block : Brace::Class;
    } else if (k == Keyword::Qualifier && text.Word(t) == "extern" &&
               m_w.At(1).kind == TokenKind::Literal && IsPunct(m_w.At(2), '{')) {
        m_next_brace = Brace::Namespace;
    }
}

} // namespace names
