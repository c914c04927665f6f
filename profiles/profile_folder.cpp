#include "profiles/profile_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

// Makes `path` and its missing parents with mode 0700.
bool MakeFolders(const std::string& path, std::string& error) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return true;
}

bool IsFolder(const std::string& path, std::string& error) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = path + ": " + std::strerror(ENOTDIR);
        return false;
    }
    return true;
}

} // namespace

bool ResolveProfileFolder(const char* dir, bool user, std::string& folder, std::string& error) {
    folder.clear();
    if (dir != nullptr) {
        if (dir[0] == '\0') {
            error = "the profile folder name is empty";
            return false;
        }
        folder = dir;
        return IsFolder(folder, error);
    }
    if (!user) {
        return true;
    }
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the desktop's rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base = config != nullptr && config[0] == '/' ? config : HomeFolder() + "/.config";
    if (base.empty() || base[0] != '/') {
        error = "cannot find the home folder for the user's profiles";
        return false;
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    folder = base + "/tarvo";
    return MakeFolders(folder, error) && IsFolder(folder, error);
}

bool IsBareFileName(const char* name) {
    return name != nullptr && IsBareName(name);
}

std::string InProfileFolder(const std::string& folder, const char* name) {
    if (!IsBareFileName(name)) {
        return "";
    }
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}
