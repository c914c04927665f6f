#include "profiles/folder_options.h"

#include <string_view>

FolderOption TakeProfileFolderOption(int argc, const char* const* argv, int& i,
                                     ProfileFolderOptions& options) {
    const std::string_view arg = argv[i];
    if (arg == "--user-profiles") {
        options.user = true;
        return FolderOption::Taken;
    }
    if (arg != "--profile-dir") {
        return FolderOption::NotOne;
    }
    if (i + 1 >= argc) {
        return FolderOption::MissingValue;
    }
    options.dir = argv[++i];
    return FolderOption::Taken;
}

const char* ProfileFolderOptionsProblem(const ProfileFolderOptions& options) {
    return options.dir != nullptr && options.user
               ? "--profile-dir and --user-profiles exclude each other"
               : nullptr;
}
