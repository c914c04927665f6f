#include "render/converter_test_support.h"

TEST(ConvertSource, WorkedExampleInFontMarkup) {
    ProfileSettings s;
    SetDefaults(s);
    s.b_use_table = 0;
    Recorder recorder;
    const std::string html = Convert(s, "\treturn 0; /* done */\r\n}", 0, &recorder);
    EXPECT_EQ(html, "<pre>\r\n    <font color=\"#0000FF\">return </font>0; "
                    "<font color=\"#008000\">/* done */\r\n</font>}\r\n</pre>\r\n");
    EXPECT_TRUE(recorder.notices.empty());
    ASSERT_EQ(recorder.escaped.size(), 1u);
    EXPECT_EQ(recorder.escaped[0], "<pre>\r\n    return 0; /* done */\r\n}");
    EXPECT_EQ(recorder.progress, (std::vector<int32_t>{0, 512}));
}

TEST(ConvertSource, EmptySourceInEveryStyle) {
    ProfileSettings s;
    SetDefaults(s);
    s.n_table_width = -7;
    s.b_table_width_percent = 0;
    EXPECT_EQ(Convert(s, "", 0),
              "<table cellspacing=\"0\" bordercolorlight=\"#A8C8E8\" bordercolordark=\"#4084d0\" "
              "align=\"center\" cellpadding=\"10\" width=\"-7\" border=\"2\"><tr><td><pre>\r\n\r\n"
              "\r\n</pre></td></tr></table>\r\n");
    s.b_table_width_percent = 5; // any nonzero value is set
    EXPECT_EQ(Convert(s, "", 1),
              "<table cellspacing=\"0\" class=\"cpp\" align=\"center\" cellpadding=\"10\" "
              "width=\"-7%\" border=\"2\"><tr><td><pre>\r\n<code class=\"cpp_text\">\r\n"
              "\r\n</code></pre></td></tr></table>\r\n");
    s.b_use_table = 0;
    EXPECT_EQ(Convert(s, "", 0), "<pre>\r\n\r\n</pre>\r\n");
    EXPECT_EQ(Convert(s, "", 1), "<pre><code class=\"cpp_text\">\r\n\r\n</code></pre>\r\n");
    // Colours above 24 bits keep all their digits.
    s.b_use_table = 1;
    s.n_table_lt_color = 0x1ABCDEF0;
    s.n_table_dk_color = 0xFFFFFFFF;
    EXPECT_NE(
        Convert(s, "", 0).find("bordercolorlight=\"#1ABCDEF0\" bordercolordark=\"#ffffffff\""),
        std::string::npos);
}

TEST(ConvertSource, KeywordMatchingRules) {
    ProfileSettings s;
    SetDefaults(s, "int sizeof else #define #defined template");
    s.b_use_table = 0;
    const std::string k = "<code class=\"cpp_keyword\">", c = "</code>";
    auto body = [&](const std::string& source) {
        const std::string html = Convert(s, source, 1);
        return html.substr(30, html.size() - 30 - 17);
    };
    EXPECT_EQ(body("int"), k + "int" + c);         // first and last word of the text
    EXPECT_EQ(body("inta"), "inta");               // followed by a non-boundary
    EXPECT_EQ(body("x=sizeof(y)"), "x=sizeof(y)"); // "=" is no boundary
    EXPECT_EQ(body("(int)"), "(" + k + "int" + c + ")");
    // Every punctuator after a keyword ends it, and so does an entity; before a keyword only a
    // boundary character lets it begin.
    EXPECT_EQ(body("else{"), k + "else" + c + "{");
    EXPECT_EQ(body("#defined x"), k + "#defined " + c + "x");
    EXPECT_EQ(body("#define x"), k + "#define " + c + "x");
    EXPECT_EQ(body("unsigned int  x"), "unsigned " + k + "int  " + c + "x");
    EXPECT_EQ(body("int int"), k + "int " + c + k + "int" + c);
    // Escaped < and > end a keyword; & does not.
    EXPECT_EQ(body("template<class T>"), k + "template" + c + "&lt;class T&gt;");
    EXPECT_EQ(body("vector<int>"), "vector&lt;" + k + "int" + c + "&gt;");
    EXPECT_EQ(body("int&x"), k + "int" + c + "&amp;x");
    EXPECT_EQ(body("{int}"), "{int}");
    // A zero tab size joins the words around a tab.
    s.n_tab_size = 0;
    EXPECT_EQ(body("int\tx"), "intx");
}

