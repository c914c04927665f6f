#include "profiles/profile_file.h"

#include "base/format.h"
#include "base/memory.h"
#include "config/config_file.h"
#include "profiles/config_text.h"
#include "settings/setting_table.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void AppendQuoted(std::string& out, const char* value) {
    out += '"';
    AppendStringLiteralBody(out, value);
    out += '"';
}

// "%d" of `value`.
void AppendDecimal(std::string& text, int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end);
}

// One key as a profile file holds it.
void AppendKey(std::string& text, const Setting& setting, const ProfileSettings& s) {
    switch (setting.kind) {
    case SettingKind::Number:
    case SettingKind::Flag:
        text.append(setting.key).append(" = ");
        AppendDecimal(text, int32_t(NumberOf(setting, s)));
        text += ";\n";
        break;
    case SettingKind::Colour:
    case SettingKind::ClassColour:
        text.append(setting.key).append(" = ");
        tarvo::AppendFormat(text, "0x%06x;\n", unsigned(NumberOf(setting, s)));
        break;
    case SettingKind::Text:
    case SettingKind::Name:
        text.append(setting.key).append(" = ");
        AppendQuoted(text, TextOf(setting, s));
        text += ";\n";
        break;
    case SettingKind::Keywords:
        text.append(kKeywordCountKey).append(" = ");
        AppendDecimal(text, s.KeywordCount());
        text += ";\n";
        for (int32_t i = 0; i < s.KeywordCount(); ++i) {
            text.append(setting.key) += '[';
            AppendDecimal(text, i);
            text += "] = ";
            AppendQuoted(text, s.Keyword(i));
            text += ";\n";
        }
        break;
    }
}

// Integers read from one file, with what cannot be used as it stands.
class IntReader {
public:
    IntReader(const ConfigFile& config, std::vector<std::string>* problems)
        : m_config(config), m_problems(problems) {}

    ConfigResult Get(const char* key, int32_t& value) const {
        const char* inexact = nullptr;
        const ConfigResult read = m_config.GetInt(key, value, inexact);
        if (read == CFG_OK && inexact != nullptr) {
            // Appended piece by piece: GCC 12 warns wrongly about "'" + std::string.
            const std::string_view text = inexact;
            std::string why(1, '\'');
            why.append(text);
            if (text.find_first_not_of("-0x") == text.npos) {
                why.append("' has no digits after 0x (read as 0)");
            } else {
                why.append("' is beyond 32 bits (read as ")
                    .append(std::to_string(value))
                    .append(")");
            }
            Name(key, why);
        }
        return read;
    }
    void Name(const char* key, const std::string& why) const {
        if (m_problems != nullptr) {
            m_problems->push_back(std::string(key) + ": " + why);
        }
    }
    const ConfigFile& config() const { return m_config; }

private:
    const ConfigFile& m_config;
    std::vector<std::string>* m_problems;
};

bool Has(const ConfigFile& config, const char* key) {
    int32_t index = 0;
    return config.FindValue(key, index) == CFG_OK;
}

// The key of a number, a class colour or the keyword list. False when it is missing where it
// must be there, holds a value of the wrong kind, or memory runs out.
bool ReadNumberKey(const IntReader& ints, const Setting& setting, ProfileSettings& s) {
    const ConfigFile& config = ints.config();
    switch (setting.kind) {
    case SettingKind::Text:
    case SettingKind::Name:
        return true;
    case SettingKind::ClassColour: {
        // A class without its key is off; a key that holds no number fails the load. Checked
        // here, since the value decides whether the class is on.
        int32_t colour = kClassOff;
        const ConfigResult read = ints.Get(setting.key, colour);
        if (read != CFG_OK && read != CFG_NOT_FOUND) {
            return false;
        }
        if (const std::string why = NumberProblem(setting, colour); !why.empty()) {
            ints.Name(setting.key, why);
        }
        s.*setting.number = read == CFG_OK && colour >= 0 ? colour : kClassOff;
        return true;
    }
    case SettingKind::Keywords: {
        s.SetKeywords(nullptr);
        int32_t count = 0;
        if (ints.Get(kKeywordCountKey, count) != CFG_OK) {
            return false;
        }
        // The keys' names: the list's key and the index in brackets.
        char key[64];
        const std::size_t prefix = std::strlen(setting.key);
        std::memcpy(key, setting.key, prefix);
        key[prefix] = '[';
        for (int32_t i = 0; i < count; ++i) {
            char* end = std::to_chars(key + prefix + 1, key + sizeof key - 2, i).ptr;
            *end++ = ']';
            *end = '\0';
            char* keyword = nullptr;
            if (ReadStringSetting(config, key, keyword) != StringRead::Ok) {
                return false;
            }
            if (!s.p_s_keyword.Add(keyword)) {
                std::free(keyword);
                return false;
            }
        }
        return true;
    }
    default:
        break;
    }
    if (setting.written == Written::UnlessDefault && !Has(config, setting.key)) {
        SetNumber(setting, s, setting.value);
        return true;
    }
    // Colours are unsigned 0xRRGGBB values; the reader delivers their 32 bits signed.
    int32_t value = 0;
    if (ints.Get(setting.key, value) != CFG_OK) {
        return false;
    }
    SetNumber(setting, s, value);
    return true;
}

