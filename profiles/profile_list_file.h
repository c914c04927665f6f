#pragma once
// profiles.ini: the list of profiles and the default one, beside the profile files.

#include "files/disk.h"
#include "profiles/profile_list.h"

#include <string>

inline constexpr const char* kProfileListFileName = "profiles.ini";

// The first line of profiles.ini; readers ignore it.
inline constexpr const char* kProfileListHeading = "// Tarvo by Kesmund: the list of profiles";

enum class ProfileListRead {
    Read,        // the list holds the file's entries
    Created,     // there was no file: the default one was written, the list is empty
    Missing,     // there was no file and none was written, the list is empty
    ErrorInFile, // the file exists but cannot be read, or breaks the syntax, or lacks a key
    OutOfMemory,
};

enum class WhenMissing {
    Create, // write the default text, as at the program's start
    Leave,  // for readers that must not write anything
};

// Reads the list file at `path` on `disk` into `list`, from scratch: n_default_profile starts at
// 0 and the list empty. After ErrorInFile or OutOfMemory the entries read before the failing one
// stay in the list and n_default_profile is 0. n_default_profile is read only when the list is
// not empty. An existing file is never written here, however broken it is. `stamp`, when given,
// receives the version of the file that was read (or created, or found missing).
ProfileListRead ReadProfileListFile(Disk& disk, const char* path, ProfileList& list,
                                    WhenMissing missing, FileStamp* stamp = nullptr);
// The same on the real disk.
ProfileListRead ReadProfileListFile(const char* path, ProfileList& list, WhenMissing missing);

// The text of the list file for `list`, with its count and n_default_profile as they are.
std::string ProfileListText(const ProfileList& list);

// Writes `list` to `path` on `disk` whole, or leaves the old file as it was and returns 0.
int WriteProfileListFile(Disk& disk, const char* path, const ProfileList& list);
// The same on the real disk.
int WriteProfileListFile(const char* path, const ProfileList& list);
