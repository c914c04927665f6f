#include "themes/builtin_themes.h"
#include "themes/contrast.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

namespace {

// The C++ defaults' colours with every optional class on in its suggested colour: what classic
// shows for the built-in profile.
Theme ClassicWithCppDefaults() {
    Theme t = ClassicTheme();
    const uint32_t colours[] = {0x000000, 0x0000FF, 0x008000, 0xA31515,
                                0x8B4513, 0x09794F, 0x7B3FA0};
    for (int c = 0; c < 7; ++c) {
        t.looks[c].colour = int32_t(colours[c]);
    }
    return t;
}

} // namespace

TEST(Contrast, MeetsWcagFigures) {
    EXPECT_DOUBLE_EQ(RelativeLuminance(0xFFFFFF), 1.0);
    EXPECT_DOUBLE_EQ(RelativeLuminance(0x000000), 0.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(0x000000, 0xFFFFFF), 21.0);
    // The grey that is commonly quoted as the lightest to pass on white, and the one just above.
    EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.005);
    EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x777777), 4.48, 0.005);
    EXPECT_NEAR(ColourDifference(0x000000, 0xFFFFFF), 100.0, 0.01);
    EXPECT_EQ(ContrastText(4.4999), "4.4:1");
    EXPECT_EQ(ContrastText(4.5), "4.5:1");
    EXPECT_EQ(ContrastText(21.0), "21.0:1");
    EXPECT_TRUE(IsDarkBackground(0x282828));
    EXPECT_FALSE(IsDarkBackground(0xFDF6E3));
    // The marked lines' edge on white, as the style sheet has always written it.
    EXPECT_EQ(EdgeColour(0xFFF6BF, 0xFFFFFF), 0x999473u);

    std::mt19937 random(27);
    for (int i = 0; i < 2000; ++i) {
        const uint32_t a = random() & 0xFFFFFF, b = random() & 0xFFFFFF;
        EXPECT_DOUBLE_EQ(ContrastRatio(a, b), ContrastRatio(b, a));
        EXPECT_GE(ContrastRatio(a, b), 1.0);
        EXPECT_NEAR(ColourDifference(a, b), ColourDifference(b, a), 1e-9);
        // The edge moves toward black on light backgrounds and toward white on dark ones, and
        // reaches 3:1 wherever black or white would.
        const uint32_t edge = EdgeColour(a, b);
        const uint32_t end = IsDarkBackground(b) ? 0xFFFFFF : 0x000000;
        if (ContrastRatio(end, b) >= kMinEdgeContrast) {
            EXPECT_GE(ContrastRatio(edge, b), kMinEdgeContrast) << std::hex << a << " " << b;
        }
        for (int shift = 0; shift < 24; shift += 8) {
            const int from = int(a >> shift & 0xFF), to = int(edge >> shift & 0xFF);
            EXPECT_TRUE(end == 0 ? to <= from : to >= from) << std::hex << a << " " << b;
        }
    }
}

// Every built-in theme and class readable, the line numbers included, on the background and on
// the marked lines; a marked line seen as one; the table as the README lists it.
TEST(BuiltInThemes, EveryThemeIsReadable) {
    const auto themes = BuiltInThemes();
    ASSERT_GE(themes.size(), 12u);
    EXPECT_EQ(&themes[0].theme, &ClassicTheme());
    EXPECT_EQ(FindBuiltInTheme("classic"), &ClassicTheme());
    EXPECT_EQ(FindBuiltInTheme("Classic"), nullptr);
    std::set<std::string> names;
    int dark = 0;
    for (const BuiltInTheme& entry : themes) {
        const Theme& t = entry.theme;
        SCOPED_TRACE(t.name);
        EXPECT_TRUE(IsThemeName(t.name));
        EXPECT_TRUE(names.insert(t.name).second);
        EXPECT_EQ(FindBuiltInTheme(t.name), &t);
        EXPECT_STRNE(entry.source, "");
        EXPECT_STRNE(entry.licence, "");
        EXPECT_EQ(t.dark, IsDarkBackground(ShownBackground(t)));
        dark += t.dark ? 1 : 0;
        const Theme& judged = &t == &ClassicTheme() ? ClassicWithCppDefaults() : t;
        const ContrastFinding lowest = LowestContrast(judged);
        EXPECT_GE(lowest.ratio, kMinTextContrast) << DescribeFinding(lowest);
        EXPECT_TRUE(MarkStandsOut(t)) << ColourDifference(t.mark_colour, ShownBackground(t));
        EXPECT_GE(ContrastRatio(EdgeColour(t.mark_colour, ShownBackground(t)), ShownBackground(t)),
                  kMinEdgeContrast);
        for (const ThemeLook& look : t.looks) {
            // Classic takes every colour from the profile; the others give every one.
            EXPECT_EQ(look.colour >= 0, &t != &ClassicTheme());
        }
    }
    EXPECT_GE(dark, 5);
    // Classic: today's look, the page's white under the profile's colours.
    const Theme& classic = ClassicTheme();
    EXPECT_EQ(classic.background, kNoColour);
    EXPECT_EQ(classic.line_number_colour, 0x666666u);
    EXPECT_EQ(classic.mark_colour, 0xFFF6BFu);
    for (const ThemeLook& look : classic.looks) {
        EXPECT_EQ(look, ThemeLook{});
    }
}

TEST(BuiltInThemes, ListHasOneLineEachWithNameSchemeAndLowestContrast) {
    std::vector<const Theme*> themes;
    for (const BuiltInTheme& entry : BuiltInThemes()) {
        themes.push_back(&entry.theme);
    }
    Theme poor = *FindBuiltInTheme("nord");
    poor.looks[int(ThemeClass::Comment)].colour = 0x4C566A;
    themes.push_back(&poor);
    std::string list;
    ASSERT_TRUE(AppendThemeList(list, themes));
    std::istringstream lines(list);
    std::string line;
    std::size_t n = 0, column = std::string::npos;
    while (std::getline(lines, line)) {
        const Theme& t = *themes[n++];
        std::istringstream fields(line);
        std::string name, scheme, ratio;
        fields >> name >> scheme >> ratio;
        EXPECT_EQ(name, t.name);
        EXPECT_EQ(scheme, t.dark ? "dark" : "light");
        EXPECT_EQ(ratio, ContrastText(LowestContrast(t).ratio)) << line;
        // The fields stand in columns.
        const std::size_t at = line.find(scheme, name.size());
        EXPECT_EQ(at, column == std::string::npos ? at : column) << line;
        column = at;
    }
    EXPECT_EQ(n, themes.size());
    EXPECT_NE(list.find("nord              dark   1.2:1   comment on the marked lines\n"),
              std::string::npos)
        << list;
}
