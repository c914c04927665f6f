// The name classes: functions, types, namespaces and macros marked in every rendition, and
// nothing else changed by them.

#include "render/ansi_text.h"
#include "render/converter_test_support.h"
#include "render/latex_text.h"
#include "render/rtf_text.h"
#include "render/style_sheet.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool IsNameClass(SpanClass c) {
    return c == SpanClass::Function || c == SpanClass::Type || c == SpanClass::Namespace ||
           c == SpanClass::Macro;
}

// `html` without the spans of the name classes that `s` has on; their open tags are told apart by
// class (CSS) or by colour (font markup), and each closes at the next close tag, since no span
// nests.
std::string WithoutNames(const ProfileSettings& s, std::string html, bool css) {
    for (const ClassColourField& c : kClassColourFields) {
        if (!IsNameClass(c.span) || s.*c.field < 0) {
            continue;
        }
        const std::string open =
            css ? std::string("<code class=\"").append(c.css_class).append("\">")
                : tarvo::Format("<font color=\"#%06X\">", unsigned(s.*c.field));
        const std::string close = css ? "</code>" : "</font>";
        for (std::size_t at; (at = html.find(open)) != std::string::npos;) {
            const std::size_t end = html.find(close, at);
            EXPECT_NE(end, std::string::npos);
            const std::string word = html.substr(at + open.size(), end - at - open.size());
            EXPECT_TRUE(!word.empty() &&
                        std::all_of(word.begin(), word.end(),
                                    [](char ch) {
                                        return std::isalnum(static_cast<unsigned char>(ch)) ||
                                               ch == '_' || ch == '$' ||
                                               static_cast<unsigned char>(ch) >= 0x80;
                                    }))
                << "a name span holds one word: " << word;
            html.erase(end, close.size());
            html.erase(at, open.size());
        }
    }
    return html;
}

// A few real headers, when the machine has them.
std::vector<std::string> RealSources() {
    std::vector<std::string> sources;
    for (const char* path :
         {"/usr/include/c++/12/bits/stl_vector.h", "/usr/include/c++/12/bits/shared_ptr_base.h",
          "/usr/include/stdio.h"}) {
        std::ifstream file(path, std::ios::binary);
        if (file) {
            std::ostringstream text;
            text << file.rdbuf();
            sources.push_back(text.str().substr(0, 60000));
        }
    }
    return sources;
}

// The spans of the CSS output as "class:text", for the classes whose spans hold one word.
std::vector<std::string> CssSpans(const std::string& html) {
    std::vector<std::string> spans;
    const std::string open = "<code class=\"cpp_";
    for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
        const std::size_t name_end = html.find('"', at + open.size());
        const std::size_t text_end = html.find('<', name_end);
        if (html.compare(at + open.size(), 5, "text\"") == 0) {
            continue; // the code's own element
        }
        spans.push_back(html.substr(at + open.size(), name_end - at - open.size())
                            .append(":")
                            .append(html.substr(name_end + 2, text_end - name_end - 2)));
    }
    return spans;
}

} // namespace

