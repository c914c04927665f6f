#pragma once
// The themes that come with the program, each readable: every class and the line numbers at
// least 4.5:1 against the background and against the marked lines' background.

#include "themes/theme.h"

#include <span>
#include <string_view>

struct BuiltInTheme {
    Theme theme;
    const char* source;  // where its colours come from ("adapted from Nord by ...")
    const char* licence; // of that source ("MIT")
};

// "classic", the default, first; then the others by name.
std::span<const BuiltInTheme> BuiltInThemes() noexcept;

// The built-in theme of that name, or null.
const Theme* FindBuiltInTheme(std::string_view name) noexcept;

// The look Tarvo has always had: the profile's own colours on the page's white, so it gives no
// colour of its own but the line numbers' grey and the marked lines' yellow, which no profile
// held before them.
inline constexpr const char* kClassicThemeName = "classic";
const Theme& ClassicTheme() noexcept;
