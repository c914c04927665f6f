#include "base/memory.h"
#include "config/config_test_support.h"
#include "themes/builtin_themes.h"
#include "themes/theme_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

struct Read {
    ThemeFileRead result;
    Theme theme;
    std::string problems;
};

Read ReadText(const std::string& text, const char* expected_name = nullptr) {
    TextFile file(text);
    Read r{ThemeFileRead::Ok, *FindBuiltInTheme("dracula"), ""};
    r.result = ReadThemeFile(file.get(), "my.theme", expected_name, r.theme, r.problems);
    return r;
}

// Names are zero-filled after their last character, as the reader leaves them.
void SetName(Theme& t, const std::string& name) {
    std::memset(t.name, 0, sizeof t.name);
    std::memcpy(t.name, name.data(), std::min(name.size(), kMaxThemeName));
}

Theme RandomTheme(std::mt19937& random) {
    Theme t;
    SetName(t, "mine-" + std::to_string(random() % 100000));
    t.dark = random() % 2 == 0;
    t.background = int32_t(random() & 0xFFFFFF);
    t.line_number_colour = random() & 0xFFFFFF;
    t.mark_colour = random() & 0xFFFFFF;
    for (ThemeLook& look : t.looks) {
        look.colour = int32_t(random() & 0xFFFFFF);
        look.background = random() % 4 == 0 ? int32_t(random() & 0xFFFFFF) : kNoColour;
        look.bold = random() % 3 == 0;
        look.italic = random() % 3 == 0;
    }
    return t;
}

} // namespace

// Any theme that gives every colour reads back from its text as it was, the built-in ones too.
TEST(ThemeFile, TextReadsBackAsTheTheme) {
    std::mt19937 random(27);
    std::vector<Theme> themes;
    for (int i = 0; i < 300; ++i) {
        themes.push_back(RandomTheme(random));
    }
    for (const BuiltInTheme& entry : BuiltInThemes()) {
        if (&entry.theme != &ClassicTheme()) {
            themes.push_back(entry.theme);
            SetName(themes.back(), std::string("my-") + entry.theme.name);
        }
    }
    for (const Theme& t : themes) {
        const Read r = ReadText(ThemeFileText(t), t.name);
        ASSERT_EQ(r.result, ThemeFileRead::Ok) << r.problems << ThemeFileText(t);
        EXPECT_EQ(r.theme, t) << ThemeFileText(t);
    }
}

// A start and the few keys that differ; every form a colour may take; defaults without a start.
TEST(ThemeFile, StartsFromABuiltInThemeAndFillsWhatIsMissing) {
    // A name shorter than the start's leaves nothing of that one behind.
    Read r = ReadText("p_s_name = \"n\"; p_s_based_on = \"nord\";\n"
                      "n_comment_color = \"#9AA8C4\"; b_comment_italic = 0;\n"
                      "n_type_color = n_keyword_color; n_keyword_color = 0x0000ff;\n"
                      "n_string_background_color = \"102030\"; n_macro_background_color = -1;\n");
    ASSERT_EQ(r.result, ThemeFileRead::Ok) << r.problems;
    Theme expected = *FindBuiltInTheme("nord");
    SetName(expected, "n");
    expected.Look(ThemeClass::Comment) = {0x9AA8C4, kNoColour, false, false};
    expected.Look(ThemeClass::Keyword).colour = 0x0000FF;
    expected.Look(ThemeClass::Type).colour = 0x0000FF;
    expected.Look(ThemeClass::String).background = 0x102030;
    EXPECT_EQ(r.theme, expected);

    // Without a start: every class in the text's colour, the line numbers in the comment's, and
    // dark or light as the background is.
    r = ReadText("p_s_name = \"plain\"; n_background_color = 0x101010; n_mark_color = 0x303020;"
                 "n_text_color = 0xe0e0e0; n_comment_color = 0xa0a0a0;");
    ASSERT_EQ(r.result, ThemeFileRead::Ok) << r.problems;
    EXPECT_TRUE(r.theme.dark);
    EXPECT_EQ(r.theme.line_number_colour, 0xA0A0A0u);
    for (int c = 0; c < kThemeClassCount; ++c) {
        EXPECT_EQ(r.theme.looks[c].colour, c == int(ThemeClass::Comment) ? 0xA0A0A0 : 0xE0E0E0);
    }
    r = ReadText("p_s_name = \"plain\"; b_dark = 1; n_background_color = 0xffffff;"
                 "n_mark_color = 0xfff6bf; n_text_color = 0;");
    ASSERT_EQ(r.result, ThemeFileRead::Ok) << r.problems;
    EXPECT_TRUE(r.theme.dark);
}

