#pragma once
// The command-line options with which both programs name the profile folder, read by one
// parser: --profile-dir DIR and --user-profiles.

struct ProfileFolderOptions {
    const char* dir = nullptr; // --profile-dir DIR
    bool user = false;         // --user-profiles
};

enum class FolderOption {
    NotOne,       // argv[i] is no profile folder option
    Taken,        // taken, with its value; `i` indexes the last argument taken
    MissingValue, // --profile-dir ends the command line
};

// Takes argv[i] into `options` when it is one of the profile folder options.
FolderOption TakeProfileFolderOption(int argc, const char* const* argv, int& i,
                                     ProfileFolderOptions& options);

// The usage problem of what was taken, for "PROGRAM: PROBLEM"; null when there is none.
const char* ProfileFolderOptionsProblem(const ProfileFolderOptions& options);

// The problem to report for FolderOption::MissingValue.
inline constexpr const char* kMissingProfileFolder = "missing folder after '--profile-dir'";
