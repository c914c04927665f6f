#include "cli/source_tree.h"

#include "convert/source_text.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

bool Matches(const std::string& glob, const std::string& name, const std::string& relative) {
    const std::string& subject = glob.find('/') == std::string::npos ? name : relative;
    return ::fnmatch(glob.c_str(), subject.c_str(), 0) == 0;
}

bool AnyMatches(const std::vector<std::string>& globs, const std::string& name,
                const std::string& relative) {
    return std::any_of(globs.begin(), globs.end(),
                       [&](const std::string& g) { return Matches(g, name, relative); });
}

bool IsOutputFolder(const SourceSelection& s, const struct stat& st) {
    return S_ISDIR(st.st_mode) && st.st_dev == s.skip_device && st.st_ino == s.skip_inode;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

struct Folder {
    std::string path;
    std::string relative;
};

struct Found {
    std::string name;
    bool is_folder = false;
    uint64_t size = 0;
    bool special = false; // a FIFO, a device or a socket (or a link to one): never opened
};

// The entries of one folder worth a look, by name. False with errno when it cannot be read.
bool ReadFolder(const std::string& path, const SourceSelection& selection,
                std::vector<Found>& found) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return false;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat st;
        // Gone since it was listed: the tree changed under us, and there is nothing to convert.
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            struct stat target;
            if (::fstatat(fd, entry->d_name, &target, 0) != 0) {
                found.push_back({std::string(name), false, 0}); // fails, with its reason, when read
            } else if (S_ISREG(target.st_mode)) {
                found.push_back({std::string(name), false, uint64_t(target.st_size)});
            } else if (!S_ISDIR(target.st_mode)) {
                found.push_back({std::string(name), false, 0, true});
            }
        } else if (S_ISREG(st.st_mode)) {
            found.push_back({std::string(name), false, uint64_t(st.st_size)});
        } else if (S_ISDIR(st.st_mode)) {
            if (!IsOutputFolder(selection, st)) {
                found.push_back({std::string(name), true, 0});
            }
        } else {
            found.push_back({std::string(name), false, 0, true});
        }
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.name < b.name; });
    return true;
}

void ListFolderTree(const std::string& root, const SourceSelection& selection,
                    std::vector<SourceEntry>& sources, std::size_t& skipped) {
    std::vector<Folder> pending{{root, ""}};
    while (!pending.empty()) {
        const Folder folder = std::move(pending.back());
        pending.pop_back();
        std::vector<Found> found;
        if (!ReadFolder(folder.path, selection, found)) {
            if (errno != ENOENT || folder.relative.empty()) {
                sources.push_back({folder.path, folder.relative, 0, std::strerror(errno)});
            }
            continue;
        }
        std::vector<Folder> below;
        for (const Found& f : found) {
            const std::string relative = Join(folder.relative, f.name);
            if (f.is_folder) {
                if (!AnyMatches(selection.excludes, f.name, relative)) {
                    below.push_back({Join(folder.path, f.name), relative});
                }
            } else if (IsSelected(selection, f.name, relative)) {
                sources.push_back({Join(folder.path, f.name), relative, f.size,
                                   f.special ? "not a regular file" : ""});
            } else if (!AnyMatches(selection.excludes, f.name, relative)) {
                ++skipped;
            }
        }
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
}

// The last name of a path, trailing slashes aside.
std::string BaseName(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

bool IsSelected(const SourceSelection& selection, const std::string& name,
                const std::string& relative) {
    if (AnyMatches(selection.excludes, name, relative)) {
        return false;
    }
    if (!selection.includes.empty()) {
        return AnyMatches(selection.includes, name, relative);
    }
    return HasSourceFileEnding(name);
}

std::size_t ListSources(const std::vector<std::string>& inputs, const SourceSelection& selection,
                        std::vector<SourceEntry>& sources) {
    std::size_t skipped = 0;
    for (const std::string& input : inputs) {
        struct stat st;
        if (::stat(input.c_str(), &st) != 0) {
            sources.push_back({input, BaseName(input), 0, std::strerror(errno)});
        } else if (S_ISDIR(st.st_mode)) {
            if (!IsOutputFolder(selection, st)) {
                ListFolderTree(input, selection, sources, skipped);
            }
        } else {
            sources.push_back({input, BaseName(input), uint64_t(st.st_size), {}});
        }
    }
    return skipped;
}
