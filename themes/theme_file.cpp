#include "themes/theme_file.h"

#include "base/colour.h"
#include "base/format.h"
#include "config/config_file.h"
#include "themes/builtin_themes.h"
#include "themes/contrast.h"
#include "themes/theme_keys.h"

#include <cstring>
#include <exception>
#include <utility>

namespace {

// A string value of at most `size` - 1 characters, zero-terminated, following references.
// False when the value is no string or is longer.
bool SmallString(const ConfigFile& config, const char* key, char* buffer, int32_t size) {
    int32_t length = 0;
    if (config.GetStringLength(key, length) != CFG_OK || length < 0 || length >= size) {
        return false;
    }
    if (config.GetString(key, buffer, size) != CFG_OK) {
        return false;
    }
    buffer[length] = '\0';
    return true;
}

// Collects the problems of one file, each a line, up to kMaxThemeProblems.
class Problems {
public:
    Problems(const char* label, std::string& out) : m_label(label), m_out(out) {}

    void Add(int32_t line, const std::string& what) {
        if (++m_count > kMaxThemeProblems) {
            return;
        }
        m_out += "Theme file '" + m_label + "'";
        if (line > 0) {
            tarvo::AppendFormat(m_out, ", line %d", int(line));
        }
        m_out += ": " + what + "\n";
    }
    void Finish() {
        if (m_count > kMaxThemeProblems) {
            m_out += "Theme file '" + m_label + "': ";
            tarvo::AppendFormat(m_out, "and %d more problems\n", m_count - kMaxThemeProblems);
        }
    }
    bool Any() const { return m_count > 0; }

private:
    std::string m_label;
    std::string& m_out;
    int m_count = 0;
};

// How the value of a definition was written, as far as the reader keeps it.
std::string Written(const ConfigFile& config, int32_t index, bool hexadecimal) {
    const ConfigToken* t = config.TokenAt(index);
    if (t == nullptr) {
        return "?";
    }
    switch (t->kind) {
    case TOKEN_INT:
        return hexadecimal && t->int_value >= 0 ? tarvo::Format("0x%x", unsigned(t->int_value))
                                                : tarvo::Format("%d", int(t->int_value));
    case TOKEN_CHAR:
        return t->int_value > 32 && t->int_value < 127 ? tarvo::Format("'%c'", char(t->int_value))
                                                       : tarvo::Format("%d", int(t->int_value));
    case TOKEN_FLOAT:
        return tarvo::Format("%g", double(t->float_value));
    case TOKEN_STRING: {
        std::string text(t->text ? t->text.get() : "");
        if (text.size() > 40) {
            text = text.substr(0, 40) + "...";
        }
        for (char& c : text) {
            c = static_cast<unsigned char>(c) < 32 ? '?' : c;
        }
        return "\"" + text + "\"";
    }
    case TOKEN_NAME:
        return t->text.get();
    case TOKEN_LBRACE:
        return "{ ... }";
    default:
        return "?";
    }
}

// Reads a colour: a number 0xRRGGBB or a string "#RRGGBB"; -1 as well when `none_allowed`.
bool ReadThemeColour(const ConfigFile& config, const char* key, bool none_allowed,
                     int32_t& colour) {
    int32_t number = 0;
    if (config.GetInt(key, number) == CFG_OK) {
        if (IsColourNumber(number, ColourRule::RRGGBB) || (none_allowed && number == kNoColour)) {
            colour = number;
            return true;
        }
        return false;
    }
    char text[16];
    int64_t rgb = 0;
    if (SmallString(config, key, text, sizeof text) && ReadColour(text, ColourRule::RRGGBB, rgb)) {
        colour = int32_t(rgb);
        return true;
    }
    return false;
}

class Reader {
public:
    Reader(const ConfigFile& config, Problems& problems) : m_config(config), m_problems(problems) {}

    // Notes every definition, naming unknown keys and keys set twice.
    void FindDefinitions() {
        for (int32_t k = 0; k + 2 < m_config.TokenCount(); ++k) {
            const ConfigToken* name = m_config.TokenAt(k);
            if (name->kind != TOKEN_NAME || m_config.TokenAt(k + 1)->kind != TOKEN_ASSIGN) {
                continue;
            }
            const int key = FindThemeKey(name->text.get());
            if (key < 0) {
                std::string unknown = name->text.get();
                if (unknown.size() > 40) {
                    unknown = unknown.substr(0, 40) + "...";
                }
                m_problems.Add(name->line, "unknown key '" + unknown + "'");
            } else if (m_line[key] != 0) {
                m_problems.Add(name->line, tarvo::Format("%s is set again (first on line %d)",
                                                         ThemeKeys()[key].name, int(m_line[key])));
            } else {
                m_line[key] = name->line;
                m_value[key] = k + 2;
            }
        }
    }

