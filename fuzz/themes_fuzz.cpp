// Reads any bytes as a theme file. What reads must come back unchanged from its own text, and
// what does not must have named a problem and left the theme alone.

#include "themes/theme_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

ThemeFileRead ReadText(std::string text, Theme& theme, std::string& problems) {
    std::FILE* file = ::fmemopen(text.data(), text.size(), "r");
    Check(file != nullptr || text.empty());
    const ThemeFileRead read = ReadThemeFile(file, "fuzz.theme", nullptr, theme, problems);
    if (file != nullptr) {
        std::fclose(file);
    }
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Theme theme;
    const Theme untouched = theme;
    std::string problems;
    const ThemeFileRead read =
        ReadText(std::string(reinterpret_cast<const char*>(data), size), theme, problems);
    if (read != ThemeFileRead::Ok) {
        Check(theme == untouched && !problems.empty());
        return 0;
    }
    Check(problems.empty() && IsThemeName(theme.name));
    Theme again;
    Check(ReadText(ThemeFileText(theme), again, problems) == ThemeFileRead::Ok);
    Check(again == theme);
    return 0;
}
