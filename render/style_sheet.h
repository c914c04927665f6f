#pragma once
// The style sheet for the CSS classes of the converter's output.

#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <string>

// 24 lines, each ended by CR LF, and five more after the comment's rule for each optional class
// that is on; with line numbers or marked lines the rules for them stand before the last line;
// bold, italic and backgrounds, where the style has them, add their lines to their rules.
std::string BuildStyleSheet(const StyleRecord& style);
// A sheet for both schemes, with no script: the rules of `light`, then those of `dark` (the same
// settings under a dark theme) for a reader whose system prefers a dark scheme.
std::string BuildStyleSheet(const StyleRecord& light, const StyleRecord& dark);
// The sheet for the style of `settings` (BuildStyle). Empty when memory ran out.
std::string BuildStyleSheet(const ProfileSettings& settings);
