// RTF of a conversion, read back by a small RTF reader: its text is the source with the tabs
// replaced (and line numbers where they are on), and each character has the colour and the
// background that the font markup gives it.

#include "render/rtf_text.h"

#include "base/memory.h"
#include "render/clipboard_data.h"
#include "text/box_text.h"
// GCC 12's Release build warns falsely (-Wrestrict) on the shared random sources' string
// joins when they are inlined here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#include "render/converter_test_support.h"
#pragma GCC diagnostic pop
#include "render/line_numbers.h"
#include "render/rich_text.h"
#include "render/rtf_reader_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The length of the character at text[i]: of its UTF-8 sequence, or 1 for a byte that starts
// none (read as Latin-1); its code in `c`.
std::size_t NextChar(const std::string& text, std::size_t i, char32_t& c) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t length = b < 0xC2 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    c = b;
    if (length == 1 || !IsValidUtf8(text.substr(i, length)) || i + length > text.size()) {
        return 1;
    }
    c = length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    for (std::size_t k = 1; k < length; ++k) {
        c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    return length;
}

// The source's characters as the RTF must hold them: tabs replaced as the converter replaces
// them, every line break one "\n", and a last one ending the last line.
std::u32string Expected(const std::string& source, int32_t tab_size) {
    std::u32string text;
    for (std::size_t i = 0; i < source.size();) {
        char32_t c = 0;
        i += NextChar(source, i, c);
        if (c == '\t' && tab_size >= 0) {
            text.append(std::size_t(std::min(tab_size, 255)), U' ');
        } else if (c == '\r' || c == '\n') {
            text += U'\n';
            i += c == '\r' && i < source.size() && source[i] == '\n' ? 1 : 0;
        } else {
            text += c;
        }
    }
    return text + U'\n';
}

// What font markup shows: each visible character with the colour of its innermost font tag (or
// black) and the background of its innermost span with one (or -1), line breaks as "\n".
struct Shown {
    std::u32string text;
    std::vector<RtfChar> chars;
};

Shown ShowFontMarkup(const std::string& html, bool table) {
    const std::size_t start = html.find("<pre>\r\n") + 7 + (table ? 2 : 0);
    const std::size_t end = html.rfind("\r\n</pre>");
    std::string text; // visible bytes, line breaks and entities as one byte each
    std::vector<RtfChar> bytes;
    std::vector<RtfChar> open{{0, 0, -1}}; // the text colour, black
    for (std::size_t i = start; i < end; ++i) {
        if (html[i] == '<') {
            const std::size_t close = html.find('>', i);
            const std::string tag = html.substr(i, close - i);
            i = close;
            if (tag[1] == '/') {
                open.pop_back();
                continue;
            }
            RtfChar style = open.back();
            if (const std::size_t at = tag.find("color=\"#"); at != std::string::npos) {
                style.colour = int32_t(std::stoul(tag.substr(at + 8, 6), nullptr, 16));
            }
            if (const std::size_t at = tag.find("background-color:#"); at != std::string::npos) {
                style.background = int32_t(std::stoul(tag.substr(at + 18, 6), nullptr, 16));
            }
            open.push_back(style);
            continue;
        }
        if (html[i] == '&') {
            const std::size_t semicolon = html.find(';', i);
            const std::string entity = html.substr(i, semicolon - i + 1);
            text += entity == "&lt;" ? '<' : entity == "&gt;" ? '>' : '&';
            i = semicolon;
        } else {
            text += html[i];
            i += html[i] == '\r' && html[i + 1] == '\n' ? 1 : 0;
        }
        bytes.push_back(open.back());
    }
    Shown shown;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t length = NextChar(text, i, c);
        shown.text += c == '\r' ? U'\n' : c;
        shown.chars.push_back({c, bytes[i].colour, bytes[i].background});
        i += length;
    }
    return shown;
}

