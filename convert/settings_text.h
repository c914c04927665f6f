#pragma once
// Settings as the dialog's boxes show them: colours as hexadecimal text, keywords as one line.
// The dialog's transfer and the command line's round trip through it share these rules; a
// colour box's text is read by base/colour.h's box rule.

#include "convert/profile_settings.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Writes the six upper-case hexadecimal digits of the low 24 bits of `colour` and a NUL into
// `text`, which holds kColourTextSize bytes.
inline constexpr std::size_t kColourTextSize = 7;
void FormatColourText(uint32_t colour, char* text) noexcept;

// The bytes JoinKeywords needs, its NUL included.
std::size_t KeywordTextSize(const ProfileSettings& settings) noexcept;
// Writes the keywords joined by one space each into `text` and ends it with NUL; no space is
// written while the text is still empty, so empty keywords at the start vanish. Returns the
// length, NUL not counted.
std::size_t JoinKeywords(const ProfileSettings& settings, char* text) noexcept;
