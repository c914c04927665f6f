#include "convert/dialog_round_trip.h"

#include "base/colour.h"
#include "base/memory.h"
#include "convert/box_text.h"
#include "convert/settings_text.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// True when joining, the keyword box and splitting give every keyword back as it is: the list
// neither starts nor ends with an empty keyword, no keyword holds a separator, and the box
// leaves each one alone.
bool KeywordsComeBackAsTheyAre(const ProfileSettings& s) {
    const int32_t count = s.KeywordCount();
    if (count == 0) {
        return true;
    }
    if (*s.Keyword(0) == '\0' || *s.Keyword(count - 1) == '\0') {
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        const std::string_view keyword = s.Keyword(i);
        if (keyword.find_first_of(" \t") != std::string_view::npos ||
            !SurvivesTextBox(keyword, i == 0)) {
            return false;
        }
    }
    return true;
}

} // namespace

int ThroughTheDialog(ProfileSettings& s) {
    for (uint32_t* colour : {&s.n_comment_color, &s.n_keyword_color, &s.n_table_lt_color,
                             &s.n_table_dk_color, &s.n_mark_color}) {
        char text[kColourTextSize];
        FormatColourText(*colour, text);
        int64_t read = *colour;
        ReadColour(text, ColourRule::Box, read);
        *colour = uint32_t(read);
    }
    // The Colours dialog keeps six digits of a class that is on, and nothing of one that is off.
    for (const ClassColourField& c : kClassColourFields) {
        s.*c.field = s.*c.field < 0 ? kClassOff : s.*c.field & 0xFFFFFF;
    }
    s.b_table_width_percent = s.b_table_width_percent != 0;
    s.b_use_table = s.b_use_table != 0;
    s.b_line_numbers = s.b_line_numbers != 0;
    // The number boxes show a signed decimal number and read it back whole.
    if (KeywordsComeBackAsTheyAre(s)) {
        return 1;
    }
    tarvo::Block joined(static_cast<char*>(tarvo::TryAllocate(KeywordTextSize(s))));
    if (!joined) {
        return 0;
    }
    const std::size_t length = JoinKeywords(s, joined.get());
    const std::string shown = ThroughTextBox(std::string_view(joined.get(), length));
    joined.reset();
    return s.SetKeywords(shown.c_str());
}
