// A theme changes looks only: over random sources and settings, every rendition shows the same
// text in every built-in theme, and the classic theme leaves every rendition byte for byte.

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#include "render/converter_test_support.h"
#pragma GCC diagnostic pop
#include "render/ansi_text.h"
#include "render/latex_text.h"
#include "render/rich_text.h"
#include "render/rtf_reader_test_support.h"
#include "render/rtf_text.h"
#include "render/style_sheet.h"
#include "style/theme_style.h"
#include "themes/builtin_themes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

struct Renditions {
    std::string css, font, rich, rtf_text, ansi, latex, sheet;
};

std::string AnsiText(const std::string& ansi) {
    std::string text;
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        if (ansi[i] == '\x1b') {
            i = ansi.find('m', i);
        } else {
            text += ansi[i];
        }
    }
    return text;
}

// The renditions' text as a reader sees it (the style sheet and the LaTeX as they stand).
Renditions Render(ProfileSettings& s, const StyleRecord& style, const std::string& source,
                  bool shown) {
    Renditions r;
    std::string out;
    EXPECT_EQ(ConvertSource(s, style, source, 1, out), 1);
    r.css = shown ? VisibleText(out) : out;
    EXPECT_EQ(ConvertSource(s, style, source, 0, out), 1);
    r.font = shown ? VisibleText(out) : out;
    out = BuildRichText(source, s, style, 1);
    r.rich = shown ? VisibleText(out) : out;
    EXPECT_EQ(BuildRtf(source, s, style, 0, out), 1);
    if (shown) {
        r.rtf_text.clear();
        for (const RtfChar& c : ReadRtf(out)) {
            r.rtf_text += c.c < 0x80 ? char(c.c) : '?';
        }
    } else {
        r.rtf_text = out;
    }
    EXPECT_EQ(BuildAnsi(source, s, style, out), 1);
    r.ansi = shown ? AnsiText(out) : out;
    EXPECT_EQ(BuildLatex(source, s, style, out), 1);
    // The code box of a theme's background is the one frame the fragment gains.
    for (const char* box : {"\\begin{TarvoBox}\n", "\\end{TarvoBox}\n"}) {
        if (const std::size_t at = out.find(box); shown && at != std::string::npos) {
            out.erase(at, std::strlen(box));
        }
    }
    r.latex = out;
    r.sheet = shown ? "" : BuildStyleSheet(style);
    return r;
}

void ExpectSame(const Renditions& a, const Renditions& b, const char* theme, int round) {
    EXPECT_EQ(a.css, b.css) << theme << " round " << round;
    EXPECT_EQ(a.font, b.font) << theme << " round " << round;
    EXPECT_EQ(a.rich, b.rich) << theme << " round " << round;
    EXPECT_EQ(a.rtf_text, b.rtf_text) << theme << " round " << round;
    EXPECT_EQ(a.ansi, b.ansi) << theme << " round " << round;
    EXPECT_EQ(a.latex, b.latex) << theme << " round " << round;
    EXPECT_EQ(a.sheet, b.sheet) << theme << " round " << round;
}

} // namespace

TEST(Themes, ChangeNoRenditionsTextAndClassicChangesNoByte) {
    std::mt19937 rng(27);
    const std::vector<std::string> words = {"int", "/*", "*/", "//", "\n",  "\r\n", "\"", "'a'",
                                            "x",   " ",  "\t", "42", "#if", "<",    "&",  "\\\n"};
    for (int round = 0; round < 30; ++round) {
        ProfileSettings s;
        SetDefaults(s);
        for (const ClassColourField& c : kClassColourFields) {
            s.*c.field = rng() % 2 != 0 ? int32_t(rng() % 0x1000000) : kClassOff;
        }
        s.b_use_table = int32_t(rng() % 2);
        s.b_line_numbers = int32_t(rng() % 2);
        ASSERT_EQ(s.SetMarkedLines(rng() % 2 != 0 ? "2-3,5" : ""), 1);
        const std::string source = RandomText(rng, rng() % 300, words);

        StyleRecord base;
        ASSERT_EQ(BuildStyle(s, base), 1);
        const Renditions bytes = Render(s, base, source, false);
        const Renditions shown = Render(s, base, source, true);
        for (const BuiltInTheme& t : BuiltInThemes()) {
            StyleRecord themed;
            ASSERT_EQ(BuildStyle(s, themed), 1);
            ApplyTheme(t.theme, themed);
            if (IsClassicTheme(t.theme)) {
                ExpectSame(Render(s, themed, source, false), bytes, t.theme.name, round);
            } else {
                ExpectSame(Render(s, themed, source, true), shown, t.theme.name, round);
            }
        }
    }
}
