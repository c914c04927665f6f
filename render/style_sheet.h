#pragma once
// The style sheet for the CSS classes of the converter's output.

#include "settings/profile_settings.h"

#include <string>

// 24 lines, each ended by CR LF, and five more after the comment's rule for each optional class
// that is on; with line numbers or marked lines the rules for them (LineStyleRules) stand before
// the last line. Reads the font size, the colours and the line-number settings only.
std::string BuildStyleSheet(const ProfileSettings& settings);
