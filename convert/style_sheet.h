#pragma once
// The style sheet for the CSS classes of the converter's output.

#include "convert/profile_settings.h"

#include <string>

// 24 lines, each ended by CR LF. Reads the font size and the four colours only.
std::string BuildStyleSheet(const ProfileSettings& settings);
