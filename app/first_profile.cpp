#include "app/first_profile.h"

#include "res/keyword_sets.h"
#include "settings/cpp_defaults.h"

namespace {

constexpr const char* kFirstKeywordSet = "C++23";

} // namespace

int SetFirstProfileSettings(ProfileSettings& settings) {
    if (SetCppDefaults(settings) == 0) {
        return 0;
    }
    for (const KeywordSet& set : TarvoKeywordSets()) {
        if (set.name == kFirstKeywordSet && settings.SetKeywords(set.words.c_str()) == 0) {
            return 0;
        }
    }
    SetSuggestedClassColours(settings);
    SetSuggestedNameColours(settings);
    return 1;
}
