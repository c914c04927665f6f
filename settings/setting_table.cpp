#include "settings/setting_table.h"

#include "base/colour.h"
#include "base/format.h"
#include "base/memory.h"
#include "settings/marked_lines.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Each opt-in group's keys follow one another, and share their gap.
constexpr bool InGroup(const Setting& s, uint8_t id) {
    return s.written == Written::UnlessDefault && s.group.id == id;
}
constexpr bool GroupsHoldTogether() {
    for (std::size_t i = 1; i < kSettings.size(); ++i) {
        const Setting& row = kSettings[i];
        if (row.written != Written::UnlessDefault) {
            continue;
        }
        if (InGroup(kSettings[i - 1], row.group.id)) {
            if (kSettings[i - 1].group.gap != row.group.gap) {
                return false;
            }
            continue;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (InGroup(kSettings[j], row.group.id)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(GroupsHoldTogether());

// A colour number as a profile file writes it: -1 as such, else 0x and hexadecimal digits.
std::string ColourNumberText(int64_t value) {
    return value < 0 ? std::to_string(value) : tarvo::Format("0x%06llx", (unsigned long long)value);
}

ColourRule RuleOf(SettingCheck check) {
    return check == SettingCheck::ColourOrOff ? ColourRule::RRGGBBOrOff : ColourRule::RRGGBB;
}

} // namespace

int64_t NumberOf(const Setting& setting, const ProfileSettings& s) noexcept {
    return setting.kind == SettingKind::Colour ? int64_t(s.*setting.colour)
           : setting.number != nullptr         ? int64_t(s.*setting.number)
                                               : 0;
}

void SetNumber(const Setting& setting, ProfileSettings& s, int64_t value) noexcept {
    if (setting.kind == SettingKind::Colour) {
        s.*setting.colour = uint32_t(value);
    } else if (setting.number != nullptr) {
        s.*setting.number = int32_t(value);
    }
}

const char* TextOf(const Setting& setting, const ProfileSettings& s) noexcept {
    return setting.kind == SettingKind::Text   ? (s.*setting.owned).Get()
           : setting.kind == SettingKind::Name ? s.*setting.name
                                               : "";
}

bool IsDefault(const Setting& setting, const ProfileSettings& s) noexcept {
    switch (setting.kind) {
    case SettingKind::ClassColour:
        return s.*setting.number < 0;
    case SettingKind::Text:
    case SettingKind::Name:
        return std::strcmp(TextOf(setting, s), setting.text) == 0;
    case SettingKind::Keywords:
        return false;
    default:
        return NumberOf(setting, s) == setting.value;
    }
}

std::string NumberProblem(const Setting& setting, int64_t value) {
    switch (setting.check) {
    case SettingCheck::LineNumber:
        return value < 0 || value > kMaxLineNumber ? NotALineNumber(std::to_string(value))
                                                   : std::string();
    case SettingCheck::Colour:
    case SettingCheck::ColourOrOff:
        return IsColourNumber(value, RuleOf(setting.check))
                   ? std::string()
                   : NotAColour(ColourNumberText(value), RuleOf(setting.check));
    default:
        return {};
    }
}

OptionRead ReadOptionValue(const Setting& setting, std::string_view text, int64_t& number,
                           std::string& why) {
    switch (setting.check) {
    case SettingCheck::LineNumber:
        if (!ReadLineNumber(text, number)) {
            why = NotALineNumber(text);
            return OptionRead::Bad;
        }
        return OptionRead::Ok;
    case SettingCheck::Colour:
    case SettingCheck::ColourOrOff:
        if (!ReadColour(text, RuleOf(setting.check), number)) {
            why = NotAColour(text, RuleOf(setting.check));
            return OptionRead::Bad;
        }
        if (number == kColourOff) {
            number = kClassOff;
        }
        return OptionRead::Ok;
    case SettingCheck::MarkedLines: {
        std::vector<LineRange> ranges;
        switch (ParseMarkedLines(text, ranges, &why)) {
        case MarkedLinesParse::Ok:
            return OptionRead::Ok;
        case MarkedLinesParse::Malformed:
            return OptionRead::Bad;
        case MarkedLinesParse::OutOfMemory:
            break;
        }
        return OptionRead::OutOfMemory;
    }
    case SettingCheck::None:
        break;
    }
    return OptionRead::Ok;
}

bool SetOptionValue(const Setting& setting, ProfileSettings& s, int64_t number, const char* text) {
    switch (setting.kind) {
    case SettingKind::Text:
        return (s.*setting.owned).Set(text) != 0;
    case SettingKind::Name:
        std::snprintf(s.*setting.name, sizeof(ThemeNameField), "%s", text);
        return true;
    case SettingKind::Keywords:
        return s.SetKeywords(text) != 0;
    default:
        SetNumber(setting, s, number);
        return true;
    }
}

const Setting* SettingOfOption(std::string_view option) noexcept {
    for (const Setting& setting : kSettings) {
        if ((setting.option != nullptr && option == setting.option) ||
            (setting.short_option != nullptr && option == setting.short_option)) {
            return &setting;
        }
    }
    return nullptr;
}

bool CopySettings(const ProfileSettings& from, ProfileSettings& to) {
    for (const Setting& setting : kSettings) {
        switch (setting.kind) {
        case SettingKind::Text:
            if ((to.*setting.owned).Set((from.*setting.owned).Get()) == 0) {
                return false;
            }
            break;
        case SettingKind::Name:
            std::memcpy(to.*setting.name, from.*setting.name, sizeof(ThemeNameField));
            break;
        case SettingKind::Keywords:
            to.ClearKeywords();
            for (int32_t i = 0; i < from.KeywordCount(); ++i) {
                char* keyword =
                    tarvo::DuplicateString(from.Keyword(i), std::strlen(from.Keyword(i)));
                if (keyword == nullptr || !to.p_s_keyword.Add(keyword)) {
                    std::free(keyword);
                    return false;
                }
            }
            break;
        default:
            SetNumber(setting, to, NumberOf(setting, from));
            break;
        }
    }
    return true;
}
