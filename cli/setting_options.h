#pragma once
// tarvo-convert's options that each set one setting (settings/setting_table.h) over the
// profile's: -n or --line-numbers, --first-line N, --mark LIST, --mark-color RRGGBB, and the
// optional classes' --string-color RRGGBB|off and its kin.

#include "settings/setting_table.h"

#include <cstdint>
#include <string>
#include <vector>

struct SettingOption {
    const Setting* setting;
    int64_t number;   // numbers, flags and colours (a class's off as kClassOff)
    const char* text; // texts: the option's value as given
};
// In the order given: the last of one setting wins.
using SettingOptions = std::vector<SettingOption>;

enum class SettingOptionRead { NotOne, Taken, UsageError, OutOfMemory };

// Reads the option at argv[i] if it sets a setting, moving i past its value. On UsageError
// `problem` says what is wrong ("--mark-color: 'x' is not a colour (RRGGBB)").
SettingOptionRead ReadSettingOption(int argc, const char* const* argv, int& i,
                                    SettingOptions& options, std::string& problem);

// Puts the options given into `settings`. False when memory runs out.
bool ApplySettingOptions(const SettingOptions& options, ProfileSettings& settings);
