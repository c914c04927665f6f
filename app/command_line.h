#pragma once
// Tarvo's own command-line options: where the profiles live, --help and --version. The toolkit's
// own options are left on the command line for it; anything else is a usage error.

#include "profiles/folder_options.h"

#include <cstdio>

struct TarvoOptions {
    ProfileFolderOptions folder; // --profile-dir DIR, --user-profiles
};

// Takes Tarvo's options out of `argv` (and `argc`), leaving the toolkit's in order. Returns -1
// when the program is to start, else the exit status after printing: 0 for --help and --version
// to `out`, 2 for a usage error (an unknown option or an argument Tarvo takes none of) to `err`,
// with the help text.
int ParseTarvoOptions(int& argc, char** argv, TarvoOptions& options, std::FILE* out,
                      std::FILE* err);
