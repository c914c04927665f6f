#pragma once
// The style sheet for the CSS classes of the converter's output.

#include "convert/profile_settings.h"

#include <string>

// 24 lines, each ended by CR LF, from the font size and the four colours; with line numbers or
// marked lines the rules for them (LineStyleRules) stand before the last line.
std::string BuildStyleSheet(const ProfileSettings& settings);
