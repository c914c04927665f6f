#include "cli/setting_options.h"

#include <string_view>

SettingOptionRead ReadSettingOption(int argc, const char* const* argv, int& i,
                                    SettingOptions& options, std::string& problem) {
    const std::string_view arg = argv[i];
    const Setting* setting = SettingOfOption(arg);
    if (setting == nullptr) {
        return SettingOptionRead::NotOne;
    }
    if (setting->kind == SettingKind::Flag) {
        options.push_back({setting, 1, nullptr});
        return SettingOptionRead::Taken;
    }
    if (i + 1 >= argc) {
        problem = setting->check == SettingCheck::ColourOrOff ? "missing colour (RRGGBB or off)"
                                                              : "missing value";
        problem.append(" after '").append(arg).append("'");
        return SettingOptionRead::UsageError;
    }
    const char* value = argv[++i];
    int64_t number = 0;
    std::string why;
    switch (ReadOptionValue(*setting, value, number, why)) {
    case OptionRead::Ok:
        options.push_back({setting, number, value});
        return SettingOptionRead::Taken;
    case OptionRead::Bad:
        problem.assign(arg).append(": ").append(why);
        return SettingOptionRead::UsageError;
    case OptionRead::OutOfMemory:
        break;
    }
    return SettingOptionRead::OutOfMemory;
}

bool ApplySettingOptions(const SettingOptions& options, ProfileSettings& settings) {
    for (const SettingOption& option : options) {
        if (!SetOptionValue(*option.setting, settings, option.number, option.text)) {
            return false;
        }
    }
    return true;
}