TEST(NameClasses, StrippedTheyLeaveTheOutputAsWithoutThem) {
    std::mt19937 rng(28);
    const std::vector<std::string> vocabulary = {"std::",     "vector<int>",
                                                 "Foo",       "foo(",
                                                 "class ",    "struct S {",
                                                 "};",        "#define ",
                                                 "MAX(a, b)", "\n#ifdef ",
                                                 "v.push(",   "->",
                                                 "~Foo()",    "namespace n {",
                                                 "n::f<T>(",  "typedef ",
                                                 "using ",    "int ",
                                                 "u8\"s\"",   "'c'",
                                                 "1.5e3",     "template <typename T>"};
    std::vector<std::string> sources = RealSources();
    for (int round = 0; round < 600; ++round) {
        sources.push_back(RandomText(rng, rng() % 300, vocabulary));
    }
    int round = 0;
    for (const std::string& source : sources) {
        ProfileSettings s;
        SetDefaults(s);
        s.b_use_table = int32_t(rng() % 2);
        const int mask = 1 + int(rng() % 15);
        int bit = 0;
        for (const ClassColourField& c : kClassColourFields) {
            // Distinct colours, so that font markup tells the classes apart. Numbers are always
            // on, so that both conversions take the C++ lexer; directive lines stay off here,
            // since a name splits their span (below).
            if (IsNameClass(c.span)) {
                s.*c.field = (mask >> bit++) & 1 ? int32_t(0x101010 * bit) : kClassOff;
            } else if (c.span == SpanClass::Number || (c.span != SpanClass::Preproc && rng() % 2)) {
                s.*c.field = int32_t(0x0A0B0C * (bit + 2));
            }
        }
        const bool css = rng() % 2 != 0;
        const std::string on = Convert(s, source, css);
        ProfileSettings off;
        SetDefaults(off);
        for (const ClassColourField& c : kClassColourFields) {
            off.*c.field = IsNameClass(c.span) ? kClassOff : s.*c.field;
        }
        off.b_use_table = s.b_use_table;
        ASSERT_EQ(WithoutNames(s, on, css), Convert(off, source, css)) << "round " << round << "\n"
                                                                       << source;
        ++round;
    }
}

TEST(NameClasses, WhatUsersReportedInEveryRendition) {
    ProfileSettings s;
    SetDefaults(s);
    s.b_use_table = 0;
    SetSuggestedNameColours(s);
    const std::string source = "std::vector<int> foo();\n"
                               "class A { public: A(int); };\n"
                               "A a = A(1);\n"
                               "void g(std::vector<int>& v) { v.push_back(2); }\n"
                               "#define MAX(x, y) ((x) > (y) ? (x) : (y))\n"
                               "int m = MAX(1, 2);\n";
    const std::vector<std::string> spans = CssSpans(Convert(s, source, 1));
    for (const char* expected : {"namespace:std", "type:vector", "function:foo", "type:A",
                                 "function:g", "function:push_back", "macro:MAX"}) {
        EXPECT_NE(std::find(spans.begin(), spans.end(), expected), spans.end()) << expected;
    }
    // A class's name that constructs an object is a type; its constructor's declaration is a
    // function's.
    EXPECT_EQ(std::count(spans.begin(), spans.end(), "type:A"), 3);
    EXPECT_EQ(std::count(spans.begin(), spans.end(), "function:A"), 1);
    // Built-in type keywords stay keywords.
    EXPECT_EQ(std::count(spans.begin(), spans.end(), "keyword:int"), 3);

    // On a directive line the name takes its own class inside the directive's span.
    s.n_preproc_color = kSuggestedPreprocColor;
    const std::vector<std::string> directive = CssSpans(Convert(s, "#define MAX 3\nMAX;", 1));
    EXPECT_EQ(directive, (std::vector<std::string>{"preproc:#define ", "macro:MAX", "preproc:3\n",
                                                   "macro:MAX"}));

    // The style sheet has their rules; font markup, RTF, LaTeX and ANSI their colours.
    const std::string sheet = BuildStyleSheet(s);
    for (const char* rule :
         {".cpp_function {", ".cpp_type {", ".cpp_namespace {", ".cpp_macro {"}) {
        EXPECT_NE(sheet.find(rule), std::string::npos) << rule;
    }
    EXPECT_NE(Convert(s, "foo();", 0).find("<font color=\"#795E26\">foo</font>"),
              std::string::npos);
    std::string rtf, latex, ansi;
    ASSERT_EQ(BuildRtf("foo();", s, 1, rtf), 1);
    ASSERT_EQ(BuildLatex("foo();", s, latex), 1);
    ASSERT_EQ(BuildAnsi("foo();", s, ansi), 1);
    EXPECT_NE(rtf.find("\\red121\\green94\\blue38;"), std::string::npos) << rtf;
    EXPECT_NE(latex.find("\\TVfunction{foo}"), std::string::npos) << latex;
    EXPECT_NE(BuildLatexPreamble(s).find("\\definecolor{TarvoFunction}{HTML}{795E26}"),
              std::string::npos);
    EXPECT_NE(ansi.find("38;2;121;94;38mfoo"), std::string::npos) << ansi;
}
