// The optional classes: the literals and directive lines of C++ as a compiler's lexer splits
// them, in both styles, and over random sources.

#include "render/converter_test_support.h"

namespace {

// The spans of a result as "class:text" (font colours named after the class that has them),
// text outside spans left out; both styles give the same list.
std::vector<std::string> Spans(ProfileSettings& s, const std::string& source, int css) {
    const std::string html = Convert(s, source, css);
    const std::pair<std::string, std::string> names[] = {
        {"<font color=\"#0000FF\">", "keyword"},
        {"<font color=\"#008000\">", "comment"},
        {tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_string_color)), "string"},
        {tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_char_color)), "char"},
        {tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_number_color)), "number"},
        {tarvo::Format("<font color=\"#%06X\">", unsigned(s.n_preproc_color)), "preproc"},
        {"<code class=\"cpp_keyword\">", "keyword"},
        {"<code class=\"cpp_comment\">", "comment"},
        {"<code class=\"cpp_string\">", "string"},
        {"<code class=\"cpp_char\">", "char"},
        {"<code class=\"cpp_number\">", "number"},
        {"<code class=\"cpp_preproc\">", "preproc"},
    };
    std::vector<std::string> spans;
    std::size_t at = 0;
    while ((at = html.find('<', at)) != std::string::npos) {
        bool found = false;
        for (const auto& [tag, name] : names) {
            if (html.compare(at, tag.size(), tag) == 0) {
                const std::size_t end = html.find('<', at + tag.size());
                spans.push_back(name + ":" + html.substr(at + tag.size(), end - at - tag.size()));
                at = end;
                found = true;
                break;
            }
        }
        at += found ? 0 : 1;
    }
    return spans;
}

using Strings = std::vector<std::string>;

struct ClassTest : ::testing::Test {
    ClassTest() {
        SetDefaults(s);
        s.b_use_table = 0;
        SetSuggestedClassColours(s);
    }
    // The spans of `source`, the same in both styles.
    Strings Of(const std::string& source) {
        const Strings font = Spans(s, source, 0);
        EXPECT_EQ(Spans(s, source, 1), font) << source;
        return font;
    }
    ProfileSettings s;
};

} // namespace

TEST_F(ClassTest, StringsWithPrefixesSuffixesAndRawStrings) {
    EXPECT_EQ(Of("a(u8\"a\", u\"b\", U\"c\", L\"d\");"),
              (Strings{"string:u8\"a\"", "string:u\"b\"", "string:U\"c\"", "string:L\"d\""}));
    EXPECT_EQ(Of("f(\"abc\"s, \"x\"_sv, \"%d\"PRId64);"),
              (Strings{"string:\"abc\"s", "string:\"x\"_sv", "string:\"%d\""}));
    EXPECT_EQ(Of("x=R\"d(a\"b // c)d\"_t;LR\"(\n/*)\""),
              (Strings{"string:R\"d(a\"b // c)d\"_t", "string:LR\"(\n/*)\""}));
    // A continued line goes on in the string; an unterminated one is no literal.
    EXPECT_EQ(Of("\"a\\\r\nb\" 'x\r\n1"), (Strings{"string:\"a\\\r\nb\"", "number:1"}));
    EXPECT_EQ(Of("xu8\"a\" FOOR\"(x)\""), (Strings{"string:\"a\"", "string:\"(x)\""}));
}

TEST_F(ClassTest, CharactersAndDigitSeparators) {
    EXPECT_EQ(Of("c='\\''; d=u8'a'; e=L'x'; f='\"'; g='a'_c;"),
              (Strings{"char:'\\''", "char:u8'a'", "char:L'x'", "char:'\"'", "char:'a'_c"}));
    EXPECT_EQ(Of("0x1F'FFu; 1'000'000LL; 0b1010; 1.5e-3f; 0x1.8p3; .5; 12_km; 1p+2; 0x1e+1"),
              (Strings{"number:0x1F'FFu", "number:1'000'000LL", "number:0b1010", "number:1.5e-3f",
                       "number:0x1.8p3", "number:.5", "number:12_km", "number:1p", "number:2",
                       "number:0x1e+1"}));
    EXPECT_EQ(Of("x1 u8 a.b2 x<1"), (Strings{"number:1"}));
    // After a quote of a separator the rest of the file is no string.
    EXPECT_EQ(Of("int x = 0x1F'FFu;\n\"s\""),
              (Strings{"keyword:int ", "number:0x1F'FFu", "string:\"s\""}));
}

TEST_F(ClassTest, DirectiveLinesKeepTheirCommentsAndLiterals) {
    EXPECT_EQ(Of("#include <vector>\n  # include \"a.h\" // c\nint"),
              (Strings{"preproc:#include ", "string:&lt;vector&gt;", "preproc:# include ",
                       "string:\"a.h\"", "comment:// c\n", "keyword:int"}));
    EXPECT_EQ(Of("#define X(a) 'c' /* c */ 1.5 \\\n  + a\nelse{"),
              (Strings{"preproc:#define X(a) ", "char:'c'", "comment:/* c */ ", "number:1.5",
                       "preproc:\\\n  + a\n", "keyword:else"}));
    // Not a directive: # after code, or in a string; a comment keeps the line start.
    EXPECT_EQ(
        Of("x # y \"#z\"\n/* c */ #if 1"),
        (Strings{"keyword:# ", "string:\"#z\"", "comment:/* c */ ", "preproc:#if ", "number:1"}));
    // With the preproc class off its keywords are marked as before, with it on they are not.
    s.n_preproc_color = kClassOff;
    EXPECT_EQ(Of("#include <map>\n#if defined X"),
              (Strings{"keyword:#include ", "string:&lt;map&gt;", "keyword:#if "}));
    // With the string class off its literals in a directive take the directive's colour.
    s.n_preproc_color = kSuggestedPreprocColor;
    s.n_string_color = kClassOff;
    EXPECT_EQ(Of("#include \"a.h\" 2\n\"b\""), (Strings{"preproc:#include \"a.h\" ", "number:2"}));
}

