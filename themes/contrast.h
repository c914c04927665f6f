#pragma once
// How readable one colour is on another, by WCAG 2.x: relative luminance and contrast ratio;
// and how different two colours look (CIE 1976 delta E), for the marked lines' background,
// which carries text of its own and must still stand out from the code's background.
// Colours are 0xRRGGBB; bits above the low 24 are ignored.

#include <cstdint>
#include <string>

// WCAG's least contrast for text of normal size (AA).
inline constexpr double kMinTextContrast = 4.5;
// WCAG's least contrast for what carries no text but must be seen: the marked lines' edge.
inline constexpr double kMinEdgeContrast = 3.0;
// The least colour difference between the marked lines' background and the code's: about five
// times what an eye notices side by side, so that a marked line is seen at a glance.
inline constexpr double kMinMarkDifference = 10.0;

// 0 for black to 1 for white.
double RelativeLuminance(uint32_t rgb) noexcept;

// The lighter colour's luminance plus 0.05 over the darker's plus 0.05: 1 (the same) to 21
// (black on white), the same whichever comes first.
double ContrastRatio(uint32_t a, uint32_t b) noexcept;

// CIE 1976 delta E*ab between the two colours in CIELAB (D65): 0 for the same colour, about 2.3
// for the least difference an eye notices side by side, 100 for black and white.
double ColourDifference(uint32_t a, uint32_t b) noexcept;

// Whether text on `background` reads better in white than in black: a dark background.
bool IsDarkBackground(uint32_t background) noexcept;

// The edge beside a marked line: the mark colour darkened (on a light background) or lightened
// (on a dark one) in steps of 2 % until it stands at kMinEdgeContrast against `background`. On
// white this is the edge that marked lines have always had.
uint32_t EdgeColour(uint32_t mark, uint32_t background) noexcept;

// "4.5:1": the ratio cut (never rounded up) to one decimal, so that a ratio below 4.5 never shows
// as 4.5.
std::string ContrastText(double ratio);
