#pragma once
// The sources that a batch run converts: the files named on the command line and the files
// under the folders named there.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SourceEntry {
    std::string path;     // to open: the argument, joined with the names below it
    std::string relative; // below its folder; a file argument's own name
    uint64_t size = 0;    // as listed; the run reads what is there then
    std::string problem;  // why it cannot be listed; empty when it can
};

struct SourceSelection {
    std::vector<std::string> includes; // globs; none: the C and C++ file name endings
    std::vector<std::string> excludes; // globs, for files and folders alike
    // The output folder, never read as input.
    dev_t skip_device = 0;
    ino_t skip_inode = 0;
};

// Whether a file found in a folder is converted. A glob without "/" is matched against the name,
// one with "/" against the path below the folder.
bool IsSelected(const SourceSelection& selection, const std::string& name,
                const std::string& relative);

// Appends the sources of `inputs` in order: a file argument itself, whatever its name; below a
// folder argument, the selected files (and links to them), names in byte order, folders after
// the files of their parent. A FIFO, a device or a socket is listed with the problem "not a
// regular file", never opened. Links to folders are not followed, so a tree holding a link loop
// is listed once; a link that cannot be followed is listed and fails when read. Arguments
// and folders that cannot be read are listed with their problem. Returns the number of files
// below the folders passed over for their name: not C or C++ by name, or not matched by an
// include glob (the ones an exclude glob matches are not counted).
std::size_t ListSources(const std::vector<std::string>& inputs, const SourceSelection& selection,
                        std::vector<SourceEntry>& sources);
