#pragma once
// Tarvo's own command-line options: where the profiles live, --help and --version. Everything
// else on the command line is left for the toolkit.

#include <cstdio>

struct TarvoOptions {
    const char* profile_dir = nullptr; // --profile-dir DIR
    bool user_profiles = false;        // --user-profiles
};

// Takes Tarvo's options out of `argv` (and `argc`), leaving the rest in order. Returns -1 when
// the program is to start, else the exit status after printing: 0 for --help and --version to
// `out`, 2 for a usage error to `err`.
int ParseTarvoOptions(int& argc, char** argv, TarvoOptions& options, std::FILE* out,
                      std::FILE* err);
