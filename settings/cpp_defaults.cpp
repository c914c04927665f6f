#include "settings/cpp_defaults.h"

#include "settings/setting_table.h"

int SetCppDefaults(ProfileSettings& s) {
    for (const Setting& setting : kSettings) {
        if (!SetOptionValue(setting, s, setting.value, setting.text)) {
            return 0;
        }
    }
    return 1;
}

void SetSuggestedClassColours(ProfileSettings& s) noexcept {
    for (const ClassColourField& c : kClassColourFields) {
        if (!IsNameClass(c.span)) {
            s.*c.field = c.suggested;
        }
    }
}

void SetSuggestedNameColours(ProfileSettings& s) noexcept {
    for (const ClassColourField& c : kClassColourFields) {
        if (IsNameClass(c.span)) {
            s.*c.field = c.suggested;
        }
    }
}
