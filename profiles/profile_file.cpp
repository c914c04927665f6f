#include "profiles/profile_file.h"

#include "base/colour.h"
#include "base/format.h"
#include "base/memory.h"
#include "config/config_file.h"
#include "profiles/config_text.h"
#include "settings/marked_lines.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

void AppendQuoted(std::string& out, const char* value) {
    out += '"';
    AppendStringLiteralBody(out, value);
    out += '"';
}

// The line-number keys, each only when it differs from its default, so that a profile without
// line numbers and marks keeps the text it always had.
void AppendLineKeys(std::string& text, const ProfileSettings& s) {
    const bool any = s.b_line_numbers != 0 || s.n_first_line != 1 || *s.MarkedLines() != '\0' ||
                     s.n_mark_color != kDefaultMarkColor;
    if (!any) {
        return;
    }
    text += '\n';
    if (s.b_line_numbers != 0) {
        tarvo::AppendFormat(text, "b_line_numbers = %d;\n", int(s.b_line_numbers));
    }
    if (s.n_first_line != 1) {
        tarvo::AppendFormat(text, "n_first_line = %d;\n", int(s.n_first_line));
    }
    if (*s.MarkedLines() != '\0') {
        text += "p_s_marked_lines = ";
        AppendQuoted(text, s.MarkedLines());
        text += ";\n";
    }
    if (s.n_mark_color != kDefaultMarkColor) {
        tarvo::AppendFormat(text, "n_mark_color = 0x%06x;\n", unsigned(s.n_mark_color));
    }
}

// The theme keys, each only when set, so that a profile without themes keeps its text.
void AppendThemeKeys(std::string& text, const ProfileSettings& s) {
    if (*s.p_s_theme == '\0' && *s.p_s_dark_theme == '\0') {
        return;
    }
    text += '\n';
    for (const auto& [key, value] :
         {std::pair{"p_s_theme", s.p_s_theme}, std::pair{"p_s_dark_theme", s.p_s_dark_theme}}) {
        if (*value != '\0') {
            text.append(key).append(" = ");
            AppendQuoted(text, value);
            text += ";\n";
        }
    }
}

// A theme key where the file has it, "" where not; its name is looked up where it is used.
bool ReadThemeKey(const ConfigFile& config, const char* key, char (&field)[kThemeNameField + 1]) {
    int32_t index = 0;
    field[0] = '\0';
    if (config.FindValue(key, index) != CFG_OK) {
        return true;
    }
    char* value = nullptr;
    if (ReadStringSetting(config, key, value) != StringRead::Ok) {
        return false;
    }
    std::snprintf(field, sizeof field, "%s", value);
    std::free(value);
    return true;
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

// A profile's colour number as its file writes it.
std::string ColourNumberText(int64_t value) {
    return value < 0 ? std::to_string(value) : tarvo::Format("0x%06llx", (unsigned long long)value);
}

// The line-number keys where the file has them, their defaults where not. False when one is
// there with a value of the wrong kind, or memory runs out.
bool ReadLineKeys(const IntReader& ints, ProfileSettings& s) {
    const ConfigFile& config = ints.config();
    int32_t index = 0;
    const auto has = [&](const char* key) { return config.FindValue(key, index) == CFG_OK; };
    s.b_line_numbers = 0;
    s.n_first_line = 1;
    int32_t mark_color = int32_t(kDefaultMarkColor);
    if ((has("b_line_numbers") && ints.Get("b_line_numbers", s.b_line_numbers) != CFG_OK) ||
        (has("n_first_line") && ints.Get("n_first_line", s.n_first_line) != CFG_OK) ||
        (has("n_mark_color") && ints.Get("n_mark_color", mark_color) != CFG_OK)) {
        return false;
    }
    s.n_mark_color = uint32_t(mark_color);
    if (s.n_first_line < 0 || s.n_first_line > kMaxLineNumber) {
        ints.Name("n_first_line", NotALineNumber(std::to_string(s.n_first_line)));
    }
    if (!IsColourNumber(s.n_mark_color, ColourRule::RRGGBB)) {
        ints.Name("n_mark_color", NotAColour(ColourNumberText(s.n_mark_color), ColourRule::RRGGBB));
    }
    char* marks = nullptr;
    if (has("p_s_marked_lines") &&
        ReadStringSetting(config, "p_s_marked_lines", marks) != StringRead::Ok) {
        return false;
    }
    const int set = s.SetMarkedLines(marks);
    std::free(marks);
    std::vector<LineRange> ranges;
    std::string problem;
    if (set != 0 &&
        ParseMarkedLines(s.MarkedLines(), ranges, &problem) == MarkedLinesParse::Malformed) {
        ints.Name("p_s_marked_lines", problem);
    }
    return set != 0;
}

} // namespace

