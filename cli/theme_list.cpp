#include "cli/theme_list.h"

#include "profiles/profile_folder.h"
#include "profiles/theme_files.h"
#include "themes/builtin_themes.h"

#include <string>
#include <vector>

namespace {
constexpr const char* kName = "tarvo-convert";
} // namespace

int ListThemes(const ProfileFolderOptions& options, std::FILE* out, std::FILE* err) {
    int status = 0;
    const auto fail = [&](const std::string& message) {
        std::fprintf(err, "%s: %s\n", kName, message.c_str());
        status = 1;
    };
    std::vector<Theme> files;
    if (options.dir != nullptr || options.user) {
        ProfileFolder folder;
        std::string error;
        if (!ResolveProfileFolder(options.dir, options.user, folder.path, error)) {
            fail(error);
            return status;
        }
        for (const std::string& name : ThemeFileNames(folder)) {
            Theme theme;
            std::string problems;
            if (FindTheme(folder, name.c_str(), theme, problems) == ThemeFileRead::Ok) {
                files.push_back(theme);
                continue;
            }
            while (!problems.empty() && problems.back() == '\n') {
                problems.pop_back();
            }
            fail(problems.empty() ? std::string("Not enough memory") : problems);
        }
    }
    std::vector<const Theme*> themes;
    for (const BuiltInTheme& t : BuiltInThemes()) {
        themes.push_back(&t.theme);
    }
    for (const Theme& theme : files) {
        themes.push_back(&theme);
    }
    std::string list;
    if (!AppendThemeList(list, themes)) {
        fail("Not enough memory");
        return status;
    }
    std::fputs(list.c_str(), out);
    return status;
}
