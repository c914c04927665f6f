#pragma once
// --list-themes: one theme a line, its name, light or dark, and its lowest contrast.

#include "profiles/folder_options.h"

#include <cstdio>

// Writes the built-in themes to `out`, then, when `folder` gives a profile folder, those of its
// themes folder. A theme file that cannot be used is named on `err` and makes the result 1;
// otherwise 0.
int ListThemes(const ProfileFolderOptions& folder, std::FILE* out, std::FILE* err);
