#pragma once
// A conversion as RTF, the form that word processors, mail and presentation programs take first
// from the clipboard: the same text and colours, in a monospace font.

#include "render/converter.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <string>
#include <string_view>

// Builds into `rtf` the RTF rendition of `source` converted with `settings` (the keywords and
// the tab size) and `style` (BuildStyle of `settings` unless given): each span in its class's
// colour (and background, bold and italic where the style has them), the rest in the text's,
// in "Courier New" (fixed pitch) at the style's font size. Tabs stand as the converter leaves
// them (replaced, or kept as RTF tabs); every line break (CR LF, a lone CR or LF) is a paragraph
// end, and the last line is ended too. The text is 7-bit: other characters as \uN? (UTF-16, so
// astral ones as surrogate pairs), bytes that are not UTF-8 as the Latin-1 characters of their
// numbers. With the frame on, the paragraphs are boxed in its colours. `b_css` chooses the
// opening piece that the scan reads, as for the HTML of the same style. `observer` is told the
// tab-size notice and the progress. Returns 1, or 0 with `rtf` empty when memory ran out.
int BuildRtf(std::string_view source, const ProfileSettings& settings, int b_css, std::string& rtf,
             ConvertObserver* observer = nullptr);
int BuildRtf(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
             int b_css, std::string& rtf, ConvertObserver* observer = nullptr);

// The font size that RTF states for `font_size` CSS pixels: half-points, 3 per 2 pixels,
// rounded; 0 (none stated) for sizes that are not positive.
int RtfHalfPoints(int32_t font_size);
