#include "settings/dialog_round_trip.h"

#include "base/colour.h"
#include "base/memory.h"
#include "settings/setting_table.h"
#include "settings/settings_text.h"
#include "text/box_text.h"

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
    for (const Setting& setting : kSettings) {
        switch (setting.kind) {
        case SettingKind::Colour: {
            // As a colour box shows the colour and reads it back.
            char text[kColourTextSize];
            FormatColourText(s.*setting.colour, text);
            int64_t read = s.*setting.colour;
            ReadColour(text, ColourRule::Box, read);
            s.*setting.colour = uint32_t(read);
            break;
        }
        case SettingKind::ClassColour:
            // The Colours dialog keeps six digits of a class that is on, nothing of one that is
            // off.
            s.*setting.number = s.*setting.number < 0 ? kClassOff : s.*setting.number & 0xFFFFFF;
            break;
        case SettingKind::Flag:
            s.*setting.number = s.*setting.number != 0;
            break;
        default:
            // Number boxes read back the signed decimal number they show; texts and names come
            // back as they are; the keywords follow.
            break;
        }
    }
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
