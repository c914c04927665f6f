#include "themes/builtin_themes.h"

namespace {

constexpr ThemeLook P(uint32_t colour) {
    return {int32_t(colour), kNoColour, false, false};
}
constexpr ThemeLook B(uint32_t colour) {
    return {int32_t(colour), kNoColour, true, false};
}
constexpr ThemeLook I(uint32_t colour) {
    return {int32_t(colour), kNoColour, false, true};
}

// Each palette is laid on Tarvo's classes by its own rules where it has them (comments, strings,
// keywords, types, functions) and by likeness where not; colours below 4.5:1 on the background
// or the marked lines are moved in lightness, keeping their hue, until they reach it. The marked
// lines are the palette's yellow laid thinly over the background, as a highlighter would, until
// they differ from it by a delta E of 12.

constexpr bool kDark = true, kLight = false;

// Name, dark or light, background, line numbers, marked lines; the looks of text, keyword,
// comment, string, char, number, preproc, function, type, namespace, macro; source, licence.
constexpr BuiltInTheme Make(const char* name, bool dark, int32_t background, uint32_t lines,
                            uint32_t mark, const ThemeLook (&looks)[kThemeClassCount],
                            const char* source, const char* licence) {
    BuiltInTheme t{{}, source, licence};
    for (std::size_t i = 0; name[i] != '\0' && i < kMaxThemeName; ++i) {
        t.theme.name[i] = name[i];
    }
    t.theme.dark = dark;
    t.theme.background = background;
    t.theme.line_number_colour = lines;
    t.theme.mark_colour = mark;
    for (int c = 0; c < kThemeClassCount; ++c) {
        t.theme.looks[c] = looks[c];
    }
    return t;
}

constexpr BuiltInTheme kThemes[] = {
    Make("classic", kLight, kNoColour, 0x666666, 0xFFF6BF, {},
         "Tarvo's own: the profile's colours on white", "this program's own"),
    Make("catppuccin-latte", kLight, 0xEFF1F5, 0x606374, 0xECE1D2,
         {P(0x4C4F69), P(0x8231E8), I(0x606376), P(0x027500), P(0x006F76), P(0xC22600), P(0xA7378C),
          P(0x0E58E6), P(0x9C5000), P(0xC31E38), P(0xA54649)},
         "adapted from Catppuccin Latte", "MIT"),
    Make("catppuccin-mocha", kDark, 0x1E1E2E, 0x999EB7, 0x37353D,
         {P(0xCDD6F4), P(0xCBA6F7), I(0x989FB8), P(0xA6E3A1), P(0x94E2D5), P(0xFAB387), P(0xF5C2E7),
          P(0x89B4FA), P(0xF9E2AF), P(0xEBA0AC), P(0xF2CDCD)},
         "adapted from Catppuccin Mocha", "MIT"),
    Make("dracula", kDark, 0x282A36, 0x96A8DD, 0x3B3E3E,
         {P(0xF8F8F2), P(0xFF7AC7), P(0x96A8DD), P(0xF1FA8C), P(0xF1FA8C), P(0xBF95FB), P(0xFF7AC7),
          P(0x50FA7B), I(0x8BE9FD), P(0xFFB86C), P(0xFF847E)},
         "adapted from Dracula by Zeno Rocha", "MIT"),
    Make("github-dark", kDark, 0x0D1117, 0x828B96, 0x272215,
         {P(0xE6EDF3), P(0xFF7B72), P(0x8B949E), P(0xA5D6FF), P(0xA5D6FF), P(0x79C0FF), P(0xFF7B72),
          P(0xD2A8FF), P(0xFFA657), P(0x7EE787), P(0x79C0FF)},
         "adapted from GitHub Primer Primitives, dark syntax colours", "MIT"),
    Make("github-light", kLight, 0xFFFFFF, 0x68717B, 0xFFF8C5,
         {P(0x1F2328), P(0xCF222E), P(0x68717B), P(0x0A3069), P(0x0A3069), P(0x0550AE), P(0xCF222E),
          P(0x6639BA), P(0x953800), P(0x116329), P(0x0550AE)},
         "adapted from GitHub Primer Primitives, light syntax colours", "MIT"),
    Make("gruvbox-dark", kDark, 0x282828, 0xAD9F93, 0x3D3729,
         {P(0xEBDBB2), P(0xFF785F), I(0xAE9E8F), P(0xB8BB26), P(0xD88BA0), P(0xD88BA0), P(0x8EC07C),
          B(0xB8BB26), P(0xFABD2F), P(0x86A89B), P(0xFE8019)},
         "adapted from gruvbox by Pavel Pertsev", "MIT"),
    Make("gruvbox-light", kLight, 0xFBF1C7, 0x6E604D, 0xF3DEA2,
         {P(0x3C3836), P(0x9D0006), I(0x6E6052), P(0x6A6400), P(0x8F3F71), P(0x8F3F71), P(0x346D4B),
          B(0x6A6400), P(0x905400), P(0x076678), P(0xAF3A03)},
         "adapted from gruvbox by Pavel Pertsev", "MIT"),
    Make("nord", kDark, 0x2E3440, 0xADB9D0, 0x48494A,
         {P(0xD8DEE9), P(0x9BBCDD), I(0xAAB9D5), P(0xA5C18E), P(0xA5C18E), P(0xD4ADCD), P(0x97BCEA),
          P(0x89C1D1), P(0x94C1C0), P(0xEBCB8B), P(0xF2A68E)},
         "adapted from Nord by Arctic Ice Studio and Sven Greb", "MIT"),
    Make("one-dark", kDark, 0x282C34, 0xA3AEC5, 0x42413E,
         {P(0xD0D7E5), P(0xDE8FF6), I(0xA6AEBC), P(0x98C379), P(0x98C379), P(0xDAA26E), P(0xDE8FF6),
          P(0x66B4F4), P(0xE5C07B), P(0xFF8B93), P(0x5BBBC7)},
         "adapted from One Dark, the Atom editor's syntax theme", "MIT"),
    Make("one-light", kLight, 0xFAFAFA, 0x68686A, 0xF1E8D3,
         {P(0x383A42), P(0xA626A4), I(0x67686D), P(0x237725), P(0x237725), P(0x8D5E00), P(0xA626A4),
          P(0x2B60D8), P(0x955B00), P(0xC0332A), P(0x006EA5)},
         "adapted from One Light, the Atom editor's syntax theme", "MIT"),
    Make("solarized-dark", kDark, 0x002B36, 0x849BA2, 0x133530,
         {P(0xAEC0C2), P(0x8CA116), I(0x849BA2), P(0x34A89F), P(0x34A89F), P(0xFB5DA3), P(0xF37041),
          P(0x3D9EE6), P(0xBD9117), P(0x8990E6), P(0xFF6459)},
         "adapted from Solarized by Ethan Schoonover", "MIT"),
    Make("solarized-light", kLight, 0xFDF6E3, 0x5A6767, 0xF1E3BC,
         {P(0x374C53), P(0x5B6C00), I(0x5A6767), P(0x00726A), P(0x00726A), P(0xBE1D71), P(0xB83800),
          P(0x0068AD), P(0x885D00), P(0x5A5DAE), P(0xC8171D)},
         "adapted from Solarized by Ethan Schoonover", "MIT"),
    Make("tango", kLight, 0xFFFFFF, 0x72746F, 0xFFFCE4,
         {P(0x2E3436), B(0x204A87), I(0x8F5902), P(0x378300), P(0x378300), P(0xC15000), P(0xA40000),
          P(0x3465A4), P(0x5C3566), P(0x916E00), P(0xCC0000)},
         "adapted from the Tango Desktop Project's palette", "public domain"),
    Make("tokyo-night", kDark, 0x1A1B26, 0x8E95BF, 0x332E2E,
         {P(0xA9B1D6), P(0xBB9AF7), I(0x8A95C2), P(0x9ECE6A), P(0x73DACA), P(0xFF9E64), P(0x7DCFFF),
          P(0x7AA2F7), P(0x2AC3DE), P(0xE0AF68), P(0xF7768E)},
         "adapted from Tokyo Night by enkia", "MIT"),
    Make("tomorrow", kLight, 0xFFFFFF, 0x6F716D, 0xFCF6DF,
         {P(0x4D4D4C), P(0x8959A8), P(0x6F716D), P(0x5F7900), P(0x5F7900), P(0xB95000), P(0x187C82),
          P(0x4271AE), P(0x976700), P(0xC82829), P(0x187C82)},
         "adapted from Tomorrow by Chris Kempson", "MIT"),
    Make("tomorrow-night", kDark, 0x1D1F21, 0x9A9C9A, 0x36332B,
         {P(0xC5C8C6), P(0xB294BB), P(0x9A9C9A), P(0xB5BD68), P(0xB5BD68), P(0xDE935F), P(0x8ABEB7),
          P(0x81A2BE), P(0xF0C674), P(0xE67D7C), P(0x8ABEB7)},
         "adapted from Tomorrow Night by Chris Kempson", "MIT"),
};

} // namespace

std::span<const BuiltInTheme> BuiltInThemes() noexcept {
    return kThemes;
}

const Theme* FindBuiltInTheme(std::string_view name) noexcept {
    for (const BuiltInTheme& t : kThemes) {
        if (name == t.theme.name) {
            return &t.theme;
        }
    }
    return nullptr;
}

const Theme& ClassicTheme() noexcept {
    return kThemes[0].theme;
}
