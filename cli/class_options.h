#pragma once
// The command line's options of the optional classes: --string-color and its kin.

#include "settings/profile_settings.h"

#include <cstdint>
#include <string_view>

// RRGGBB, with or without "#", into `colour`, or "off" as kClassOff. False for anything else.
bool ParseClassColour(std::string_view text, int32_t& colour);

// The optional class that `option` (--string-color, --char-color, --number-color,
// --preproc-color, --function-color, --type-color, --namespace-color or --macro-color) sets, or
// null for another option.
const ClassColourField* ClassOption(std::string_view option);