TEST_F(ClassTest, KeywordsAndCommentsBesideLiterals) {
    EXPECT_EQ(Of("return\"x\";case'a':return 1;"),
              (Strings{"keyword:return", "string:\"x\"", "keyword:case", "char:'a'",
                       "number:1"})); // ":" is no boundary before a keyword
    EXPECT_EQ(Of("\"a//b\"//c\n'/*'/**/\"*/\""),
              (Strings{"string:\"a//b\"", "comment://c\n", "char:'/*'", "comment:/**/",
                       "string:\"*/\""}));
    // Keywords in the opening piece are marked as without the classes; its numbers are not.
    s.b_use_table = 1;
    ASSERT_EQ(s.SetKeywords("pre td"), 1);
    EXPECT_EQ(Spans(s, "", 0), (Strings{"keyword:td", "keyword:pre"}));
}

// Random text with every class on or some: what a browser shows stays the source, spans never
// open inside one another, and with the classes off the output is the old scan's.
TEST(ClassProperty, VisibleTextStaysAndSpansNeverNest) {
    std::mt19937 rng(1907);
    const std::vector<std::string> vocabulary = {
        "int",  "#include", "#define", "\"",    "'",      "\\", "0x1F'FF", "1.5e-3",
        "u8",   "L",        "R",       "\r\n#", "\\\r\n", "//", "/*",      "*/",
        "&lt;", "<",        ">",       "_x",    ".5",     "if", "else{"};
    for (int round = 0; round < 2000; ++round) {
        ProfileSettings s;
        SetDefaults(s, "int if else # #include #define x");
        s.b_use_table = int32_t(rng() % 2);
        s.n_tab_size = int32_t(rng() % 3);
        const int mask = 1 + int(rng() % 15);
        int bit = 0;
        for (const ClassColourField& c : kClassColourFields) {
            s.*c.field = (mask >> bit++) & 1 ? int32_t(0x101010 * (bit + 1)) : kClassOff;
        }
        const bool css = rng() % 2 != 0;
        const std::string source = RandomText(rng, rng() % 400, vocabulary);
        const std::string html = Convert(s, source, css);

        Reference reference(s, css);
        std::string replaced;
        for (char ch : source) {
            replaced += ch == '\t' ? reference.tab : std::string(1, ch);
        }
        ASSERT_EQ(VisibleText(html),
                  VisibleText(reference.opening) + replaced + VisibleText(reference.closing))
            << "round " << round;

        int depth = 0;
        const std::string open = css ? "<code class=\"cpp_" : "<font ";
        const std::string close = css ? "</code>" : "</font>";
        const std::size_t start = css ? html.find("cpp_text") : 0;
        for (std::size_t i = html.find('<', start); i != std::string::npos;
             i = html.find('<', i + 1)) {
            if (html.compare(i, open.size(), open) == 0) {
                ASSERT_EQ(depth++, 0) << "round " << round << "\n" << html;
            } else if (html.compare(i, close.size(), close) == 0 && depth > 0) {
                --depth;
            }
        }
        ASSERT_EQ(depth, 0) << html;

        for (const ClassColourField& c : kClassColourFields) {
            s.*c.field = kClassOff;
        }
        ASSERT_EQ(Convert(s, source, css), Reference(s, css).Run(source)) << "round " << round;
    }
}

// A text large enough for the names to be marked on a thread of their own: the same output as
// when the conversion may not use one.
TEST(ClassProperty, NamesAheadGiveTheSameOutput) {
    struct OneThread : ConvertObserver {
        bool MayUseThreads() const override { return false; }
    };
    std::mt19937 rng(256);
    const std::vector<std::string> vocabulary = {
        "int ", "Foo",   "std::", "vector",   "<",          ">",          "(",        ")",
        "{",    "}",     ";",     "\n",       "#define M ", "#undef M\n", "class ",   "x.f",
        "->g",  "~Foo(", "M(",    "//c\n",    "/*",         "*/",         "\"s\"",    "namespace ",
        "a::",  "&amp;", "\t",    "typedef ", "template ",  "using ",     "ALL_CAPS", "\\\n"};
    for (int round = 0; round < 3; ++round) {
        ProfileSettings s;
        SetDefaults(s);
        SetSuggestedClassColours(s);
        SetSuggestedNameColours(s);
        const std::string source = RandomText(rng, 300000 + rng() % 100000, vocabulary);
        const int css = round % 2;
        std::string ahead;
        std::string alone;
        OneThread one;
        ASSERT_EQ(ConvertSource(s, source, css, ahead), 1);
        ASSERT_EQ(ConvertSource(s, source, css, alone, &one), 1);
        ASSERT_EQ(ahead, alone) << "round " << round;
    }
}