// Literals, directives, keywords, comments, RTF's own specials, entities, every kind of line
// break, UTF-8 of two, three and four bytes, and bytes that are not UTF-8.
const std::vector<std::string> kPieces{"'a'",
                                       "'\\''",
                                       "0x1F",
                                       "1.5e3",
                                       "#define X 1\r\n",
                                       "\"s\"",
                                       "int",
                                       "return",
                                       "#include",
                                       "while",
                                       "x",
                                       "if",
                                       "else",
                                       " ",
                                       "  ",
                                       "\t",
                                       "\r\n",
                                       "\n",
                                       "\r",
                                       "\r\n\r\n",
                                       "//",
                                       "/*",
                                       "*/",
                                       "\"",
                                       "\\",
                                       "{",
                                       "}",
                                       "\\par",
                                       "<",
                                       ">",
                                       "&",
                                       "&amp;",
                                       "(",
                                       ";",
                                       "caf\xC3\xA9",
                                       "\xE4\xB8\xAD\xE6\x96\x87",
                                       "\xF0\x9F\x98\x80",
                                       "\xFF",
                                       "\x01",
                                       "\x7F",
                                       "\xC3"};

TEST(Rtf, TheTextIsTheSourceAndEachCharacterHasItsColour) {
    std::mt19937 random(21);
    for (int round = 0; round < 300; ++round) {
        ProfileSettings s;
        SetDefaults(s, random() % 4 == 0 ? "" : "int return #include while x if");
        const int tab_sizes[] = {-1, 0, 1, 4, 300};
        s.n_tab_size = tab_sizes[random() % 5];
        s.n_keyword_color = random() & 0xFFFFFF;
        s.n_comment_color = random() & 0xFFFFFF;
        s.n_font_size = int32_t(random() % 40) - 5;
        s.b_use_table = int32_t(random() % 2);
        // Each optional class on (in a colour of its own) or off.
        for (int32_t* colour :
             {&s.n_string_color, &s.n_char_color, &s.n_number_color, &s.n_preproc_color}) {
            *colour = random() % 2 != 0 ? int32_t(random() & 0xFFFFFF) : kClassOff;
        }
        // Line numbers and marked lines now and then.
        s.b_line_numbers = int32_t(random() % 3 == 0);
        s.n_first_line = int32_t(random() % 3 == 0 ? random() % 2000 : 1);
        const char* const marks[] = {"", "", "1", "2-4,7", "1-999"};
        ASSERT_EQ(s.SetMarkedLines(marks[random() % 5]), 1);
        s.n_mark_color = random() & 0xFFFFFF;
        std::string source;
        for (int n = int(random() % 60); n > 0; --n) {
            source += kPieces[random() % kPieces.size()];
        }
        if (round % 10 == 0) {
            source += RandomText(random, 200, {"int", "if", "\xE4\xB8\xAD"});
        }

        const std::string font = Convert(s, source, 0);
        const Shown shown = ShowFontMarkup(font, s.b_use_table != 0);
        const std::u32string expected = Expected(source, s.n_tab_size);
        for (const int b_css : {0, 1}) {
            std::string rtf;
            ASSERT_EQ(BuildRtf(source, s, b_css, rtf), 1);
            const std::vector<RtfChar> read = ReadRtf(rtf);
            ASSERT_FALSE(::testing::Test::HasFailure()) << rtf;
            std::u32string text;
            for (const RtfChar& c : read) {
                text += c.c;
            }
            if (!LinesWanted(s)) {
                ASSERT_EQ(text, expected) << source << "\n" << rtf;
            }
            // What a browser shows of the font markup, and the RTF's own last line end.
            ASSERT_EQ(shown.text + U'\n', text) << font;
            // Each character in its span's colour and background, the others in the text
            // colour (black) and none.
            for (std::size_t i = 0; i < shown.chars.size(); ++i) {
                ASSERT_EQ(read[i].colour, shown.chars[i].colour) << i << " " << b_css << "\n"
                                                                 << rtf;
                ASSERT_EQ(read[i].background, shown.chars[i].background)
                    << i << " " << b_css << "\n"
                    << rtf;
            }
            // The table as the paragraphs' box in its colours, or no box.
            EXPECT_EQ(rtf.find("\\brdrt\\brdrs") != std::string::npos, s.b_use_table != 0);
            if (s.b_use_table != 0) {
                char light[48];
                std::snprintf(light, sizeof light, "\\red%u\\green%u\\blue%u;",
                              unsigned(s.n_table_lt_color >> 16),
                              unsigned(s.n_table_lt_color >> 8 & 255),
                              unsigned(s.n_table_lt_color & 255));
                EXPECT_NE(rtf.find(light), std::string::npos);
            }
            const int half_points = RtfHalfPoints(s.n_font_size);
            EXPECT_EQ(rtf.find("\\fs") != std::string::npos, half_points > 0);
            if (half_points > 0) {
                EXPECT_NE(rtf.find("\\f0\\fs" + std::to_string(half_points) + "\\cf1 "),
                          std::string::npos);
            }
        }
    }
}

