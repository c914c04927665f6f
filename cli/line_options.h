#pragma once
// tarvo-convert's options for line numbers and marked lines, which override the profile's.

#include "settings/profile_settings.h"

#include <cstdint>
#include <string>

struct LineOptions {
    bool line_numbers = false;
    int64_t first_line = -1; // -1: the profile's
    const char* mark = nullptr;
    int64_t mark_color = -1; // -1: the profile's
};

enum class LineOptionRead { NotOne, Taken, UsageError, OutOfMemory };

// Reads the option at argv[i] if it is one of -n, --line-numbers, --first-line N, --mark LIST
// and --mark-color RRGGBB, moving i past its value. On UsageError `problem` says what is wrong.
LineOptionRead ReadLineOption(int argc, const char* const* argv, int& i, LineOptions& options,
                              std::string& problem);

// Puts the options given into `settings`. False when memory runs out.
bool ApplyLineOptions(const LineOptions& options, ProfileSettings& settings);