// The key of a text or a name where the file has it, "" where not. False when it holds no
// string, or memory runs out.
bool ReadTextKey(const IntReader& ints, const Setting& setting, ProfileSettings& s) {
    char* value = nullptr;
    if (Has(ints.config(), setting.key) &&
        ReadStringSetting(ints.config(), setting.key, value) != StringRead::Ok) {
        return false;
    }
    const bool set = SetOptionValue(setting, s, 0, value != nullptr ? value : "");
    std::free(value);
    int64_t unused = 0;
    std::string why;
    if (set && ReadOptionValue(setting, TextOf(setting, s), unused, why) == OptionRead::Bad) {
        ints.Name(setting.key, why);
    }
    return set;
}

} // namespace

std::string ProfileFileText(const ProfileSettings& s, const char* name) {
    std::string quoted_path;
    AppendQuoted(quoted_path, name);
    std::string text;
    tarvo::AppendFormat(text, "// profile config v1.00\n// profile_file %s\n//\n//\n\n",
                        quoted_path.c_str());
    for (std::size_t i = 0; i < kSettings.size();) {
        const Setting& setting = kSettings[i];
        if (setting.written != Written::UnlessDefault) {
            AppendKey(text, setting, s);
            if (setting.written == Written::AlwaysThenBlankLine) {
                text += '\n';
            }
            ++i;
            continue;
        }
        // An opt-in group: its keys that are not at their defaults, set off by an empty line.
        std::size_t end = i;
        bool any = false;
        for (; end < kSettings.size() && kSettings[end].written == Written::UnlessDefault &&
               kSettings[end].group.id == setting.group.id;
             ++end) {
            any = any || !IsDefault(kSettings[end], s);
        }
        if (any && setting.group.gap == Gap::Before) {
            text += '\n';
        }
        for (; i < end; ++i) {
            if (!IsDefault(kSettings[i], s)) {
                AppendKey(text, kSettings[i], s);
            }
        }
        if (any && setting.group.gap == Gap::After) {
            text += '\n';
        }
    }
    tarvo::AppendFormat(text, "\n\n// profile_file %s end\n", quoted_path.c_str());
    return text;
}

int WriteProfileFile(Disk& disk, const char* path, const char* name,
                     const ProfileSettings& settings) {
    if (path == nullptr || name == nullptr) {
        errno = ENOENT;
        return 0;
    }
    return disk.WriteWhole(path, ProfileFileText(settings, name));
}

int WriteProfileFile(const char* path, const ProfileSettings& settings) {
    return WriteProfileFile(RealDisk(), path, path, settings);
}

int ReadProfileFile(const char* path, ProfileSettings& settings) {
    return ReadProfileFile(RealDisk(), path, settings);
}

int ReadProfileFile(Disk& disk, const char* path, ProfileSettings& s,
                    std::vector<std::string>* problems) {
    if (problems != nullptr) {
        problems->clear();
    }
    std::FILE* file = path == nullptr ? nullptr : disk.OpenRead(path, nullptr);
    if (file == nullptr) {
        return 0;
    }
    ConfigFile config;
    const ConfigResult opened = config.Open(file);
    std::fclose(file);
    if (opened != CFG_OK) {
        return 0;
    }

    // Numbers first, each class checked as it is read; then the other numbers' checks; then the
    // texts: the order in which their problems are named.
    const IntReader ints(config, problems);
    for (const Setting& setting : kSettings) {
        if (!ReadNumberKey(ints, setting, s)) {
            return 0;
        }
    }
    for (const Setting& setting : kSettings) {
        if (setting.kind == SettingKind::Number || setting.kind == SettingKind::Flag ||
            setting.kind == SettingKind::Colour) {
            if (const std::string why = NumberProblem(setting, NumberOf(setting, s));
                !why.empty()) {
                ints.Name(setting.key, why);
            }
        }
    }
    for (const Setting& setting : kSettings) {
        if ((setting.kind == SettingKind::Text || setting.kind == SettingKind::Name) &&
            !ReadTextKey(ints, setting, s)) {
            return 0;
        }
    }
    config.Release();
    return 1;
}
