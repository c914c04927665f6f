#pragma once
// The text of a profile file, and its writing and reading on a disk. ProfileSettings's own
// WriteProfileFile and ReadProfileFile (declared with the settings record) do the same on the
// real disk, with the path as the name.

#include "convert/profile_settings.h"
#include "files/disk.h"

#include <string>
#include <vector>

// The whole text that is written for `settings` as the file `name`.
std::string ProfileFileText(const ProfileSettings& settings, const char* name);

// Writes `settings` to `path` on `disk`, naming the file `name` in its two comment lines: the
// name that profiles.ini lists, also when the file lies in another folder. Returns 1, or 0 (errno
// set) with the old file kept.
int WriteProfileFile(Disk& disk, const char* path, const char* name,
                     const ProfileSettings& settings);

// Fills `settings` from the profile file `path` on `disk`. Returns 1 when every value was read;
// on 0 the record holds a mixture of old and new values.
//
// A value that is read but cannot be used as it stands, is kept in the record as read and, with
// `problems`, named there (and nothing else) as "key: why" (the why naming the value): an integer
// that is not what its text says ("0x" without digits, read as 0; digits beyond 32 bits), and among
// the opt-in keys a first line or marked-lines list outside the line numbers (from 0 to 999999999),
// or a class or mark colour that is no 0xRRGGBB (a class also takes -1, off).
int ReadProfileFile(Disk& disk, const char* path, ProfileSettings& settings,
                    std::vector<std::string>* problems = nullptr);