TEST(Rtf, EscapesUnicodeSizesFlavoursAndFailures) {
    ProfileSettings s;
    SetDefaults(s);
    std::string rtf;
    const std::string source = "{a}\\b\tcaf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80\r\n\r\nint";
    ASSERT_EQ(BuildRtf(source, s, 1, rtf), 1);
    EXPECT_NE(rtf.find("\\{a\\}\\\\b    caf\\u233? \\u20013? \\u-10179?\\u-8704?\\par\n\\par\n"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}"),
              std::string::npos);
    EXPECT_NE(rtf.find("\\fs20"), std::string::npos); // 13 px are 9.75 points
    EXPECT_TRUE(rtf.ends_with("int}\\par\n}")) << rtf;
    EXPECT_EQ(RtfHalfPoints(1), 2);
    EXPECT_EQ(RtfHalfPoints(16), 24);
    EXPECT_EQ(RtfHalfPoints(100000), 3276);
    EXPECT_EQ(RtfHalfPoints(-3), 0);

    // The looks of the style record: the text's and a class's background, bold and italic.
    s.b_use_table = 0;
    StyleRecord style;
    ASSERT_EQ(BuildStyle(s, style), 1);
    style.Of(SpanClass::Text).background = 0x101010;
    style.Of(SpanClass::Text).colour = 0xF0F0F0;
    style.Of(SpanClass::Keyword).background = 0x202020;
    style.Of(SpanClass::Keyword).bold = true;
    style.Of(SpanClass::Comment).italic = true;
    std::string looks;
    ASSERT_EQ(BuildRtf("int x; // y", s, style, 1, looks), 1);
    EXPECT_NE(looks.find("{\\colortbl;\\red240\\green240\\blue240;\\red16\\green16\\blue16;"
                         "\\red0\\green0\\blue255;\\red32\\green32\\blue32;"),
              std::string::npos)
        << looks;
    EXPECT_NE(looks.find("\\cf1\\chshdng0\\chcbpat2 {\\cf3\\chshdng0\\chcbpat4\\b int }x; "
                         "{\\cf5\\i // y}"),
              std::string::npos)
        << looks;
    std::u32string text;
    for (const RtfChar& c : ReadRtf(looks)) {
        // "int " is the keyword's span; the last line end is the document's.
        EXPECT_EQ(c.background, text.size() < 4 ? 0x202020 : 0x101010) << looks;
        text += c.c;
    }
    EXPECT_EQ(text, U"int x; // y\n");
    s.b_use_table = 1;

    std::vector<ClipboardFlavour> flavours;
    ASSERT_EQ(BuildClipboardFlavours(source, s, 1, flavours), 1);
    std::vector<std::string> types;
    for (const ClipboardFlavour& flavour : flavours) {
        types.push_back(flavour.mime_type);
        EXPECT_EQ(flavour.data, flavour.mime_type == "text/html"    ? BuildRichText(source, s, 1)
                                : flavour.mime_type == "text/plain" ? source
                                                                    : rtf);
    }
    EXPECT_EQ(types, (std::vector<std::string>{"text/rtf", "application/rtf", "text/richtext",
                                               "text/html", "text/plain"}));
    tarvo::InjectAllocationFailure(0);
    EXPECT_EQ(BuildClipboardFlavours(source, s, 1, flavours), 0);
    tarvo::InjectAllocationFailure(-1);
    EXPECT_TRUE(flavours.empty());

    for (long after = 0; after < 3; ++after) {
        tarvo::InjectAllocationFailure(after);
        const int built = BuildRtf(source, s, 1, rtf);
        tarvo::InjectAllocationFailure(-1);
        if (built == 0) {
            EXPECT_TRUE(rtf.empty());
        }
    }
    tarvo::InjectAllocationFailure(0);
    EXPECT_EQ(BuildRtf(source, s, 1, rtf), 0);
    tarvo::InjectAllocationFailure(-1);
    EXPECT_TRUE(rtf.empty());
}

} // namespace
