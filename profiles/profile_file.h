#pragma once
// The text of a profile file, and its writing and reading on a disk. ProfileSettings's own
// WriteProfileFile and ReadProfileFile (declared with the settings record) do the same on the
// real disk, with the path as the name.

#include "files/disk.h"
#include "settings/profile_settings.h"

#include <string>

// The whole text that is written for `settings` as the file `name`.
std::string ProfileFileText(const ProfileSettings& settings, const char* name);

// Writes `settings` to `path` on `disk`, naming the file `name` in its two comment lines: the
// name that profiles.ini lists, also when the file lies in another folder. Returns 1, or 0 (errno
// set) with the old file kept.
int WriteProfileFile(Disk& disk, const char* path, const char* name,
                     const ProfileSettings& settings);

// Fills `settings` from the profile file `path` on `disk`. Returns 1 when every value was read;
// on 0 the record holds a mixture of old and new values.
int ReadProfileFile(Disk& disk, const char* path, ProfileSettings& settings);
