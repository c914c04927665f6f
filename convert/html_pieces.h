#pragma once
// The fixed texts of one conversion: the opening and closing pieces and the tags, chosen from the
// style and the settings.

#include "convert/profile_settings.h"

#include <string>

struct HtmlPieces {
    std::string opening;
    std::string keyword_open;
    std::string comment_open;
    std::string keyword_close;
    std::string comment_close;
    std::string closing;
};

// The pieces for font markup (`css` false) or CSS classes.
HtmlPieces ChoosePieces(const ProfileSettings& settings, bool css);
