#include "settings/cpp_defaults.h"

#include "settings/setting_table.h"

namespace {

// Whether the optional class `c` is one of names (functions, types, namespaces, macros) rather
// than of literals and directive lines.
constexpr bool IsNameClass(SpanClass c) noexcept {
    return c >= SpanClass::Function;
}

} // namespace

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
