#pragma once
// The keys of a theme file in one table, which its reader and its writer both go by: six for
// the theme, then four for each class, in the order they are written.

#include "themes/theme.h"

#include <cstdint>
#include <span>

enum class ThemeKeyKind : uint8_t {
    // the theme's
    Name,        // p_s_name
    BasedOn,     // p_s_based_on
    Dark,        // b_dark
    Background,  // n_background_color
    Mark,        // n_mark_color
    LineNumbers, // n_line_number_color
    // each class's
    Colour,          // n_CLASS_color
    ClassBackground, // n_CLASS_background_color
    Bold,            // b_CLASS_bold
    Italic,          // b_CLASS_italic
};

struct ThemeKey {
    char name[40];
    ThemeKeyKind kind;
    int8_t cls; // the class of a class's key, else -1
};

inline constexpr int kThemeKeyCount = 6 + 4 * kThemeClassCount;

std::span<const ThemeKey, kThemeKeyCount> ThemeKeys() noexcept;

// The index of a key in ThemeKeys(): by its name (-1 when there is no such key), or by its kind
// and class (-1 for the theme's own keys).
int FindThemeKey(const char* name) noexcept;
constexpr int ThemeKeyIndex(ThemeKeyKind kind, int cls = -1) noexcept {
    return cls < 0 ? int(kind) : 6 + 4 * cls + int(kind) - int(ThemeKeyKind::Colour);
}
