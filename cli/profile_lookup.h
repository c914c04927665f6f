#pragma once
// tarvo-convert --profile NAME: the profile file that profiles.ini names, as the dialog finds it.

#include "convert/profile_settings.h"

#include <string>
#include <vector>

// Finds the file of the profile `name` (case ignored) in the profile folder: `profile_dir` when
// given, the user's own with `user_profiles`, else the current directory. Returns true with
// `path` set, or false with `error` holding the message to show ("Can't find profile !",
// "Error in main ini file !", "Not enough memory" or the folder's problem).
bool FindProfileFile(const char* name, const char* profile_dir, bool user_profiles,
                     std::string& path, std::string& error);

// Reads the profile file `path` into `settings` for a conversion. True; or false with `errors`
// holding the lines to show: "Error loading profile !", or one line for each value that cannot
// be used ("PATH: key: why"), since a conversion without it would go by unseen.
bool ReadProfileForConversion(const std::string& path, ProfileSettings& settings,
                              std::vector<std::string>& errors);