TEST(ConvertSource, KeywordsBeforePunctuation) {
    ProfileSettings s;
    SetDefaults(s);
    s.b_use_table = 0;
    const std::string k = "<font color=\"#0000FF\">", c = "</font>";
    auto body = [&](const std::string& source) {
        const std::string html = Convert(s, source, 0);
        return html.substr(7, html.size() - 7 - 10);
    };
    EXPECT_EQ(body("public:"), k + "public" + c + ":");
    EXPECT_EQ(body(" private:\n default:"),
              " " + k + "private" + c + ":\n " + k + "default" + c + ":");
    EXPECT_EQ(body("(const&"), "(" + k + "const" + c + "&amp;");
    EXPECT_EQ(body(" do{"), " " + k + "do" + c + "{");
    EXPECT_EQ(body(" return!x"), " " + k + "return" + c + "!x");
    for (const char* after : {":", "!", "{", "}", "=", "?", "%", "^", "|", "#", "\"\"", "'"}) {
        EXPECT_EQ(body(std::string(" int") + after), " " + k + "int" + c + after) << after;
    }
    EXPECT_EQ(body(" int\\"), " int\\");
    EXPECT_EQ(body(" int$"), " int$");

    // Not in the opening piece: "class" stands before "=" in both CSS openings.
    s.SetKeywords("class code table pre");
    for (int table : {0, 1}) {
        s.b_use_table = table;
        const std::string html = Convert(s, "class=x", 1);
        EXPECT_EQ(html.find("class=\"cpp_keyword\"><code"), std::string::npos) << html;
        EXPECT_NE(html.find("<code class=\"cpp_keyword\">class</code>=x"), std::string::npos)
            << html;
    }
}

TEST(ConvertSource, KeywordsInTheOpeningPieceAndAtLineEnds) {
    ProfileSettings s;
    SetDefaults(s, "pre x\r");
    s.b_use_table = 0;
    EXPECT_EQ(Convert(s, "", 0), "<<font color=\"#0000FF\">pre</font>>\r\n\r\n</pre>\r\n");
    // A keyword typed with a lone CR at its end matches only before a line end.
    s.b_use_table = 1;
    EXPECT_EQ(s.SetKeywords("x\r"), 1);
    const std::string html = Convert(s, "x\r\nx \r\n", 0);
    EXPECT_NE(html.find("<font color=\"#0000FF\">x\r\n</font>x"), std::string::npos) << html;
}

TEST(ConvertSource, StringsAndComments) {
    ProfileSettings s;
    SetDefaults(s, "int");
    s.b_use_table = 0;
    const std::string k = "<font color=\"#0000FF\">", m = "<font color=\"#008000\">", c = "</font>";
    auto body = [&](const std::string& source) {
        const std::string html = Convert(s, source, 0);
        return html.substr(7, html.size() - 7 - 10);
    };
    EXPECT_EQ(body("\"// int /*\" int"), "\"// int /*\" " + k + "int" + c);
    EXPECT_EQ(body("// \"a\nint"), m + "// \"a\n" + c + k + "int" + c);
    EXPECT_EQ(body("// last line"), m + "// last line" + c);
    EXPECT_EQ(body("/* open"), m + "/* open" + c);
    EXPECT_EQ(body("/*/ int"), m + "/*/ " + c + k + "int" + c);
    EXPECT_EQ(body("a */ int"), "a */ " + k + "int" + c);
    EXPECT_EQ(body("/*a*/ /*b*/"), m + "/*a*/ " + c + m + "/*b*/" + c);
    EXPECT_EQ(body("int // x"), k + "int " + c + m + "// x" + c);
}

// Each case: the source, then what the converter makes of it between the pieces, written with
// K for the keyword open tag, M for the comment open tag and | for a close tag.
struct Case {
    const char* source;
    const char* expected;
};

