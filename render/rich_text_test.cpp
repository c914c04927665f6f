// Rich text for editors: what a browser shows of it is the source, and every keyword and comment
// carries its colour in its own tag.

#include "render/rich_text.h"

#include "render/converter.h"
#include "settings/cpp_defaults.h"
#include "style/style_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

struct Span {
    std::string colour; // six upper-case digits, from a colour attribute or a style's color
    std::string style;
    std::string text;
};

struct Shown {
    std::string text; // as a browser shows it
    std::vector<Span> spans;
    std::vector<std::string> table_styles;
};

std::string Attribute(const std::string& tag, const std::string& name) {
    const std::size_t at = tag.find(" " + name + "=\"");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + name.size() + 3;
    return tag.substr(start, tag.find('"', start) - start);
}

// A browser's reading of `html`: line ends normalised, the line end right after <pre> dropped,
// tags taken out, entities decoded; font and code elements become spans.
Shown ShowInBrowser(const std::string& html) {
    std::string text;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '\r') {
            text += '\n';
            i += i + 1 < html.size() && html[i + 1] == '\n' ? 1 : 0;
        } else {
            text += html[i];
        }
    }
    Shown shown;
    std::vector<std::size_t> open; // indexes into shown.spans
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string piece(1, text[i]);
        if (text[i] == '<') {
            const std::size_t end = text.find('>', i);
            const std::string tag = text.substr(i, end - i);
            i = end;
            if (tag.starts_with("</")) {
                if (tag == "</pre" && shown.text.ends_with('\n')) {
                    // The last line end before </pre> ends a line and starts none.
                    shown.text.pop_back();
                    for (std::size_t s : open) {
                        shown.spans[s].text.pop_back();
                    }
                }
                if (!open.empty() && (tag == "</font" || tag == "</code")) {
                    open.pop_back();
                }
                continue;
            }
            if (tag.starts_with("<pre") && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            } else if (tag.starts_with("<table")) {
                shown.table_styles.push_back(Attribute(tag, "style"));
            } else if (tag.starts_with("<font") || tag.starts_with("<code")) {
                Span span{Attribute(tag, "color"), Attribute(tag, "style"), {}};
                const std::size_t colour = span.style.find("color:#");
                if (colour != std::string::npos) {
                    span.colour = span.style.substr(colour + 7, 6);
                }
                if (span.colour.starts_with('#')) {
                    span.colour.erase(0, 1);
                }
                open.push_back(shown.spans.size());
                shown.spans.push_back(span);
            }
            continue;
        }
        if (text[i] == '&') {
            const std::size_t end = text.find(';', i);
            const std::string entity = text.substr(i, end - i + 1);
            // One character assigned, not a string: GCC 12 warns falsely (-Wrestrict) on that.
            piece.assign(1, entity == "&lt;"    ? '<'
                            : entity == "&gt;"  ? '>'
                            : entity == "&amp;" ? '&'
                                                : '?');
            i = end;
        }
        shown.text += piece;
        for (std::size_t s : open) {
            shown.spans[s].text += piece;
        }
    }
    return shown;
}

std::string Hex(uint32_t colour) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06X", unsigned(colour));
    return digits;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(RichText, ABrowserShowsTheSourceAndEverySpanCarriesItsColour) {
    // No keyword is a word of the converter's opening piece ("pre", "table", ...), which the
    // converter would mark there too.
    const std::vector<std::string> keywords{"int", "return", "#include", "while", "x", "if"};
    const std::vector<std::string> pieces{
        "int",  "return", "#include", "while", "x",    "if", "else",
        "pre",  " ",      "  ",       "\t",    "\r\n", "\n", "\r",
        "//",   "/*",     "*/",       "\"",    "\\",   "<",  ">",
        "&",    "(",      ")",        ";",     "{",    "=",  "gr\xC3\xB6\xC3\x9F",
        "&amp;"};
    std::mt19937 random(2024);
    for (int round = 0; round < 400; ++round) {
        ProfileSettings s;
        ASSERT_EQ(SetCppDefaults(s), 1);
        std::string list;
        for (const std::string& k : keywords) {
            if (random() % 2 != 0) {
                list += k + " ";
            }
        }
        ASSERT_EQ(s.SetKeywords(list.c_str()), 1);
        const int tab_sizes[] = {-1, 0, 1, 4, 8, 300};
        s.n_tab_size = tab_sizes[random() % 6];
        s.n_keyword_color = random() & 0xFFFFFF;
        s.n_comment_color = s.n_keyword_color ^ (1 + random() % 0xFFFFFE);
        s.n_table_lt_color = random() & 0xFFFFFF;
        s.n_table_dk_color = random() & 0xFFFFFF;
        s.n_font_size = int32_t(random() % 30);
        s.b_use_table = int32_t(random() % 2);
        s.b_table_width_percent = int32_t(random() % 2);
        s.n_table_width = int32_t(random() % 1000);
        const int b_css = int(random() % 2);
        std::string source;
        for (int n = int(random() % 40); n > 0; --n) {
            source += pieces[random() % pieces.size()];
        }

        std::string html;
        ASSERT_EQ(ConvertSource(s, source, b_css, html), 1);
        const std::string rich = BuildRichText(source, s, b_css);
        const Shown shown = ShowInBrowser(rich);
        const std::string outer = rich.substr(0, rich.find('>'));
        EXPECT_NE(outer.find("font-family:monospace;font-size:" + std::to_string(s.n_font_size) +
                             "px;color:#000000"),
                  std::string::npos)
            << outer;

        std::string expected;
        const int spaces = std::min(int(s.n_tab_size), 255);
        for (std::size_t i = 0; i < source.size(); ++i) {
            if (source[i] == '\t' && spaces >= 0) {
                expected.append(std::size_t(spaces), ' ');
            } else if (source[i] == '\r') {
                expected += '\n';
                i += i + 1 < source.size() && source[i + 1] == '\n' ? 1 : 0;
            } else {
                expected += source[i];
            }
        }
        ASSERT_EQ(shown.text, expected) << source << "\n" << rich;

        const std::string keyword = Hex(s.n_keyword_color);
        const std::string comment = Hex(s.n_comment_color);
        std::size_t keyword_spans = 0;
        std::size_t comment_spans = 0;
        for (const Span& span : shown.spans) {
            if (span.colour == keyword) {
                ++keyword_spans;
                EXPECT_TRUE(
                    std::any_of(keywords.begin(), keywords.end(),
                                [&](const std::string& k) { return span.text.starts_with(k); }))
                    << span.text;
            } else {
                ASSERT_EQ(span.colour, comment) << rich;
                ++comment_spans;
                EXPECT_TRUE(span.text.starts_with("//") || span.text.starts_with("/*"));
            }
            if (b_css != 0) {
                EXPECT_NE(span.style.find("font-size:" + std::to_string(s.n_font_size) + "px"),
                          std::string::npos);
            }
        }
        const std::string open_keyword =
            b_css != 0 ? "<code class=\"cpp_keyword\">" : "<font color=\"#" + keyword + "\">";
        const std::string open_comment =
            b_css != 0 ? "<code class=\"cpp_comment\">" : "<font color=\"#" + comment + "\">";
        ASSERT_EQ(keyword_spans, Count(html, open_keyword)) << html;
        ASSERT_EQ(comment_spans, Count(html, open_comment)) << html;

        ASSERT_EQ(shown.table_styles.size(), std::size_t(s.b_use_table));
        if (s.b_use_table != 0) {
            const std::string& style = shown.table_styles[0];
            EXPECT_NE(style.find("border-top-color:#" + Hex(s.n_table_lt_color)),
                      std::string::npos);
            EXPECT_NE(style.find("border-bottom-color:#" + Hex(s.n_table_dk_color)),
                      std::string::npos);
        }
    }
}