// Every bad value named with its line, nothing dropped, and the theme left as it was.
TEST(ThemeFile, EveryProblemIsNamed) {
    const std::string start = "p_s_name = \"mine\"; p_s_based_on = \"nord\";\n";
    const struct {
        std::string text;
        const char* problem;
    } cases[] = {
        {start + "n_keyword_color = 0x1000000;",
         "'my.theme', line 2: n_keyword_color = 0x1000000 is not a colour: write 0xRRGGBB or "
         "\"#RRGGBB\"\n"},
        {start + "n_keyword_color = -1;", "line 2: n_keyword_color = -1 is not a colour"},
        {start + "n_mark_color = \"red\";", "line 2: n_mark_color = \"red\" is not a colour"},
        {start + "n_text_color = 1.5;", "line 2: n_text_color = 1.5 is not a colour"},
        {start + "n_text_color = blue;", "line 2: n_text_color = blue is not a colour"},
        {start + "n_type_background_color = { 1, };",
         "n_type_background_color = { ... } is not a colour: write 0xRRGGBB or \"#RRGGBB\", or -1 "
         "for none"},
        {start + "b_keyword_bold = 2;", "line 2: b_keyword_bold = 2 is not 0 or 1"},
        {start + "b_dark = \"yes\";", "line 2: b_dark = \"yes\" is not 0 or 1"},
        {start + "\nn_keywrod_color = 0x0000ff;", "line 3: unknown key 'n_keywrod_color'"},
        {start + "n_text_color = 0;\nn_text_color = 0;",
         "line 3: n_text_color is set again (first on line 2)"},
        {"p_s_based_on = \"nord\";", "'my.theme': p_s_name is missing"},
        {"p_s_name = \"My Theme\"; p_s_based_on = \"nord\";",
         "line 1: p_s_name = \"My Theme\" is not a theme name: lower-case letters, digits and "
         "dashes, such as \"my-theme\""},
        {"p_s_name = 5; p_s_based_on = \"nord\";", "p_s_name = 5 is not a theme name"},
        {"p_s_name = \"nord\"; p_s_based_on = \"nord\";",
         "p_s_name = \"nord\" is the name of a built-in theme: choose another"},
        {"p_s_name = \"x\"; p_s_based_on = \"nordic\";",
         "line 1: p_s_based_on = \"nordic\" is not a built-in theme"},
        {"p_s_name = \"x\"; p_s_based_on = \"classic\";",
         "p_s_based_on = \"classic\" cannot be a start: classic has the profile's colours"},
        {"p_s_name = \"x\"; n_background_color = 0; n_text_color = 0xffffff;",
         "'my.theme': n_mark_color is missing: give it, or start from a built-in theme with "
         "p_s_based_on\n"},
        {start + "n_text_color = 0x000000", "cannot be read: a statement is not of the form"},
        {start + "n_text_color = #000000;", "cannot be read: Unknown token found [2]"},
    };
    for (const auto& c : cases) {
        const Read r = ReadText(c.text);
        EXPECT_EQ(r.result, ThemeFileRead::Bad) << c.text;
        EXPECT_NE(r.problems.find(c.problem), std::string::npos) << c.text << "\n" << r.problems;
        EXPECT_EQ(r.problems.rfind("Theme file 'my.theme'", 0), 0u) << r.problems;
        EXPECT_EQ(r.theme, *FindBuiltInTheme("dracula")) << c.text;
    }
    // A theme found by its file name must be named so.
    EXPECT_NE(ReadText(start, "yours")
                  .problems.find("p_s_name = \"mine\" does not match the "
                                 "file name yours.theme"),
              std::string::npos);
    // A file of garbage keys names the first twenty and counts the rest.
    std::string many = start;
    for (int i = 0; i < 50; ++i) {
        many.append("x").append(std::to_string(i)).append(" = 1;\n");
    }
    const Read r = ReadText(many);
    EXPECT_EQ(std::count(r.problems.begin(), r.problems.end(), '\n'), kMaxThemeProblems + 1);
    EXPECT_NE(r.problems.find("'my.theme': and 30 more problems\n"), std::string::npos);

    EXPECT_EQ(ThemeFileName("my-theme"), "my-theme.theme");
    for (const char* bad : {"", "../x", "a/b", ".", "My", "-a", "a-", "a--b", "a.b", "1a"}) {
        EXPECT_EQ(ThemeFileName(bad), "") << bad;
    }
}

TEST(ThemeFile, OutOfMemoryLeavesTheThemeAsItWas) {
    const std::string text = ThemeFileText(*FindBuiltInTheme("gruvbox-dark")) + "\n";
    std::string renamed = text;
    renamed.replace(renamed.find("gruvbox-dark\";"), 12, "my-gruvbox");
    for (long after = 0;; ++after) {
        tarvo::InjectAllocationFailure(after);
        const Read r = ReadText(renamed);
        tarvo::InjectAllocationFailure(-1);
        if (r.result == ThemeFileRead::Ok) {
            EXPECT_GT(after, 0);
            break;
        }
        ASSERT_EQ(r.result, ThemeFileRead::OutOfMemory) << after;
        EXPECT_EQ(r.problems, "Theme file 'my.theme': Not enough memory\n");
        EXPECT_EQ(r.theme, *FindBuiltInTheme("dracula"));
    }
}
