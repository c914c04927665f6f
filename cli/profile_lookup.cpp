#include "cli/profile_lookup.h"

#include "profiles/profile_file.h"
#include "profiles/profile_folder.h"
#include "profiles/profile_list_file.h"

bool FindProfileFile(const char* name, const char* profile_dir, bool user_profiles,
                     std::string& path, std::string& error) {
    std::string folder;
    if (!ResolveProfileFolder(profile_dir, user_profiles, folder, error)) {
        return false;
    }
    ProfileList list;
    const std::string list_path = InProfileFolder(folder, kProfileListFileName);
    switch (ReadProfileListFile(list_path.c_str(), list, WhenMissing::Leave)) {
    case ProfileListRead::Read:
        break;
    case ProfileListRead::Created:
    case ProfileListRead::Missing:
        error = "Can't find profile !";
        return false;
    case ProfileListRead::ErrorInFile:
        error = "Error in main ini file !";
        return false;
    case ProfileListRead::OutOfMemory:
        error = "Not enough memory";
        return false;
    }
    const ProfileEntry* entry = list.GetAt(list.FindByName(name));
    if (entry == nullptr) {
        error = "Can't find profile !";
        return false;
    }
    path = InProfileFolder(folder, entry->p_s_file_name);
    return true;
}

bool ReadProfileForConversion(const std::string& path, ProfileSettings& settings,
                              std::vector<std::string>& errors) {
    std::vector<std::string> problems;
    if (!ReadProfileFile(RealDisk(), path.c_str(), settings, &problems)) {
        errors.assign(1, "Error loading profile !");
        return false;
    }
    errors.clear();
    for (const std::string& problem : problems) {
        errors.push_back(path + ": " + problem);
    }
    return errors.empty();
}
