#include "profiles/theme_files.h"

#include "themes/builtin_themes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

namespace {

ThemeFileRead Read(Disk& disk, const char* path, const char* label, const char* expected_name,
                   Theme& theme, std::string& problems) {
    std::FILE* file = disk.OpenRead(path, nullptr);
    if (file == nullptr) {
        const int error = errno;
        if (error == ENOENT && expected_name != nullptr) {
            problems += std::string("Unknown theme '") + expected_name + "'\n";
            return ThemeFileRead::Missing;
        }
        problems += std::string("Theme file '") + label + "': " +
                    (error == ENODEV  ? "not a regular file"
                     : error == EFBIG ? "too large for a theme file"
                                      : std::strerror(error)) +
                    "\n";
        return error == ENOENT ? ThemeFileRead::Missing : ThemeFileRead::Bad;
    }
    const ThemeFileRead read = ReadThemeFile(file, label, expected_name, theme, problems);
    std::fclose(file);
    return read;
}

} // namespace

std::string ThemeFilePath(const ProfileFolder& folder, std::string_view name) {
    const std::string file = ThemeFileName(name);
    if (file.empty()) {
        return "";
    }
    return InProfileFolder(InProfileFolder(folder.path, kThemeFolderName), file.c_str());
}

ThemeFileRead ReadThemeFileAt(Disk& disk, const char* path, Theme& theme,
                              std::string& problems) noexcept {
    try {
        return Read(disk, path, path, nullptr, theme, problems);
    } catch (const std::exception&) {
        return ThemeFileRead::OutOfMemory;
    }
}

ThemeFileRead FindTheme(const ProfileFolder& folder, const char* name, Theme& theme,
                        std::string& problems) noexcept {
    try {
        if (const Theme* built_in = name != nullptr ? FindBuiltInTheme(name) : nullptr;
            built_in != nullptr) {
            theme = *built_in;
            return ThemeFileRead::Ok;
        }
        const std::string path = ThemeFilePath(folder, name != nullptr ? name : "");
        if (path.empty()) {
            problems += std::string("Unknown theme '") + (name != nullptr ? name : "") + "'\n";
            return ThemeFileRead::Missing;
        }
        return Read(*folder.disk, path.c_str(), path.c_str(), name, theme, problems);
    } catch (const std::exception&) {
        return ThemeFileRead::OutOfMemory;
    }
}

std::vector<std::string> ThemeFileNames(const ProfileFolder& folder) {
    std::vector<std::string> names;
    if (folder.disk != &RealDisk()) {
        return names;
    }
    const std::string dir = InProfileFolder(folder.path, kThemeFolderName);
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, error), end;
         !error && it != end; it.increment(error)) {
        const std::string file = it->path().filename().string();
        constexpr std::string_view kSuffix = ".theme";
        if (!file.ends_with(kSuffix)) {
            continue;
        }
        std::string name = file.substr(0, file.size() - kSuffix.size());
        if (IsThemeName(name) && FindBuiltInTheme(name) == nullptr) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}
