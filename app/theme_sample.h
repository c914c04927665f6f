#pragma once
// The few lines of C++ that the Colours dialog shows in the chosen themes, written by the
// clipboard's writer with every look in style attributes, so that a rich-text label shows them
// with no style sheet.

#include "settings/profile_settings.h"
#include "themes/theme.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The sample's source: a directive, a comment, a namespace, a type, a function, a macro, and
// a string, a character and a number.
extern const char* const kThemeSampleSource;

// The sample in `theme` over the looks of `settings` (its keywords, tab size, keyword and comment
// colours and font size), with the optional classes' colours `classes` (kClassColourFields
// order, kClassOff for off) instead of the settings' own; no frame, no line numbers. Empty when
// memory ran out.
std::string ThemeSampleHtml(const ProfileSettings& settings, std::span<const int32_t> classes,
                            const Theme& theme);

// `text` with <, > and & escaped, for a line of HTML.
std::string EscapedHtml(std::string_view text);
