#include "convert/converter.h"
#include "convert/cpp_defaults.h"
#include "convert/memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

void SetDefaults(ProfileSettings& s, const char* keywords = kCppDefaultKeywords) {
    SetCppDefaults(s);
    ASSERT_EQ(s.SetKeywords(keywords), 1);
}

struct Recorder : ConvertObserver {
    std::vector<std::pair<NoticeStyle, std::string>> notices;
    std::vector<std::string> escaped;
    std::vector<int32_t> progress;
    void Notice(NoticeStyle style, const char* text) override { notices.emplace_back(style, text); }
    void EscapeDone(std::string_view text) override { escaped.emplace_back(text); }
    void Progress(int32_t position) override { progress.push_back(position); }
};

std::string Convert(ProfileSettings& s, const std::string& source, int css,
                    Recorder* recorder = nullptr) {
    std::string html;
    EXPECT_EQ(ConvertSource(s, source, css, html, recorder), 1);
    return html;
}

// The scan written out one rule after another, without any of the converter's shortcuts: the
// converter must agree with it byte for byte, progress reports included.
struct Reference {
    std::string opening, keyword_open, comment_open, close, closing;
    std::vector<std::string> keywords; // longest first
    std::string tab;
    std::vector<int32_t> progress;

    static bool White(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool Boundary(char c) { return c != '\0' && std::strchr(" \t\n\r[]()+-*/<>.,;~", c); }
    static bool Identifier(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
               static_cast<unsigned char>(c) >= 0x80;
    }
    static std::string Escaped(const std::string& text) {
        std::string t;
        for (char c : text) {
            t += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
        }
        return t;
    }

    // The end of the raw string whose opening quote is at p in the escaped text t (past its
    // closing quote, or the end of t), or npos when the quote opens none.
    static std::size_t RawEnd(const std::string& t, std::size_t p) {
        std::size_t word = p;
        while (word > 0 && Identifier(t[word - 1])) {
            --word;
        }
        const std::string prefix = t.substr(word, p - word);
        if (prefix != "R" && prefix != "u8R" && prefix != "uR" && prefix != "UR" &&
            prefix != "LR") {
            return std::string::npos;
        }
        std::string delimiter; // as in the source
        std::size_t q = p + 1;
        for (; q < t.size() && t[q] != '('; ++q) {
            char c = t[q];
            for (const char* entity : {"&lt;", "&gt;", "&amp;"}) {
                if (t.compare(q, std::strlen(entity), entity) == 0) {
                    c = entity[1] == 'l' ? '<' : entity[1] == 'g' ? '>' : '&';
                    q += std::strlen(entity) - 1;
                    break;
                }
            }
            if (std::strchr(" )\\\t\n\r\v\f", c) != nullptr && c != '\0') {
                return std::string::npos;
            }
            delimiter += c;
        }
        if (q >= t.size() || delimiter.size() > 16) {
            return std::string::npos;
        }
        const std::string close = ")" + Escaped(delimiter) + "\"";
        const std::size_t end = t.find(close, q + 1);
        return end == std::string::npos ? t.size() : end + close.size();
    }

    Reference(const ProfileSettings& s, bool css) {
        char buffer[512];
        const char* percent = s.b_table_width_percent ? "%" : "";
        if (css) {
            if (s.b_use_table) {
                std::snprintf(buffer, sizeof buffer,
                              "<table cellspacing=\"0\" class=\"cpp\" align=\"center\" "
                              "cellpadding=\"10\" width=\"%d%s\" border=\"2\"><tr><td><pre>\r\n"
                              "<code class=\"cpp_text\">\r\n",
                              int(s.n_table_width), percent);
                opening = buffer;
                closing = "\r\n</code></pre></td></tr></table>\r\n";
            } else {
                opening = "<pre><code class=\"cpp_text\">\r\n";
                closing = "\r\n</code></pre>\r\n";
            }
            keyword_open = "<code class=\"cpp_keyword\">";
            comment_open = "<code class=\"cpp_comment\">";
            close = "</code>";
        } else {
            if (s.b_use_table) {
                std::snprintf(buffer, sizeof buffer,
                              "<table cellspacing=\"0\" bordercolorlight=\"#%06X\" "
                              "bordercolordark=\"#%06x\" align=\"center\" cellpadding=\"10\" "
                              "width=\"%d%s\" border=\"2\"><tr><td><pre>\r\n\r\n",
                              unsigned(s.n_table_lt_color), unsigned(s.n_table_dk_color),
                              int(s.n_table_width), percent);
                opening = buffer;
                closing = "\r\n</pre></td></tr></table>\r\n";
            } else {
                opening = "<pre>\r\n";
                closing = "\r\n</pre>\r\n";
            }
            std::snprintf(buffer, sizeof buffer, "<font color=\"#%06X\">",
                          unsigned(s.n_keyword_color));
            keyword_open = buffer;
            std::snprintf(buffer, sizeof buffer, "<font color=\"#%06X\">",
                          unsigned(s.n_comment_color));
            comment_open = buffer;
            close = "</font>";
        }
        for (int32_t i = 0; i < s.KeywordCount(); ++i) {
            keywords.emplace_back(s.Keyword(i));
        }
        std::stable_sort(keywords.begin(), keywords.end(),
                         [](const auto& a, const auto& b) { return a.size() > b.size(); });
        tab = s.n_tab_size < 0 ? "\t" : std::string(std::size_t(std::min(s.n_tab_size, 255)), ' ');
    }

    std::string Run(const std::string& source) {
        std::string t = opening;
        for (std::size_t j = 0; j < source.size(); ++j) {
            const char c = source[j];
            t += c == '\t'  ? tab
                 : c == '>' ? "&gt;"
                 : c == '<' ? "&lt;"
                 : c == '&' ? "&amp;"
                            : std::string(1, c);
            if (j % 256 == 0) {
                progress.push_back(int32_t((long long)j * 512 / (long long)source.size()));
            }
        }
        const std::size_t L = t.size();
        std::string out;
        bool str = false, line = false, block = false, pending = false, kw = false;
        std::size_t raw_end = 0; // a raw string runs up to here
        std::size_t p = 0;
        while (p < L) {
            if (p % 256 == 0) {
                progress.push_back(int32_t((long long)p * 512 / (long long)L + 512));
            }
            const char ch = t[p];
            const std::size_t r = L - p - 1;
            if (p < raw_end) {
                out += ch;
                ++p;
                continue;
            }
            if (!line && !block && str && ch == '\n' && !(p >= 1 && t[p - 1] == '\\') &&
                !(p >= 2 && t[p - 1] == '\r' && t[p - 2] == '\\')) {
                str = false;
            }
            if (!line && !block && ch == '"') {
                std::size_t backslashes = 0;
                while (backslashes < p && t[p - 1 - backslashes] == '\\') {
                    ++backslashes;
                }
                const bool char_constant =
                    !str && p > 0 && t[p - 1] == '\'' && r > 0 && t[p + 1] == '\'';
                const std::size_t raw =
                    str || backslashes % 2 != 0 ? std::string::npos : RawEnd(t, p);
                if (raw != std::string::npos) {
                    raw_end = raw;
                } else if (backslashes % 2 == 0 && !char_constant) {
                    str = !str;
                }
            }
            if (pending && !White(ch)) {
                out += close;
                pending = false;
            }
            if (kw && !White(ch)) {
                out += close;
                kw = false;
            }
            if (!str && !block && !line && ch == '/' && r > 0 && t[p + 1] == '/') {
                out += comment_open;
                line = true;
                pending = false;
            }
            if (line && ch == '\n') {
                line = false;
                pending = true;
            }
            if (str || line || p < raw_end) {
                out += ch;
                ++p;
                continue;
            }
            if (ch == '/' && r > 0 && t[p + 1] == '*' && !block) {
                out += comment_open;
                block = true;
                pending = false;
            }
            if (ch == '*' && r > 0 && t[p + 1] == '/') {
                pending = block;
                block = false;
                out += "*/";
                p += 2;
                continue;
            }
            if (block) {
                out += ch;
                ++p;
                continue;
            }
            if (p > 0 && !Boundary(t[p - 1])) {
                out += ch;
                ++p;
                continue;
            }
            bool matched = false;
            for (const auto& k : keywords) {
                const std::size_t n = k.size();
                if (n == 0 || t.compare(p, n, k) != 0 || p + n > L) {
                    continue;
                }
                const bool ends = p + n == L || Boundary(t[p + n]) ||
                                  t.compare(p + n, 4, "&lt;") == 0 ||
                                  t.compare(p + n, 4, "&gt;") == 0;
                if (!ends) {
                    continue;
                }
                if (!kw) {
                    out += keyword_open;
                }
                kw = true;
                out += k;
                p += n;
                matched = true;
                break;
            }
            if (!matched) {
                out += ch;
                ++p;
            }
        }
        if (pending || line || block) {
            out += close;
        }
        if (kw) {
            out += close;
        }
        return out + closing;
    }
};

// A raw string literal, most often well formed: a prefix that may be part of a longer word, a
// delimiter that may be too long or hold a character it must not, a body with quotes, comment
// marks, line breaks and closings of other delimiters, and a closing that may be missing.
std::string RandomRawString(std::mt19937& rng) {
    static const char* const prefixes[] = {"",  "",  "u8",   "u",   "U", "L", "x",
                                           "1", "$", "\xE9", "uu8", "=", "<"};
    static const char delimiter_chars[] = "ab<&\"_ab<&\"_ab<&\"_\t )\\\n\v";
    static const char body_chars[] = ")\"/*\n\r\t\\' xa<&";
    std::string delimiter;
    const std::size_t size = rng() % 4 == 0 ? rng() % 19 : rng() % 3;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t n = sizeof delimiter_chars - 1;
        delimiter += delimiter_chars[rng() % 8 == 0 ? rng() % n : rng() % (n - 6)];
    }
    std::string text = std::string(prefixes[rng() % std::size(prefixes)]) + "R\"" + delimiter;
    text += rng() % 8 == 0 ? "" : "(";
    for (std::size_t i = rng() % 12; i > 0; --i) {
        text += rng() % 6 == 0 ? ")" + delimiter.substr(0, delimiter.size() / 2) + "\""
                               : std::string(1, body_chars[rng() % (sizeof body_chars - 1)]);
    }
    if (rng() % 6 != 0) {
        text += ")" + delimiter + "\"";
    }
    return text;
}

