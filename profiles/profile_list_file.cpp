#include "profiles/profile_list_file.h"

#include "base/format.h"
#include "base/memory.h"
#include "config/config_file.h"
#include "profiles/config_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

std::string ListText(int32_t count, int32_t default_profile, const ProfileList* list) {
    std::string text = kProfileListHeading;
    tarvo::AppendFormat(
        text,
        "\n//\n// here profile name/file settings are stored\n//\n\nn_profile_num = "
        "%d;\nn_default_profile = %d;\n",
        int(count), int(default_profile));
    for (int32_t i = 0; list != nullptr && i < count; ++i) {
        const ProfileEntry& e = *list->GetAt(i);
        tarvo::AppendFormat(text, "p_profile_name[%d].p_s_name = \"", int(i));
        AppendStringLiteralBody(text, e.p_s_name != nullptr ? e.p_s_name : "");
        tarvo::AppendFormat(text, "\";\np_profile_name[%d].p_s_file_name = \"", int(i));
        AppendStringLiteralBody(text, e.p_s_file_name != nullptr ? e.p_s_file_name : "");
        text += "\";\n";
    }
    text += "\n// end of file";
    return text;
}

} // namespace

std::string ProfileListText(const ProfileList& list) {
    return ListText(list.GetCount(), list.n_default_profile, &list);
}

int WriteProfileListFile(Disk& disk, const char* path, const ProfileList& list) {
    return disk.WriteWhole(path, ProfileListText(list));
}

int WriteProfileListFile(const char* path, const ProfileList& list) {
    return WriteProfileListFile(RealDisk(), path, list);
}

ProfileListRead ReadProfileListFile(const char* path, ProfileList& list, WhenMissing missing) {
    return ReadProfileListFile(RealDisk(), path, list, missing);
}

ProfileListRead ReadProfileListFile(Disk& disk, const char* path, ProfileList& list,
                                    WhenMissing missing, FileStamp* stamp) {
    list.n_default_profile = 0;
    list.RemoveAll();
    FileStamp seen;
    std::FILE* file = disk.OpenRead(path, &seen);
    if (file == nullptr) {
        const int error = errno;
        if (stamp != nullptr) {
            *stamp = disk.Stamp(path);
        }
        // Only a file that is not there is made anew; one that cannot be opened is kept. A
        // dangling link is not there: writing follows it and creates the file it names.
        if (error != ENOENT && error != ENOTDIR) {
            return ProfileListRead::ErrorInFile;
        }
        if (missing == WhenMissing::Leave) {
            return ProfileListRead::Missing;
        }
        if (!disk.WriteWhole(path, ListText(0, -1, nullptr))) {
            return ProfileListRead::Missing;
        }
        if (stamp != nullptr) {
            *stamp = disk.Stamp(path);
        }
        return ProfileListRead::Created;
    }
    if (stamp != nullptr) {
        *stamp = seen;
    }
    ConfigFile config;
    const ConfigResult opened = config.Open(file);
    const bool read_error = std::ferror(file) != 0;
    std::fclose(file);
    if (opened != CFG_OK || read_error) {
        return ProfileListRead::ErrorInFile;
    }
    int32_t count = 0;
    if (config.GetInt("n_profile_num", count) != CFG_OK) {
        return ProfileListRead::ErrorInFile;
    }
    for (int32_t i = 0; i < count; ++i) {
        char key[64];
        char* name = nullptr;
        char* file_name = nullptr;
        std::snprintf(key, sizeof key, "p_profile_name[%d].p_s_name", int(i));
        StringRead got = ReadStringSetting(config, key, name);
        if (got == StringRead::Ok) {
            std::snprintf(key, sizeof key, "p_profile_name[%d].p_s_file_name", int(i));
            got = ReadStringSetting(config, key, file_name);
        }
        if (got == StringRead::Ok && !list.Add(name, file_name)) {
            got = StringRead::OutOfMemory;
        }
        if (got != StringRead::Ok) {
            std::free(name);
            std::free(file_name);
            return got == StringRead::OutOfMemory ? ProfileListRead::OutOfMemory
                                                  : ProfileListRead::ErrorInFile;
        }
    }
    if (list.GetCount() > 0) {
        int32_t default_profile = 0;
        if (config.GetInt("n_default_profile", default_profile) != CFG_OK) {
            return ProfileListRead::ErrorInFile;
        }
        list.n_default_profile = default_profile;
    }
    return ProfileListRead::Read;
}
