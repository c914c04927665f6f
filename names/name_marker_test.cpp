#include "names/name_marker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

using names::NameMark;
using names::NameMarker;

// The source escaped as a conversion escapes it.
std::string Escaped(std::string_view source) {
    std::string text;
    for (char c : source) {
        text += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
    }
    return text;
}

// "word:class" for each marked word, in order; classes as f, t, n, m.
std::string Marks(std::string_view source, const names::TreeNames* tree = nullptr) {
    const std::string text = Escaped(source);
    NameMarker marker(text, 0, tree);
    std::string out;
    for (NameMark m; marker.Next(m);) {
        const char letter = "-ftnm"[int(m.name_class)];
        if (!out.empty()) {
            out += ' ';
        }
        out.append(text, m.start, m.end - m.start).append(1, ':').append(1, letter);
    }
    return out;
}

TEST(NameMarker, CasesUsersReported) {
    EXPECT_EQ(Marks("std::vector<int> foo() { return {}; }"), "std:n vector:t foo:f");
    EXPECT_EQ(Marks("uint32_t a = my_size_t + foo_t;"), "uint32_t:t");
    EXPECT_EQ(Marks("class A { public: A(int); };\nvoid f() { A a = A(1); }"),
              "A:t A:f f:f A:t A:t");
    EXPECT_EQ(Marks("namespace ns { struct R {}; }\nns::R g();\nstd::map<int, int> h();\n"),
              "ns:n R:t ns:n R:t g:f std:n map:t h:f");
}

TEST(NameMarker, JudgesRules) {
    // Constructors and destructors where declared, a class's name elsewhere.
    EXPECT_EQ(Marks("struct Foo { Foo(); ~Foo(); };\nFoo::Foo() {}\nFoo::~Foo() {}\n"
                    "Foo x = Foo{};"),
              "Foo:t Foo:f Foo:f Foo:t Foo:f Foo:t Foo:f Foo:t Foo:t");
    // Member, qualified and templated calls; calls through variables are not functions.
    EXPECT_EQ(Marks("void f(V& v, int n) { v.push_back(n); std::sort(v.begin(), v.end());"
                    " detail::g<T>(n); auto l = [] {}; l(); }"),
              "f:f push_back:f std:n sort:f begin:f end:f detail:n g:f");
    // Macros where defined and used, in directives too; keywords never.
    EXPECT_EQ(Marks("#define SQ(x) ((x) * (x))\n#ifdef SQ\nint y = SQ(2);\n#endif\n"
                    "#undef SQ\nint SQ = 1;"),
              "SQ:m SQ:m SQ:m SQ:m");
    EXPECT_EQ(Marks("template <typename T> T id(T t) { return t; }\nusing Vec = V<int>;\n"
                    "typedef int (*Fn)(int);\nnamespace a = b::c;"),
              "T:t T:t id:f T:t Vec:t V:t Fn:t a:n b:n c:n");
    EXPECT_EQ(Marks("int auto bool nullptr decltype(x) sizeof(int) override final"), "");
}

// No keyword of C++23 is ever a name, wherever it stands; nor #define'd as one.
TEST(NameMarker, KeywordsAreNeverMarked) {
    const char* const keywords =
        "alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t "
        "char16_t char32_t class compl concept const consteval constexpr constinit const_cast "
        "continue co_await co_return co_yield decltype default delete do double dynamic_cast "
        "else enum explicit export extern false float for friend goto if inline int long "
        "mutable namespace new noexcept not not_eq nullptr operator or or_eq private protected "
        "public register reinterpret_cast requires return short signed sizeof static "
        "static_assert static_cast struct switch template this thread_local throw true try "
        "typedef typeid typename union unsigned using virtual void volatile wchar_t while xor "
        "xor_eq final override import module";
    std::string source;
    for (const char* p = keywords; *p != '\0';) {
        const char* end = std::strchr(p, ' ');
        const std::string kw(p, end == nullptr ? std::strlen(p) : std::size_t(end - p));
        source += "#define " + kw + "\n" + kw + "(a); " + kw + "<b> c; " + kw + "::d; x." + kw +
                  "(); X " + kw + ";\n";
        p += kw.size() + (end == nullptr ? 0 : 1);
    }
    const std::string text = Escaped(source);
    NameMarker marker(text, 0);
    std::string spaced(" ");
    spaced.append(keywords).append(" ");
    for (NameMark m; marker.Next(m);) {
        std::string word(" ");
        word.append(text, m.start, m.end - m.start).append(" ");
        EXPECT_EQ(spaced.find(word), std::string::npos) << word;
    }
}

TEST(NameMarker, TreeNamesReachEveryFile) {
    names::TreeNames tree;
    tree.AddSource("#define exported __attribute__((visibility(\"default\")))\n"
                   "class exported Widget {};\nnamespace ui {}\n");
    EXPECT_EQ(Marks("exported Widget* w; ui::Show();", &tree), "exported:m Widget:t ui:n Show:f");
    EXPECT_EQ(Marks("exported Widget* w; ui::Show();"), "ui:n Show:f");
}

// Random sources: the marks are words of code, in order, and ClassAt agrees with Next.
TEST(NameMarker, RandomSourcesGiveOnlyWholeWords) {
    const char* const pieces[] = {
        "a",    "Foo", "std",      "::",       "<",          ">",  "(",        ")",   "{",
        "}",    ";",   "#define ", "#if ",     "\n",         " ",  "\"s\"",    "'c'", "//c\n",
        "/*",   "*/",  "class ",   "template", "&",          ".",  "->",       "~",   "1",
        "R\"(", ")\"", "\\\n",     "typedef ", "namespace ", "\t", "\xc3\xa9", "$"};
    std::mt19937 rng(28);
    for (int round = 0; round < 2000; ++round) {
        std::string source;
        const int n = int(rng() % 60);
        for (int i = 0; i < n; ++i) {
            source += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        }
        const std::string text = "<pre>" + Escaped(source);
        NameMarker all(text, 5);
        NameMarker asked(text, 5);
        std::size_t last = 0;
        for (NameMark m; all.Next(m);) {
            ASSERT_GE(m.start, std::max<std::size_t>(last, 5)) << source;
            ASSERT_LT(m.start, m.end);
            ASSERT_LE(m.end, text.size());
            auto word = [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
                       static_cast<unsigned char>(c) >= 0x80;
            };
            for (std::size_t i = m.start; i < m.end; ++i) {
                ASSERT_TRUE(word(text[i])) << source;
            }
            ASSERT_FALSE(std::isdigit(static_cast<unsigned char>(text[m.start])));
            ASSERT_TRUE(m.start == 0 || !word(text[m.start - 1])) << source;
            ASSERT_TRUE(m.end == text.size() || !word(text[m.end])) << source;
            ASSERT_EQ(asked.ClassAt(m.start), m.name_class) << source;
            last = m.end;
        }
    }
}

} // namespace
