#pragma once
// The converter's output as RTF, the form that word processors, mail and presentation programs
// take first from the clipboard: the same text and colours, in a monospace font.

#include "settings/profile_settings.h"

#include <string>
#include <string_view>

// Builds into `rtf` the RTF rendition of `html`, ConvertSource's result for `settings` and
// `b_css`: the code between the converter's opening and closing pieces, each span in the colour
// that its tag or its class's rule in the style sheet gives (and its background, where one is
// given), the rest in the sheet's text colour, in "Courier New" (fixed pitch) at the profile's
// font size. Tabs stand as the converter left them (replaced, or kept as RTF tabs); every line
// break (CR LF, a lone CR or LF) is a paragraph end, and the last line is ended too. The text
// is 7-bit: other characters as \uN? (UTF-16, so astral ones as surrogate pairs), bytes that
// are not UTF-8 as the Latin-1 characters of their numbers. No background unless a rule sets
// one. With `settings.b_use_table` the paragraphs are boxed in the table's border colours. Returns
// 1, or 0 with `rtf` empty when memory ran out.
int BuildRtf(std::string_view html, const ProfileSettings& settings, int b_css, std::string& rtf);

// The font size that RTF states for `font_size` CSS pixels: half-points, 3 per 2 pixels,
// rounded; 0 (none stated) for sizes that are not positive.
int RtfHalfPoints(int32_t font_size);