std::string RandomText(std::mt19937& rng, std::size_t length,
                       const std::vector<std::string>& words) {
    static const char pieces[] = " \t\r\n\"'\\/*<>&;(){}=#:.,";
    std::string text;
    while (text.size() < length) {
        switch (rng() % 9) {
        case 8:
            text += RandomRawString(rng);
            break;
        case 0:
        case 1:
            text += words[rng() % words.size()];
            break;
        case 2:
            text += char(0x80 + rng() % 128);
            break;
        case 3:
            text += char('a' + rng() % 4);
            break;
        default:
            text += pieces[rng() % (sizeof pieces - 1)];
            break;
        }
    }
    return text;
}

// Everything between < and >, and the three entities decoded: what a browser shows as text.
std::string VisibleText(const std::string& html) {
    std::string text;
    bool in_tag = false;
    for (char c : html) {
        if (c == '<') {
            in_tag = true;
        } else if (c == '>') {
            in_tag = false;
        } else if (!in_tag) {
            text += c;
        }
    }
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 4, "&lt;") == 0) {
            decoded += '<';
            i += 3;
        } else if (text.compare(i, 4, "&gt;") == 0) {
            decoded += '>';
            i += 3;
        } else if (text.compare(i, 5, "&amp;") == 0) {
            decoded += '&';
            i += 4;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace

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
    EXPECT_EQ(body("else{"), "else{");
    EXPECT_EQ(body("#defined x"), k + "#defined " + c + "x");
    EXPECT_EQ(body("#define x"), k + "#define " + c + "x");
    EXPECT_EQ(body("unsigned int  x"), "unsigned " + k + "int  " + c + "x");
    EXPECT_EQ(body("int int"), k + "int " + c + k + "int" + c);
    // Escaped < and > end a keyword; & does not.
    EXPECT_EQ(body("template<class T>"), k + "template" + c + "&lt;class T&gt;");
    EXPECT_EQ(body("vector<int>"), "vector&lt;" + k + "int" + c + "&gt;");
    EXPECT_EQ(body("int&x"), "int&amp;x");
    // A zero tab size joins the words around a tab.
    s.n_tab_size = 0;
    EXPECT_EQ(body("int\tx"), "intx");
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

TEST(ConvertSource, AgreesWithTheRuleByRuleScanOnRandomText) {
    std::mt19937 rng(2024);
    const std::vector<std::string> vocabulary = {
        "int", "in", "i",   "#if", "#ifdef", "\"", "a/", "*", "lt", "&lt;",   "'",   "\\",    "x\r",
        "\r",  "",   "amp", "pre", "b c",    "/",  "a*", "R", "LR", "u8R\"(", ")\"", "\\\r\n"};
    for (int round = 0; round < 3000; ++round) {
        std::string keywords;
        const int count = int(rng() % 8);
        for (int i = 0; i < count; ++i) {
            keywords += (i == 0 ? "" : " ") + vocabulary[rng() % vocabulary.size()];
        }
        ProfileSettings s;
        SetDefaults(s, keywords.c_str());
        s.n_tab_size = int32_t(rng() % 5) - 1;
        s.b_use_table = int32_t(rng() % 2);
        const bool css = rng() % 2 != 0;
        const std::string source =
            RandomText(rng, rng() % (round % 10 == 0 ? 3000 : 60), vocabulary);

        Reference reference(s, css);
        const std::string expected = reference.Run(source);
        Recorder recorder;
        const std::string actual = Convert(s, source, css, &recorder);
        ASSERT_EQ(actual, expected) << "round " << round << " keywords [" << keywords << "]";
        ASSERT_EQ(recorder.progress, reference.progress) << "round " << round;
        for (std::size_t i = 1; i < recorder.progress.size(); ++i) {
            ASSERT_LE(recorder.progress[i - 1], recorder.progress[i]);
        }
        ASSERT_TRUE(recorder.progress.empty() || recorder.progress.back() <= kProgressMax);

        // What a browser shows is the source with its tabs replaced, between the pieces.
        std::string shown = source;
        std::string replaced;
        for (char ch : shown) {
            replaced += ch == '\t' ? reference.tab : std::string(1, ch);
        }
        if (keywords.find("pre") == std::string::npos) {
            ASSERT_EQ(VisibleText(actual),
                      VisibleText(reference.opening) + replaced + VisibleText(reference.closing))
                << "round " << round;
        }
    }
}

TEST(ConvertSource, EveryOpenTagIsClosedBeforeTheNextOne) {
    std::mt19937 rng(99);
    const std::vector<std::string> vocabulary = {"int", "if", "/*", "*/", "//",
                                                 "\n",  "\"", " ",  "x"};
    for (int round = 0; round < 500; ++round) {
        ProfileSettings s;
        SetDefaults(s, "int if x");
        s.b_use_table = 0;
        s.n_comment_color = 0x111111;
        const std::string html = Convert(s, RandomText(rng, 200, vocabulary), 0);
        int depth = 0;
        for (std::size_t i = html.find('<'); i != std::string::npos; i = html.find('<', i + 1)) {
            if (html.compare(i, 6, "<font ") == 0) {
                ASSERT_EQ(depth++, 0) << html;
            } else if (html.compare(i, 7, "</font>") == 0) {
                ASSERT_EQ(--depth, 0) << html;
            }
        }
        ASSERT_EQ(depth, 0);
    }
}

TEST(ConvertSource, OutOfMemoryIsReportedNotCrashed) {
    ProfileSettings s;
    SetDefaults(s);
    std::string source;
    for (int i = 0; i < 200; ++i) {
        source += "int main() { return 0; } // comment\r\n\t\"text\" /* block */\r\n";
    }
    const std::string expected = Convert(s, source, 1);
    bool succeeded = false;
    for (long allowed = 0; allowed < 20 && !succeeded; ++allowed) {
        std::string html = "left over";
        tarvo::InjectAllocationFailure(allowed);
        const int result = ConvertSource(s, source, 1, html);
        tarvo::InjectAllocationFailure(-1);
        if (result == 1) {
            EXPECT_EQ(html, expected);
            succeeded = true;
        } else {
            EXPECT_TRUE(html.empty());
        }
    }
    EXPECT_TRUE(succeeded);
}

TEST(ConvertSource, ProgressStaysInRangeOnLargeSources) {
    // Beyond 4 MB the position times 512 no longer fits 32 bits.
    ProfileSettings s;
    SetDefaults(s);
    std::string source;
    while (source.size() < (5u << 20)) {
        source += "int x; // comment\n\t\"text\" /* block */\n";
    }
    Recorder recorder;
    Convert(s, source, 1, &recorder);
    ASSERT_FALSE(recorder.progress.empty());
    EXPECT_EQ(recorder.progress.front(), 0);
    for (std::size_t i = 1; i < recorder.progress.size(); ++i) {
        ASSERT_LE(recorder.progress[i - 1], recorder.progress[i]);
    }
    EXPECT_GE(recorder.progress.back(), 1020);
    EXPECT_LE(recorder.progress.back(), kProgressMax);
    // Both halves are reported: the escape pass up to 512, the scan from 512 on.
    EXPECT_NE(std::find(recorder.progress.begin(), recorder.progress.end(), 511),
              recorder.progress.end());
}
