#pragma once
// The text of a profile file. ProfileSettings::WriteProfileFile and ReadProfileFile (declared
// with the settings record) write and read it.

#include "convert/profile_settings.h"

#include <string>

// The whole text that WriteProfileFile writes for `settings` under `path`.
std::string ProfileFileText(const ProfileSettings& settings, const char* path);
