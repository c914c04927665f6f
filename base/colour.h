#pragma once
// The one reader of colours: every colour option, profile key and colour box is read here, by
// one of two rules, and a value that is no colour gets one message, which names it.
//
// ColourRule::Box, the main window's four colour boxes: one leading "#" is skipped, then a number
// as scanf's "%x" reads it: white space, a sign, an optional 0x, hexadecimal digits in either
// case up to the first other character. All 32 bits are kept ("-1" is 0xFFFFFFFF; digits past 32
// bits push the first ones out). A text without a number is no colour, and nothing is said of
// it: the box's field keeps its value.
//
// ColourRule::RRGGBB and ColourRule::RRGGBBOrOff, everything else (the command line's colour
// options, the Colours dialog's boxes, the opt-in colour keys of a profile): exactly six
// hexadecimal digits in either case, one "#" before them allowed; RRGGBBOrOff also takes "off"
// (kColourOff). A profile key holds a number rather than a text: IsColourNumber applies the
// same rule to it.

#include <cstdint>
#include <string>
#include <string_view>

enum class ColourRule { Box, RRGGBB, RRGGBBOrOff };

// A colour that is switched off.
inline constexpr int64_t kColourOff = -1;

// Reads `text` by `rule`: true with `colour` set (0 to 0xFFFFFFFF for Box; 0 to 0xFFFFFF, or
// kColourOff for "off", for the others), false with `colour` untouched when `text` is no colour.
bool ReadColour(std::string_view text, ColourRule rule, int64_t& colour) noexcept;

// Whether the number `value` is a colour by `rule`: 0 to 0xFFFFFF, or kColourOff for
// RRGGBBOrOff; any 32-bit value for Box.
bool IsColourNumber(int64_t value, ColourRule rule) noexcept;

// The message for a value that is no colour: "'0x1234' is not a colour (RRGGBB or off)", or
// "(RRGGBB)" where off is not one.
std::string NotAColour(std::string_view text, ColourRule rule);