    bool Has(ThemeKeyKind kind, int cls = -1) const {
        return m_line[ThemeKeyIndex(kind, cls)] != 0;
    }

    // Reads the whole theme into `theme`; the problems are named.
    void Read(const char* expected_name, Theme& theme) {
        ReadStart(theme);
        ReadName(expected_name, theme);
        for (int key = 0; key < kThemeKeyCount; ++key) {
            if (m_line[key] != 0) {
                ReadValue(key, theme);
            }
        }
        const bool dark_given = Has(ThemeKeyKind::Dark);
        // A start that is not one is named already; what it would have given is not.
        if (!m_based && !Has(ThemeKeyKind::BasedOn)) {
            for (const auto& [kind, cls] :
                 {std::pair{ThemeKeyKind::Background, -1}, std::pair{ThemeKeyKind::Mark, -1},
                  std::pair{ThemeKeyKind::Colour, int(ThemeClass::Text)}}) {
                if (!Has(kind, cls)) {
                    m_problems.Add(0, std::string(ThemeKeys()[ThemeKeyIndex(kind, cls)].name) +
                                          " is missing: give it, or start from a built-in "
                                          "theme with p_s_based_on");
                }
            }
        }
        if (!m_based) {
            const uint32_t text = ShownColour(theme, ThemeClass::Text);
            for (ThemeLook& look : theme.looks) {
                look.colour = look.colour >= 0 ? look.colour : int32_t(text);
            }
            if (!Has(ThemeKeyKind::LineNumbers)) {
                theme.line_number_colour = ShownColour(theme, ThemeClass::Comment);
            }
        }
        if (!dark_given) {
            theme.dark = IsDarkBackground(ShownBackground(theme));
        }
    }

private:
    std::string Statement(int key, bool hexadecimal) const {
        return std::string(ThemeKeys()[key].name) + " = " +
               Written(m_config, m_value[key], hexadecimal);
    }

    void ReadStart(Theme& theme) {
        theme = Theme{};
        const int key = ThemeKeyIndex(ThemeKeyKind::BasedOn);
        if (m_line[key] == 0) {
            return;
        }
        char name[kMaxThemeName + 1];
        const Theme* start = SmallString(m_config, "p_s_based_on", name, sizeof name)
                                 ? FindBuiltInTheme(name)
                                 : nullptr;
        if (start == nullptr) {
            m_problems.Add(m_line[key], Statement(key, false) + " is not a built-in theme");
        } else if (start == &ClassicTheme()) {
            m_problems.Add(m_line[key], Statement(key, false) +
                                            " cannot be a start: classic has the profile's "
                                            "colours, none of its own");
        } else {
            theme = *start;
            m_based = true;
        }
    }

    void ReadName(const char* expected_name, Theme& theme) {
        const int key = ThemeKeyIndex(ThemeKeyKind::Name);
        if (m_line[key] == 0) {
            m_problems.Add(0, "p_s_name is missing: give the theme a name, such as "
                              "p_s_name = \"my-theme\";");
            return;
        }
        char name[kMaxThemeName + 1];
        if (!SmallString(m_config, "p_s_name", name, sizeof name) || !IsThemeName(name)) {
            m_problems.Add(m_line[key], Statement(key, false) +
                                            " is not a theme name: lower-case letters, digits "
                                            "and dashes, such as \"my-theme\"");
        } else if (FindBuiltInTheme(name) != nullptr) {
            m_problems.Add(m_line[key], Statement(key, false) +
                                            " is the name of a built-in theme: choose another");
        } else if (expected_name != nullptr && std::strcmp(name, expected_name) != 0) {
            m_problems.Add(m_line[key], Statement(key, false) + " does not match the file name " +
                                            ThemeFileName(expected_name));
        } else {
            // Zero-filled to the end, as every theme's name is, so that equal themes compare so.
            std::memset(theme.name, 0, sizeof theme.name);
            std::memcpy(theme.name, name, std::strlen(name));
        }
    }

