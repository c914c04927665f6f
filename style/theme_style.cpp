#include "style/theme_style.h"

#include "themes/builtin_themes.h"
#include "themes/contrast.h"

#include <string_view>

bool IsClassicTheme(const Theme& theme) noexcept {
    return std::string_view(theme.name) == kClassicThemeName;
}

void ApplyTheme(const Theme& theme, StyleRecord& style) noexcept {
    if (IsClassicTheme(theme)) {
        return;
    }
    for (const ThemeRow& row : kThemeRows) {
        const ThemeLook& look = theme.Look(row.theme);
        ClassStyle& to = style.Of(row.span);
        to.colour = ShownColour(theme, row.theme);
        to.bold = look.bold;
        to.italic = look.italic;
        to.background.reset();
        if (look.background >= 0) {
            to.background = uint32_t(look.background);
        }
    }
    const uint32_t background = ShownBackground(theme);
    style.Of(SpanClass::Text).background = background;
    style.number_colour = theme.line_number_colour;
    style.mark_colour = theme.mark_colour;
    style.mark_edge = EdgeColour(theme.mark_colour, background);
}
