#include "cli/class_options.h"

#include "base/colour.h"

bool ParseClassColour(std::string_view text, int32_t& colour) {
    int64_t read = 0;
    if (!ReadColour(text, ColourRule::RRGGBBOrOff, read)) {
        return false;
    }
    colour = read == kColourOff ? kClassOff : int32_t(read);
    return true;
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
