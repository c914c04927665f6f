#pragma once
// What a round through the dialog's controls does to settings: the dialog shows a loaded
// profile in its controls and converts with what it reads back from them.

#include "convert/profile_settings.h"

#include <string>

// Colours keep their low 24 bits (the boxes show six digits), flags become 0 or 1, and the
// keywords are joined by spaces and split again as the keyword box delivers its text. Returns
// 1, or 0 when memory runs out.
int ThroughTheDialog(ProfileSettings& settings);

// Text as the dialog's source box delivers it: every line break (LF, CR LF or a lone CR) as
// CR LF.
std::string WithCrLf(std::string_view text);

// Text as the user copies it out of the box on this system: CR LF as LF.
std::string WithLf(std::string_view text);
