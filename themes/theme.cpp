#include "themes/theme.h"

#include "themes/contrast.h"

#include <algorithm>
#include <cstring>
#include <exception>

bool IsThemeName(std::string_view name) noexcept {
    if (name.empty() || name.size() > kMaxThemeName || name.front() < 'a' || name.front() > 'z' ||
        name.back() == '-') {
        return false;
    }
    char before = '\0';
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
        if (!ok || (c == '-' && before == '-')) {
            return false;
        }
        before = c;
    }
    return true;
}

uint32_t ShownBackground(const Theme& theme) noexcept {
    return theme.background >= 0 ? uint32_t(theme.background) : kPageBackground;
}

uint32_t ShownColour(const Theme& theme, ThemeClass c) noexcept {
    const int32_t own = theme.Look(c).colour;
    const int32_t text = theme.Look(ThemeClass::Text).colour;
    return own >= 0 ? uint32_t(own) : text >= 0 ? uint32_t(text) : kPageText;
}

ContrastFinding LowestContrast(const Theme& theme) noexcept {
    const uint32_t background = ShownBackground(theme);
    ContrastFinding lowest;
    const auto check = [&](int part, uint32_t colour, uint32_t ground, ContrastGround where) {
        const double ratio = ContrastRatio(colour, ground);
        if (ratio < lowest.ratio) {
            lowest = {ratio, part, where};
        }
    };
    for (int part = 0; part <= kLineNumbersPart; ++part) {
        if (part < kThemeClassCount) {
            const ThemeLook& look = theme.looks[part];
            const uint32_t colour = ShownColour(theme, ThemeClass(part));
            if (look.background >= 0) {
                check(part, colour, uint32_t(look.background), ContrastGround::OwnBackground);
                continue;
            }
            check(part, colour, background, ContrastGround::Background);
            check(part, colour, theme.mark_colour, ContrastGround::MarkedLines);
        } else {
            check(part, theme.line_number_colour, background, ContrastGround::Background);
            check(part, theme.line_number_colour, theme.mark_colour, ContrastGround::MarkedLines);
        }
    }
    return lowest;
}

std::string DescribeFinding(const ContrastFinding& finding) {
    std::string text = finding.part >= 0 && finding.part < kThemeClassCount
                           ? kThemeClassNames[finding.part]
                           : "line numbers";
    switch (finding.ground) {
    case ContrastGround::Background:
        return text + " on the background";
    case ContrastGround::MarkedLines:
        return text + " on the marked lines";
    case ContrastGround::OwnBackground:
        return text + " on its own background";
    }
    return text;
}

bool MarkStandsOut(const Theme& theme) noexcept {
    return ColourDifference(theme.mark_colour, ShownBackground(theme)) >= kMinMarkDifference;
}

bool AppendThemeList(std::string& out, std::span<const Theme* const> themes) noexcept {
    try {
        std::size_t width = 0;
        for (const Theme* theme : themes) {
            width = std::max(width, std::strlen(theme->name));
        }
        for (const Theme* theme : themes) {
            const ContrastFinding lowest = LowestContrast(*theme);
            std::string line = theme->name;
            line.append(width - line.size() + 2, ' ');
            line += theme->dark ? "dark   " : "light  ";
            // Ratios from "1.0:1" to "21.0:1" in one column.
            std::string ratio = ContrastText(lowest.ratio);
            ratio.resize(std::max<std::size_t>(ratio.size(), 6), ' ');
            line += ratio;
            line += "  ";
            line += DescribeFinding(lowest);
            line += '\n';
            out += line;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
