#pragma once
// A theme laid over the style record: the looks of the classes, the code box's background, the
// line numbers' colour and the marked lines' background. Which classes get spans stays as the
// settings say.

#include "lexing/span.h"
#include "style/style_record.h"
#include "themes/theme.h"

// The record's row that each of a theme's classes gives its look to.
struct ThemeRow {
    ThemeClass theme;
    SpanClass span;
};
inline constexpr ThemeRow kThemeRows[] = {
    {ThemeClass::Text, SpanClass::Text},       {ThemeClass::Keyword, SpanClass::Keyword},
    {ThemeClass::Comment, SpanClass::Comment}, {ThemeClass::String, SpanClass::String},
    {ThemeClass::Char, SpanClass::Char},       {ThemeClass::Number, SpanClass::Number},
    {ThemeClass::Preproc, SpanClass::Preproc}, {ThemeClass::Function, SpanClass::Function},
    {ThemeClass::Type, SpanClass::Type},       {ThemeClass::Namespace, SpanClass::Namespace},
    {ThemeClass::Macro, SpanClass::Macro},
};

// Whether `theme` is the classic one, which gives nothing of its own: the record stays as the
// settings built it, byte for byte in every rendition.
bool IsClassicTheme(const Theme& theme) noexcept;

// Gives each row the theme's look (its colour as shown, bold, italic, its own background), the
// text's row the theme's background as the code box's, and the lines the theme's line-number
// colour, marked lines' background and an edge that stands out from that background.
void ApplyTheme(const Theme& theme, StyleRecord& style) noexcept;
