#include "cli/class_options.h"

#include "settings/settings_text.h"

// RRGGBB, with or without "#", or "off". False for anything else.
bool ParseClassColour(std::string_view text, int32_t& colour) {
    if (text == "off") {
        colour = kClassOff;
        return true;
    }
    if (text.starts_with('#')) {
        text.remove_prefix(1);
    }
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != text.npos) {
        return false;
    }
    uint32_t value = 0;
    return ReadColourText(text, value) && (colour = int32_t(value), true);
}

// The optional class that `option` (--string-color and the like) sets, or null.
const ClassColourField* ClassOption(std::string_view option) {
    static constexpr const char* kOptions[] = {"--string-color", "--char-color", "--number-color",
                                               "--preproc-color"};
    static_assert(std::size(kOptions) == std::size(kClassColourFields));
    for (std::size_t i = 0; i < std::size(kOptions); ++i) {
        if (option == kOptions[i]) {
            return &kClassColourFields[i];
        }
    }
    return nullptr;
}