std::string ProfileFileText(const ProfileSettings& s, const char* name) {
    std::string quoted_path;
    AppendQuoted(quoted_path, name);
    std::string text;
    tarvo::AppendFormat(text, "// profile config v1.00\n// profile_file %s\n//\n//\n\n",
                        quoted_path.c_str());
    tarvo::AppendFormat(text, "n_tab_size = %d;\n\n", int(s.n_tab_size));
    tarvo::AppendFormat(text, "n_comment_color = 0x%06x;\n", unsigned(s.n_comment_color));
    tarvo::AppendFormat(text, "n_keyword_color = 0x%06x;\n\n", unsigned(s.n_keyword_color));
    tarvo::AppendFormat(text, "n_table_lt_color = 0x%06x;\n", unsigned(s.n_table_lt_color));
    tarvo::AppendFormat(text, "n_table_dk_color = 0x%06x;\n\n", unsigned(s.n_table_dk_color));
    tarvo::AppendFormat(text, "n_font_size = %d;\n\n", int(s.n_font_size));
    tarvo::AppendFormat(text, "n_table_width = %d;\n\n", int(s.n_table_width));
    tarvo::AppendFormat(text, "b_table_width_percent = %d;\n\n", int(s.b_table_width_percent));
    tarvo::AppendFormat(text, "b_use_table = %d;\n\n", int(s.b_use_table));
    // The optional classes only while on, so that files without them keep their text.
    if (s.AnyClassOn()) {
        for (const ClassColourField& c : kClassColourFields) {
            if (s.*c.field >= 0) {
                tarvo::AppendFormat(text, "%s = 0x%06x;\n", c.key, unsigned(s.*c.field));
            }
        }
        text += '\n';
    }
    tarvo::AppendFormat(text, "n_keyword_num = %d;\n", int(s.KeywordCount()));
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        tarvo::AppendFormat(text, "p_s_keyword[%d] = ", int(i));
        AppendQuoted(text, s.Keyword(i));
        text += ";\n";
    }
    AppendLineKeys(text, s);
    AppendThemeKeys(text, s);
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

    struct IntKey {
        const char* name;
        int32_t* field;
    };
    int32_t keyword_color = 0, comment_color = 0, lt_color = 0, dk_color = 0;
    const IntKey keys[] = {
        {"n_tab_size", &s.n_tab_size},       {"n_comment_color", &comment_color},
        {"n_keyword_color", &keyword_color}, {"n_table_lt_color", &lt_color},
        {"n_table_dk_color", &dk_color},     {"n_font_size", &s.n_font_size},
        {"n_table_width", &s.n_table_width}, {"b_table_width_percent", &s.b_table_width_percent},
        {"b_use_table", &s.b_use_table},
    };
    const IntReader ints(config, problems);
    for (const IntKey& key : keys) {
        if (ints.Get(key.name, *key.field) != CFG_OK) {
            return 0;
        }
    }
    // The colours are unsigned 0xRRGGBB values; the reader delivers their 32 bits signed.
    s.n_comment_color = uint32_t(comment_color);
    s.n_keyword_color = uint32_t(keyword_color);
    s.n_table_lt_color = uint32_t(lt_color);
    s.n_table_dk_color = uint32_t(dk_color);

    // A class without its key is off; a key that holds no number fails the load as any other.
    for (const ClassColourField& c : kClassColourFields) {
        int32_t colour = kClassOff;
        const ConfigResult read = ints.Get(c.key, colour);
        if (read != CFG_OK && read != CFG_NOT_FOUND) {
            return 0;
        }
        if (!IsColourNumber(colour, ColourRule::RRGGBBOrOff)) {
            ints.Name(c.key, NotAColour(ColourNumberText(colour), ColourRule::RRGGBBOrOff));
        }
        s.*c.field = read == CFG_OK && colour >= 0 ? colour : kClassOff;
    }

    s.SetKeywords(nullptr);
    int32_t count = 0;
    if (ints.Get("n_keyword_num", count) != CFG_OK) {
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "p_s_keyword[%d]", int(i));
        char* keyword = nullptr;
        if (ReadStringSetting(config, key, keyword) != StringRead::Ok) {
            return 0;
        }
        if (!s.p_s_keyword.Add(keyword)) {
            std::free(keyword);
            return 0;
        }
    }
    if (!ReadLineKeys(ints, s) || !ReadThemeKey(config, "p_s_theme", s.p_s_theme) ||
        !ReadThemeKey(config, "p_s_dark_theme", s.p_s_dark_theme)) {
        return 0;
    }
    config.Release();
    return 1;
}