    void ReadValue(int key, Theme& theme) {
        const ThemeKey& spec = ThemeKeys()[key];
        int32_t colour = 0;
        int32_t flag = 0;
        switch (spec.kind) {
        case ThemeKeyKind::Name:
        case ThemeKeyKind::BasedOn:
            return;
        case ThemeKeyKind::Dark:
        case ThemeKeyKind::Bold:
        case ThemeKeyKind::Italic:
            if (m_config.GetInt(spec.name, flag) != CFG_OK || (flag != 0 && flag != 1)) {
                m_problems.Add(m_line[key], Statement(key, false) + " is not 0 or 1");
                return;
            }
            if (spec.kind == ThemeKeyKind::Dark) {
                theme.dark = flag == 1;
            } else if (spec.kind == ThemeKeyKind::Bold) {
                theme.looks[spec.cls].bold = flag == 1;
            } else {
                theme.looks[spec.cls].italic = flag == 1;
            }
            return;
        default:
            break;
        }
        const bool none_allowed = spec.kind == ThemeKeyKind::ClassBackground;
        if (!ReadThemeColour(m_config, spec.name, none_allowed, colour)) {
            m_problems.Add(m_line[key], Statement(key, true) +
                                            " is not a colour: write 0xRRGGBB or \"#RRGGBB\"" +
                                            (none_allowed ? ", or -1 for none" : ""));
            return;
        }
        switch (spec.kind) {
        case ThemeKeyKind::Background:
            theme.background = colour;
            break;
        case ThemeKeyKind::Mark:
            theme.mark_colour = uint32_t(colour);
            break;
        case ThemeKeyKind::LineNumbers:
            theme.line_number_colour = uint32_t(colour);
            break;
        case ThemeKeyKind::Colour:
            theme.looks[spec.cls].colour = colour;
            break;
        default:
            theme.looks[spec.cls].background = colour;
            break;
        }
    }

    const ConfigFile& m_config;
    Problems& m_problems;
    int32_t m_line[kThemeKeyCount] = {};  // the line of each key's definition, 0 when it has none
    int32_t m_value[kThemeKeyCount] = {}; // the index of its value token
    bool m_based = false;
};

} // namespace

ThemeFileRead ReadThemeFile(std::FILE* file, const char* label, const char* expected_name,
                            Theme& theme, std::string& problems) noexcept {
    const std::size_t problems_size = problems.size();
    try {
        Problems named(label != nullptr ? label : "", problems);
        ConfigFile config;
        const ConfigResult opened = config.Open(file);
        // A string the reader could not hold fails the file as a token it cannot read.
        if (opened == CFG_NO_MEMORY ||
            std::strstr(config.ErrorText(), "String is too long to fit in memory") != nullptr) {
            named.Add(0, "Not enough memory");
            return ThemeFileRead::OutOfMemory;
        }
        if (opened != CFG_OK) {
            named.Add(0, std::string("cannot be read: ") +
                             (opened == CFG_SYNTAX_ERROR
                                  ? "a statement is not of the form name = value;"
                                  : config.ErrorText()));
            return ThemeFileRead::Bad;
        }
        Reader reader(config, named);
        reader.FindDefinitions();
        Theme read;
        reader.Read(expected_name, read);
        named.Finish();
        if (named.Any()) {
            return ThemeFileRead::Bad;
        }
        theme = read;
        return ThemeFileRead::Ok;
    } catch (const std::exception&) {
        problems.resize(problems_size);
        try {
            problems += "Not enough memory\n";
        } catch (const std::exception&) {
        }
        return ThemeFileRead::OutOfMemory;
    }
}

std::string ThemeFileName(std::string_view name) {
    return IsThemeName(name) ? std::string(name) + ".theme" : std::string();
}

std::string ThemeFileText(const Theme& theme) {
    std::string text;
    tarvo::AppendFormat(text, "// Tarvo theme \"%s\"\n\n", theme.name);
    for (const ThemeKey& key : ThemeKeys()) {
        const ThemeLook* look = key.cls >= 0 ? &theme.looks[key.cls] : nullptr;
        int32_t colour = kNoColour;
        int flag = 0;
        switch (key.kind) {
        case ThemeKeyKind::Name:
            tarvo::AppendFormat(text, "%s = \"%s\";\n", key.name, theme.name);
            continue;
        case ThemeKeyKind::BasedOn:
            continue;
        case ThemeKeyKind::Dark:
            tarvo::AppendFormat(text, "%s = %d;\n\n", key.name, theme.dark ? 1 : 0);
            continue;
        case ThemeKeyKind::Background:
            colour = int32_t(ShownBackground(theme));
            break;
        case ThemeKeyKind::Mark:
            colour = int32_t(theme.mark_colour);
            break;
        case ThemeKeyKind::LineNumbers:
            colour = int32_t(theme.line_number_colour);
            break;
        case ThemeKeyKind::Colour:
            text += '\n';
            colour = int32_t(ShownColour(theme, ThemeClass(key.cls)));
            break;
        case ThemeKeyKind::ClassBackground:
            colour = look->background;
            break;
        case ThemeKeyKind::Bold:
            flag = look->bold ? 1 : 0;
            break;
        case ThemeKeyKind::Italic:
            flag = look->italic ? 1 : 0;
            break;
        }
        // Bold, italic and a class's background only where set.
        if (colour >= 0) {
            tarvo::AppendFormat(text, "%s = 0x%06x;\n", key.name, unsigned(colour));
        } else if (flag != 0) {
            tarvo::AppendFormat(text, "%s = 1;\n", key.name);
        }
    }
    return text;
}
