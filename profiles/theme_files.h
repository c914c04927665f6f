#pragma once
// Where themes of one's own come from: the theme files in the `themes` folder of the profile
// folder, found by name, and a theme file named by its path (--theme-file). Both are opened as
// profiles are: regular files of at most Disk::kReadLimit bytes, never waited on, and in the
// folder only by bare names.

#include "files/disk.h"
#include "profiles/profile_folder.h"
#include "themes/theme_file.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kThemeFolderName = "themes";

// The path of theme `name`'s file in the themes folder of `folder`; "" when `name` is not a
// theme name, which nothing opens.
std::string ThemeFilePath(const ProfileFolder& folder, std::string_view name);

// Reads the theme file at `path` on `disk`, naming it by its path in the problems.
ThemeFileRead ReadThemeFileAt(Disk& disk, const char* path, Theme& theme,
                              std::string& problems) noexcept;

// The theme `name`: the built-in one of that name, or else the theme file of that name in the
// themes folder of `folder`, which must name itself so. Missing, with "Unknown theme 'name'"
// in `problems`, when there is neither.
ThemeFileRead FindTheme(const ProfileFolder& folder, const char* name, Theme& theme,
                        std::string& problems) noexcept;

// The names of the theme files in the themes folder of `folder` on the real disk ("NAME.theme"
// with a theme name that no built-in theme has), in order; none for another disk. Whether each
// reads as a theme is FindTheme's business.
std::vector<std::string> ThemeFileNames(const ProfileFolder& folder);
