#include "names/name_marker.h"

#include "names/std_names.h"
#include "names/token_rules.h"

namespace names {
namespace {

// The punctuators that change what the scopes are: braces, parentheses, ":" and ";".
struct Tracked {
    bool is[256] = {};
    constexpr Tracked() {
        for (const char c : {'{', '}', ':', ';', '(', ')'}) {
            is[static_cast<unsigned char>(c)] = true;
        }
    }
};
constexpr Tracked kTracked;

} // namespace

NameMarker::NameMarker(std::string_view text, std::size_t source_start,
                       const TreeNames* tree) noexcept
    : m_text(text), m_file(kFileNames, kFileNameBytes),
      m_tree(tree == nullptr ? nullptr : &tree->Table()),
      m_w(text, source_start, true, Collect(source_start, nullptr), TokenWindow::Use::Play) {
    const uint16_t std_bits = m_file.Find("std");
    m_std_context = (std_bits & kNamespace) != 0;
}

NameMarker::NameMarker(std::string_view text, std::size_t source_start, const TreeNames* tree,
                       TokenReplay& recorded) noexcept
    : m_text(text), m_file(kFileNames, kFileNameBytes),
      m_tree(tree == nullptr ? nullptr : &tree->Table()),
      m_w(text, source_start, true, Collect(source_start, &recorded), TokenWindow::Use::Play) {
    const uint16_t std_bits = m_file.Find("std");
    m_std_context = (std_bits & kNamespace) != 0;
}

TokenReplay* NameMarker::Collect(std::size_t source_start, TokenReplay* recorded) noexcept {
    m_file.Merge(GlobalNames());
    if (recorded != nullptr) {
        CollectRecorded(m_text, source_start, m_file, *recorded);
        return recorded;
    }
    // About one token in eight bytes of C++, with room to spare.
    const std::size_t bytes = m_text.size() > source_start ? m_text.size() - source_start : 0;
    m_replay.Begin(m_text, bytes / 6 + 64);
    CollectDeclarations(m_text, source_start, true, Scope::File, m_file, &m_replay);
    return &m_replay;
}

bool NameMarker::Next(NameMark& mark) noexcept {
    for (;;) {
        const Token& t = m_w.At(0);
        NameClass c = NameClass::None;
        switch (t.kind) {
        case TokenKind::End:
            m_ended = true;
            m_last = NameMark{m_text.size() + 1, m_text.size() + 1, NameClass::None};
            return false;
        case TokenKind::Punct:
            if (m_directive) {
                ++m_directive_tokens;
                if (m_macro_parameters && t.op == ')') {
                    m_macro_parameters = false;
                }
            } else if (kTracked.is[t.op]) {
                TrackPunct(t.op);
            }
            break;
        case TokenKind::Identifier:
            if (m_directive && ++m_directive_tokens == 1) {
                m_directive_name = TokenText(m_text).Word(t);
            }
            if (t.keyword == Keyword::None) {
                c = Classify(t);
            } else if (!m_directive && m_paren == 0) {
                TrackKeyword(t);
            }
            break;
        case TokenKind::Directive:
            if (m_directive) {
                ++m_directive_tokens;
            } else {
                m_directive = true;
                m_directive_tokens = 0;
                m_directive_name = {};
            }
            break;
        case TokenKind::DirectiveEnd:
            m_directive = false;
            m_macro_parameters = false;
            break;
        default: // a literal
            m_directive_tokens += m_directive ? 1 : 0;
            break;
        }
        if (c != NameClass::None) {
            m_last = NameMark{t.start, t.end, c};
            mark = m_last;
            m_w.Advance();
            return true;
        }
        m_w.Advance();
    }
}

NameClass NameMarker::After(std::size_t start) noexcept {
    while (m_last.start < start || (m_last.end == 0 && !m_ended)) {
        NameMark mark;
        if (!Next(mark)) {
            break;
        }
    }
    return m_last.start == start ? m_last.name_class : NameClass::None;
}

// Whether the name is a macro here: #define'd in the file, the tree or the language, not
// #undef'd since, and a function-like one only before "(".
bool NameMarker::MacroNow(const Token& t, uint16_t bits) noexcept {
    if ((bits & kMacro) == 0 || (bits & kUndefined) != 0) {
        return false;
    }
    // A name the file also declares as a class, function or namespace is #define'd on some
    // other configuration's branch (#ifdef DOC #define Name Other #else ...), unless it is
    // spelt as a macro.
    if ((m_file.Find(TokenText(m_text).Word(t), t.hash) & (kType | kFunction | kNamespace)) != 0 &&
        !AllCaps(TokenText(m_text).Word(t))) {
        return false;
    }
    return (bits & kMacroFunction) == 0 || IsPunct(m_w.At(1), '(');
}

NameClass NameMarker::Classify(const Token& t) noexcept {
    const TokenText text(m_text);
    const std::string_view word = text.Word(t);
    uint16_t bits = m_file.Find(word, t.hash, text.Readable(t));
    if (m_tree != nullptr) {
        // What the file itself says comes first: a parameter named Value is no type here,
        // whatever class Value another file declares.
        uint16_t tree = m_tree->Find(word, t.hash);
        if ((bits & kVariable) != 0 && (bits & (kType | kNamespace | kFunction)) == 0) {
            tree &= uint16_t(kMacro | kMacroFunction);
        }
        bits |= tree;
    }
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
            m_file.Assign(word, t.hash,
                          uint16_t((m_file.Find(word, t.hash) & ~(kUndefined | kMacroFunction)) |
                                   kMacro | (function ? kMacroFunction : 0)));
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
            m_file.Add(word, t.hash, kUndefined);
            return (bits & kMacro) != 0 ? NameClass::Macro : NameClass::None;
        }
        return NameClass::None;
    }
    // A name tested for being defined is a macro where some file defines it.
    if (d == "ifdef" || d == "ifndef") {
        return m_directive_tokens == 2 && (bits & kMacroAlways) != 0 ? NameClass::Macro
                                                                     : NameClass::None;
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
            return (bits & kMacroAlways) != 0 ? NameClass::Macro : NameClass::None;
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

void NameMarker::TrackPunct(uint8_t op) noexcept {
    const TokenText text(m_text);
    switch (op) {
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
}

// A keyword outside parentheses and directive lines: what the next "{" opens.
void NameMarker::TrackKeyword(const Token& t) noexcept {
    const TokenText text(m_text);
    const Keyword k = t.keyword;
    if (k == Keyword::Namespace) {
        m_next_brace = Brace::Namespace;
        const Token& n1 = m_w.At(1);
        if (text.Word(n1) == "std") {
            m_std_context = true;
        }
    } else if (k == Keyword::ClassKey || k == Keyword::Enum) {
        const Token& p1 = m_w.At(-1);
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
