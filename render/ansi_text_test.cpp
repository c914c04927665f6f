// The terminal's rendition: without its escape sequences it is the source with the tabs
// replaced, every span's characters follow their class's colour, and no line leaves a look
// behind it.

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#include "render/converter_test_support.h"
#pragma GCC diagnostic pop
#include "render/ansi_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// `ansi` without its SGR sequences (ESC [ digits and semicolons m).
std::string WithoutEscapes(const std::string& ansi, std::size_t* sequences = nullptr) {
    std::string text;
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        if (ansi[i] == '\x1b') {
            EXPECT_EQ(ansi[i + 1], '[');
            const std::size_t end = ansi.find('m', i);
            EXPECT_EQ(ansi.find_first_not_of("0123456789;", i + 2), end);
            i = end;
            sequences != nullptr ? ++*sequences : 0;
        } else {
            text += ansi[i];
        }
    }
    return text;
}

} // namespace

TEST(Ansi, WithoutItsEscapesTheTextIsTheSourceAndNoLookOutlivesItsLine) {
    std::mt19937 rng(26);
    const std::vector<std::string> words = {"int",     "/*",   "*/",          "//",   "\n", "\r\n",
                                            "\"",      "'a'",  "x",           " ",    "\t", "0x1F",
                                            "#define", "\\\n", "caf\xC3\xA9", "R\"(", ")\""};
    for (int round = 0; round < 800; ++round) {
        ProfileSettings s;
        SetDefaults(s);
        s.n_tab_size = int32_t(rng() % 6) - 1;
        if (rng() % 2 != 0) {
            SetSuggestedClassColours(s);
        }
        std::string source = RandomText(rng, rng() % 200, words);
        // No lone CRs nor control characters, which come out in caret notation.
        std::string clean;
        for (std::size_t i = 0; i < source.size(); ++i) {
            const auto c = static_cast<unsigned char>(source[i]);
            if ((c == '\r' && (i + 1 == source.size() || source[i + 1] != '\n')) ||
                (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) {
                continue;
            }
            clean += source[i];
        }
        std::string expected;
        for (std::size_t i = 0; i < clean.size(); ++i) {
            if (clean[i] == '\t') {
                expected += s.n_tab_size < 0 ? std::string("\t")
                                             : std::string(std::size_t(s.n_tab_size), ' ');
            } else if (clean[i] != '\r') {
                expected += clean[i];
            }
        }
        std::string ansi;
        ASSERT_EQ(BuildAnsi(clean, s, ansi), 1);
        std::size_t sequences = 0;
        ASSERT_EQ(WithoutEscapes(ansi, &sequences), expected) << clean;
        // A line that changed the look gives the terminal its own back before it ends.
        std::size_t line_start = 0;
        for (std::size_t lf = ansi.find('\n'); lf != std::string::npos;
             line_start = lf + 1, lf = ansi.find('\n', line_start)) {
            const std::size_t last = ansi.rfind('\x1b', lf);
            if (last != std::string::npos && last >= line_start) {
                ASSERT_EQ(ansi.compare(last, 4, "\x1b[0m"), 0) << ansi;
            }
        }
        const std::size_t last = ansi.rfind('\x1b');
        EXPECT_TRUE(last == std::string::npos || ansi.compare(last, 4, "\x1b[0m") == 0) << ansi;
    }
}

TEST(Ansi, ClassesInTheirColoursNumbersAndMarks) {
    ProfileSettings s;
    SetDefaults(s);
    SetSuggestedClassColours(s);
    std::string ansi;
    ASSERT_EQ(BuildAnsi("\tint x = 1; // one\r\n\"s\"", s, ansi), 1);
    EXPECT_EQ(ansi, "    \x1b[0;38;2;0;0;255mint \x1b[0mx = \x1b[0;38;2;9;121;79m1\x1b[0m; "
                    "\x1b[0;38;2;0;128;0m// one\x1b[0m\n\x1b[0;38;2;163;21;21m\"s\"\x1b[0m");
    // Numbers in their colour, a marked line on its background.
    s.b_line_numbers = 1;
    ASSERT_EQ(s.SetMarkedLines("2"), 1);
    ASSERT_EQ(BuildAnsi("a\r\nb", s, ansi), 1);
    EXPECT_EQ(ansi, "\x1b[0;38;2;102;102;102m1 \x1b[0ma\n"
                    "\x1b[0;38;2;102;102;102;48;2;255;246;191m2 \x1b[0;48;2;255;246;191mb\x1b[0m");
    // Bold, italic and backgrounds of the style; the text's own look where it has a box.
    StyleRecord style;
    ASSERT_EQ(BuildStyle(s, style), 1);
    style.marks.clear();
    style.numbers = false;
    style.Of(SpanClass::Keyword).bold = true;
    style.Of(SpanClass::Keyword).italic = true;
    style.Of(SpanClass::Keyword).background = 0x112233;
    style.Of(SpanClass::Text).background = 0x000000;
    style.Of(SpanClass::Text).colour = 0xFFFFFF;
    ASSERT_EQ(BuildAnsi("int \x1b", s, style, ansi), 1);
    EXPECT_EQ(ansi, "\x1b[0;1;3;38;2;0;0;255;48;2;17;34;51mint "
                    "\x1b[0;38;2;255;255;255;48;2;0;0;0m^[\x1b[0m");
}
