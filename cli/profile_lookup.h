#pragma once
// tarvo-convert --profile NAME: the profile file that profiles.ini names, as the dialog finds it.

#include <string>

// Finds the file of the profile `name` (case ignored) in the profile folder: `profile_dir` when
// given, the user's own with `user_profiles`, else the current directory. Returns true with
// `path` set, or false with `error` holding the message to show ("Can't find profile !",
// "Error in main ini file !", "Not enough memory" or the folder's problem).
bool FindProfileFile(const char* name, const char* profile_dir, bool user_profiles,
                     std::string& path, std::string& error);
