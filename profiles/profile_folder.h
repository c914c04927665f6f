#pragma once
// Where profiles.ini and the profile files live: the current directory (as always), a folder
// given on the command line, or the user's own configuration folder.

#include "files/disk.h"

#include <string>

// The folder for `--profile-dir dir` (when `dir` is not null) or `--user-profiles` (when `user`
// is set), "" for the current directory when neither. The user's folder is
// ${XDG_CONFIG_HOME:-$HOME/.config}/tarvo, made with mode 0700 (and any missing parent with the
// same) when it is not there; a given folder must exist. Returns false with a sentence for the
// user in `error` when the folder cannot be had.
bool ResolveProfileFolder(const char* dir, bool user, std::string& folder, std::string& error);

// Whether `name` names a file in the profile folder itself: not empty, not "." or "..", and
// without "/". A profile entry with any other file name is never opened, read or written, so that
// a profiles.ini from elsewhere cannot lead Save to another file.
bool IsBareFileName(const char* name);

// The path of `name`, as profiles.ini lists it, inside `folder` ("" is the current directory);
// "", which nothing opens, when `name` is not a bare file name.
std::string InProfileFolder(const std::string& folder, const char* name);

// One profile folder on one disk: where profiles.ini and the profile files are.
struct ProfileFolder {
    Disk* disk = &RealDisk();
    std::string path; // "" for the current directory

    // The path of `name`, as profiles.ini lists it.
    std::string PathOf(const char* name) const { return InProfileFolder(path, name); }
};
