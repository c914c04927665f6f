#pragma once
// The fixed texts of one conversion: the opening and closing pieces and the tags, chosen from the
// style and the settings.

#include "settings/profile_settings.h"

#include <string>

struct HtmlPieces {
    std::string opening;
    std::string keyword_open;
    std::string comment_open;
    std::string keyword_close;
    std::string comment_close;
    std::string closing;
    // The optional classes: an open tag for each class that is on, empty for one that is off,
    // and the close tag they share.
    std::string string_open;
    std::string char_open;
    std::string number_open;
    std::string preproc_open;
    std::string class_close;

    bool AnyClass() const {
        return !string_open.empty() || !char_open.empty() || !number_open.empty() ||
               !preproc_open.empty();
    }
};

// The pieces for font markup (`css` false) or CSS classes.
HtmlPieces ChoosePieces(const ProfileSettings& settings, bool css);
