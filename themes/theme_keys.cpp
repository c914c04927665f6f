#include "themes/theme_keys.h"

#include <cstdio>
#include <cstring>

namespace {

struct KeyTable {
    ThemeKey keys[kThemeKeyCount] = {};

    KeyTable() noexcept {
        const char* const own[] = {"p_s_name",           "p_s_based_on", "b_dark",
                                   "n_background_color", "n_mark_color", "n_line_number_color"};
        for (int i = 0; i < 6; ++i) {
            std::snprintf(keys[i].name, sizeof keys[i].name, "%s", own[i]);
            keys[i].kind = ThemeKeyKind(i);
            keys[i].cls = -1;
        }
        const char* const formats[] = {"n_%s_color", "n_%s_background_color", "b_%s_bold",
                                       "b_%s_italic"};
        for (int c = 0; c < kThemeClassCount; ++c) {
            for (int k = 0; k < 4; ++k) {
                const auto kind = ThemeKeyKind(int(ThemeKeyKind::Colour) + k);
                ThemeKey& key = keys[ThemeKeyIndex(kind, c)];
                std::snprintf(key.name, sizeof key.name, formats[k], kThemeClassNames[c]);
                key.kind = kind;
                key.cls = int8_t(c);
            }
        }
    }
};

const KeyTable& Table() noexcept {
    static const KeyTable table;
    return table;
}

} // namespace

std::span<const ThemeKey, kThemeKeyCount> ThemeKeys() noexcept {
    return Table().keys;
}

int FindThemeKey(const char* name) noexcept {
    for (int i = 0; i < kThemeKeyCount; ++i) {
        if (std::strcmp(Table().keys[i].name, name) == 0) {
            return i;
        }
    }
    return -1;
}