void CheckCases(const char* keywords, int32_t tab_size, std::initializer_list<Case> cases) {
    ProfileSettings s;
    SetDefaults(s, keywords);
    s.b_use_table = 0;
    s.n_tab_size = tab_size;
    for (const Case& c : cases) {
        std::string expected;
        for (const char* e = c.expected; *e != '\0'; ++e) {
            expected += *e == 'K'   ? "<font color=\"#0000FF\">"
                        : *e == 'M' ? "<font color=\"#008000\">"
                        : *e == '|' ? "</font>"
                                    : std::string(1, *e);
        }
        EXPECT_EQ(Convert(s, c.source, 0), "<pre>\r\n" + expected + "\r\n</pre>\r\n") << c.source;
    }
}

TEST(ConvertSource, RawStringsAreCopiedAsText) {
    CheckCases("int return sizeof", 2,
               {
                   // Quotes, comment marks and a ) that closes nothing inside: the comments after
                   // it are marked, and nothing inside it.
                   {"auto r = R\"x(a \"b\" /* not ) \" c)x\"; // c4\nint y; // c5",
                    "auto r = R\"x(a \"b\" /* not ) \" c)x\"; M// c4\n|Kint |y; M// c5|"},
                   // Every prefix, with and without a delimiter.
                   {"R\"(int // a)\" int", "R\"(int // a)\" Kint|"},
                   {"u8R\"(int /* a)\" int", "u8R\"(int /* a)\" Kint|"},
                   {"uR\"d(\" ' */ a)d\" int", "uR\"d(\" ' */ a)d\" Kint|"},
                   {"UR\"(\")\" int", "UR\"(\")\" Kint|"},
                   {"LR\"(a\\)\" int", "LR\"(a\\)\" Kint|"},
                   // The closing of another delimiter, line breaks, tabs and escapes inside.
                   {"R\"ab()\" )a\" )b\" \r\n\tint // x\r\n)ab\" int",
                    "R\"ab()\" )a\" )b\" \r\n  int // x\r\n)ab\" Kint|"},
                   {"R\"<&>(a<b)<&>\" int", "R\"&lt;&amp;&gt;(a&lt;b)&lt;&amp;&gt;\" Kint|"},
                   {"R\"<<<<<<<<<<<<<<<<(\")<<<<<<<<<<<<<<<<\" int",
                    "R\"&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;(\")"
                    "&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;\" Kint|"},
                   // Left open, it runs to the end of the text, like an open block comment.
                   {"R\"(int // a\n/* int", "R\"(int // a\n/* int"},
                   // After a keyword, a boundary, an entity or an = it still begins.
                   {"return LR\"(\" int)\";", "Kreturn |LR\"(\" int)\";"},
                   {"sizeof(LR\"(\")\") int", "Ksizeof|(LR\"(\")\") Kint|"},
                   {"f<R\"(\")\"> x=R\"(\")\" int", "f&lt;R\"(\")\"&gt; x=R\"(\")\" Kint|"},
                   // Not raw: R or its prefix ends a longer word, or the delimiter is invalid (too
                   // long, or holding a space or backslash): the quote opens an ordinary string.
                   {"FOOR\"(\")\" int", "FOOR\"(\")\" int"},
                   {"1R\"(\")\" int", "1R\"(\")\" int"},
                   {"xu8R\"(\")\" int", "xu8R\"(\")\" int"},
                   {"intLR\"(\")\" int", "intLR\"(\")\" int"},
                   {"R\"0123456789abcdef(\")0123456789abcdef\" int",
                    "R\"0123456789abcdef(\")0123456789abcdef\" Kint|"},
                   {"R\"0123456789abcdefg(\")0123456789abcdefg\" int",
                    "R\"0123456789abcdefg(\")0123456789abcdefg\" int"},
                   {"R\" (\") \" int", "R\" (\") \" int"},
                   {"R\"\\(a)\\\" int", "R\"\\(a)\\\" int"},
               });
}

TEST(ConvertSource, OrdinaryLiteralsEndAtTheirLine) {
    CheckCases("int", 4,
               {
                   {"\"a\nint; \"b\" int", "\"a\nKint|; \"b\" Kint|"},
                   {"\"a\r\nint // c", "\"a\r\nKint |M// c|"},
                   {"#error don't \"quote\r\n// c", "#error don't \"quote\r\nM// c|"},
                   // A backslash right before the line break continues the line, whatever
                   // stands before it.
                   {"\"a\\\nint\" int", "\"a\\\nint\" Kint|"},
                   {"\"a\\\r\nint\" int", "\"a\\\r\nint\" Kint|"},
                   {"\"a\\\\\r\nint\" int", "\"a\\\\\r\nint\" Kint|"},
                   {"\"a\\ \r\nint", "\"a\\ \r\nKint|"},
                   // The character constant '"' still opens nothing.
                   {"'\"' // c\n'\\\"' // d", "'\"' M// c\n|'\\\"' M// d|"},
               });
}