TEST(RichText, TheOptionalClassesCarryTheirColours) {
    const std::vector<std::string> pieces{"\"s\"", "'c'", "12", "u8\"x\"", "#include <a>",
                                          "\r\n",  " ",   "x",  "//c",     "#define Y 1 \\\r\n 2"};
    std::mt19937 random(2025);
    for (int round = 0; round < 200; ++round) {
        ProfileSettings s;
        ASSERT_EQ(SetCppDefaults(s), 1);
        s.b_use_table = int32_t(random() % 2);
        for (const ClassColourField& c : kClassColourFields) {
            s.*c.field = random() % 3 == 0 ? kClassOff : int32_t(0x100000 + random() % 0xEFFFFF);
        }
        const int b_css = int(random() % 2);
        std::string source;
        for (int n = int(random() % 20); n > 0; --n) {
            source += pieces[random() % pieces.size()];
        }
        std::string html;
        ASSERT_EQ(ConvertSource(s, source, b_css, html), 1);
        const Shown shown = ShowInBrowser(BuildRichText(source, s, b_css));
        for (const ClassColourField& c : kClassColourFields) {
            if (s.*c.field < 0) {
                continue;
            }
            const std::string colour = Hex(uint32_t(s.*c.field));
            const std::size_t spans =
                std::count_if(shown.spans.begin(), shown.spans.end(),
                              [&](const Span& span) { return span.colour == colour; });
            const std::string open = b_css != 0
                                         ? std::string("<code class=\"") + c.css_class + "\">"
                                         : "<font color=\"#" + colour + "\">";
            ASSERT_EQ(spans, Count(html, open)) << c.key << "\n" << html;
        }
    }
}

// Bold, italic and backgrounds of the style record reach font markup's tags and the rich text's
// style attributes; the text's background is the code box's.
TEST(RichText, TheLooksOfTheStyleRecordReachEveryTag) {
    ProfileSettings s;
    ASSERT_EQ(SetCppDefaults(s), 1);
    s.b_use_table = 0;
    StyleRecord style;
    ASSERT_EQ(BuildStyle(s, style), 1);
    style.Of(SpanClass::Keyword).bold = true;
    style.Of(SpanClass::Keyword).italic = true;
    style.Of(SpanClass::Keyword).background = 0x112233;
    style.Of(SpanClass::Text).background = 0xFFFFF0;
    std::string html;
    ASSERT_EQ(ConvertSource(s, style, "int x;", 0, html), 1);
    EXPECT_EQ(html, "<pre style=\"background-color:#FFFFF0\">\r\n<span style=\"background-color:"
                    "#112233\"><font color=\"#0000FF\"><b><i>int </i></b></font></span>x;\r\n"
                    "</pre>\r\n");
    style.frame = true;
    ASSERT_EQ(ConvertSource(s, style, "", 0, html), 1);
    EXPECT_NE(html.find(" border=\"2\" bgcolor=\"#FFFFF0\"><tr>"), std::string::npos) << html;
    style.frame = false;
    const std::string rich = BuildRichText("int x;", s, style, 1);
    EXPECT_NE(rich.find("<pre style=\"font-family:monospace;font-size:13px;color:#000000;"
                        "display:block;background-color:#FFFFF0;white-space:pre\">"),
              std::string::npos)
        << rich;
    EXPECT_NE(
        rich.find("<code style=\"font-family:monospace;font-size:13px;color:#0000FF;"
                  "font-weight:bold;font-style:italic;background-color:#112233\">int </code>"),
        std::string::npos)
        << rich;
    EXPECT_NE(BuildRichText("int x;", s, style, 0).find("<b><i>int </i></b>"), std::string::npos);
}

} // namespace