TEST(ConvertSource, EscapedQuotesAndCharacterConstantsDoNotDerailTheScan) {
    ProfileSettings s;
    SetDefaults(s, "int");
    s.b_use_table = 0;
    const std::string k = "<font color=\"#0000FF\">", c = "</font>";
    auto body = [&](const std::string& source) {
        const std::string html = Convert(s, source, 0);
        return html.substr(7, html.size() - 7 - 10);
    };
    // An escaped backslash before the closing quote: the string ends there.
    EXPECT_EQ(body("\"C:\\\\\" int"), "\"C:\\\\\" " + k + "int" + c);
    EXPECT_EQ(body("\"a\\\"b\" int"), "\"a\\\"b\" " + k + "int" + c);
    EXPECT_EQ(body("\"\\\\\\\" int\" int"), "\"\\\\\\\" int\" " + k + "int" + c);
    // A double quote as a character constant starts no string.
    EXPECT_EQ(body("c == '\"'; int"), "c == '\"'; " + k + "int" + c);
    EXPECT_EQ(body("c == '\\\"'; int"), "c == '\\\"'; " + k + "int" + c);
    // Inside a string the quote between single quotes still ends it.
    EXPECT_EQ(body("\"'\"' int"), "\"'\"' " + k + "int" + c);
}

TEST(ConvertSource, TabSizeNotices) {
    ProfileSettings s;
    SetDefaults(s, "");
    s.b_use_table = 0;
    Recorder r1;
    s.n_tab_size = 300;
    EXPECT_EQ(Convert(s, "\t", 0, &r1), "<pre>\r\n" + std::string(255, ' ') + "\r\n</pre>\r\n");
    ASSERT_EQ(r1.notices.size(), 1u);
    EXPECT_EQ(r1.notices[0],
              std::make_pair(NoticeStyle::Stop, std::string("Max tab-size is 255 !")));
    Recorder r2;
    s.n_tab_size = -1;
    EXPECT_EQ(Convert(s, "\t", 0, &r2), "<pre>\r\n\t\r\n</pre>\r\n");
    ASSERT_EQ(r2.notices.size(), 1u);
    EXPECT_EQ(r2.notices[0], std::make_pair(NoticeStyle::Information,
                                            std::string("Negative tab-size = keep tabs")));
    // The notice comes before any text is handed out.
    EXPECT_EQ(r2.escaped.size(), 1u);
    Recorder r3;
    s.n_tab_size = 255;
    Convert(s, "\t", 0, &r3);
    s.n_tab_size = 0;
    EXPECT_EQ(Convert(s, "a\tb", 0, &r3), "<pre>\r\nab\r\n</pre>\r\n");
    EXPECT_TRUE(r3.notices.empty());
}

TEST(ConvertSource, NoticeAbove64k) {
    ProfileSettings s;
    SetDefaults(s, "");
    s.b_use_table = 0; // the pieces around the text are 17 characters long
    Recorder fits, over;
    EXPECT_EQ(Convert(s, std::string(65535 - 17, 'x'), 0, &fits).size(), 65535u);
    EXPECT_TRUE(fits.notices.empty());
    EXPECT_EQ(Convert(s, std::string(65536 - 17, 'x'), 0, &over).size(), 65536u);
    ASSERT_EQ(over.notices.size(), 1u);
    EXPECT_EQ(over.notices[0],
              std::make_pair(NoticeStyle::Stop, std::string("Text lenght is over 64k !")));
}

TEST(ConvertSource, SortsTheKeywordListLongestFirst) {
    ProfileSettings s;
    SetDefaults(s, "a abc ab abcd");
    Convert(s, "x", 1);
    ASSERT_EQ(s.KeywordCount(), 4);
    for (int32_t i = 1; i < 4; ++i) {
        EXPECT_GE(std::strlen(s.Keyword(i - 1)), std::strlen(s.Keyword(i)));
    }
}
