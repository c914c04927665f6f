#include "themes/theme_file.h"

#include "base/format.h"
#include "config/config_file.h"
#include "themes/builtin_themes.h"
#include "themes/colour_reader.h"
#include "themes/contrast.h"

#include <cstring>
#include <exception>

namespace {

enum class KeyKind : uint8_t {
    Name,
    BasedOn,
    Dark,
    Background,
    Mark,
    LineNumbers,
    Colour,
    ClassBackground,
    Bold,
    Italic
};

struct KeySpec {
    char key[40];
    KeyKind kind;
    int8_t cls; // the class of the per-class kinds
};

constexpr int kKeyCount = 6 + 4 * kThemeClassCount;

// Every key of a theme file, made once: the six of the theme, then four for each class, in the
// order that Reader::Index counts on.
struct KeyTable {
    KeySpec keys[kKeyCount] = {};

    KeyTable() {
        int n = 0;
        const auto add = [&](KeyKind kind, int cls, const char* format) {
            KeySpec& k = keys[n++];
            std::snprintf(k.key, sizeof k.key, format, cls >= 0 ? kThemeClassNames[cls] : "");
            k.kind = kind;
            k.cls = int8_t(cls);
        };
        add(KeyKind::Name, -1, "p_s_name");
        add(KeyKind::BasedOn, -1, "p_s_based_on");
        add(KeyKind::Dark, -1, "b_dark");
        add(KeyKind::Background, -1, "n_background_color");
        add(KeyKind::Mark, -1, "n_mark_color");
        add(KeyKind::LineNumbers, -1, "n_line_number_color");
        for (int c = 0; c < kThemeClassCount; ++c) {
            add(KeyKind::Colour, c, "n_%s_color");
            add(KeyKind::ClassBackground, c, "n_%s_background_color");
            add(KeyKind::Bold, c, "b_%s_bold");
            add(KeyKind::Italic, c, "b_%s_italic");
        }
    }

    int Find(const char* name) const {
        for (int i = 0; i < kKeyCount; ++i) {
            if (std::strcmp(keys[i].key, name) == 0) {
                return i;
            }
        }
        return -1;
    }
};

const KeyTable& Keys() {
    static const KeyTable table;
    return table;
}

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
bool ReadColour(const ConfigFile& config, const char* key, bool none_allowed, int32_t& colour) {
    int32_t number = 0;
    if (config.GetInt(key, number) == CFG_OK) {
        if ((number >= 0 && number <= 0xFFFFFF) || (none_allowed && number == kNoColour)) {
            colour = number;
            return true;
        }
        return false;
    }
    char text[16];
    uint32_t rgb = 0;
    if (SmallString(config, key, text, sizeof text) && ReadColourText(text, rgb)) {
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
            const int key = Keys().Find(name->text.get());
            if (key < 0) {
                m_problems.Add(name->line, std::string("unknown key '") + name->text.get() + "'");
            } else if (m_line[key] != 0) {
                m_problems.Add(name->line, tarvo::Format("%s is set again (first on line %d)",
                                                         Keys().keys[key].key, int(m_line[key])));
            } else {
                m_line[key] = name->line;
                m_value[key] = k + 2;
            }
        }
    }

    bool Has(KeyKind kind, int cls = -1) const { return m_line[Index(kind, cls)] != 0; }

    // Reads the whole theme into `theme`; the problems are named.
    void Read(const char* expected_name, Theme& theme) {
        ReadStart(theme);
        ReadName(expected_name, theme);
        for (int key = 0; key < kKeyCount; ++key) {
            if (m_line[key] != 0) {
                ReadValue(key, theme);
            }
        }
        const bool dark_given = Has(KeyKind::Dark);
        if (!m_based) {
            for (const auto& [kind, cls] :
                 {std::pair{KeyKind::Background, -1}, std::pair{KeyKind::Mark, -1},
                  std::pair{KeyKind::Colour, int(ThemeClass::Text)}}) {
                if (!Has(kind, cls)) {
                    m_problems.Add(0, std::string(Keys().keys[Index(kind, cls)].key) +
                                          " is missing: give it, or start from a built-in "
                                          "theme with p_s_based_on");
                }
            }
            const uint32_t text = ShownColour(theme, ThemeClass::Text);
            for (ThemeLook& look : theme.looks) {
                look.colour = look.colour >= 0 ? look.colour : int32_t(text);
            }
            if (!Has(KeyKind::LineNumbers)) {
                theme.line_number_colour = ShownColour(theme, ThemeClass::Comment);
            }
        }
        if (!dark_given) {
            theme.dark = IsDarkBackground(ShownBackground(theme));
        }
    }

private:
    static int Index(KeyKind kind, int cls) {
        if (cls < 0) {
            return int(kind);
        }
        return 6 + 4 * cls + (int(kind) - int(KeyKind::Colour));
    }

    std::string Statement(int key, bool hexadecimal) const {
        return std::string(Keys().keys[key].key) + " = " +
               Written(m_config, m_value[key], hexadecimal);
    }

    void ReadStart(Theme& theme) {
        theme = Theme{};
        const int key = Index(KeyKind::BasedOn, -1);
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
        const int key = Index(KeyKind::Name, -1);
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
            std::memcpy(theme.name, name, std::strlen(name) + 1);
        }
    }

    void ReadValue(int key, Theme& theme) {
        const KeySpec& spec = Keys().keys[key];
        int32_t colour = 0;
        int32_t flag = 0;
        switch (spec.kind) {
        case KeyKind::Name:
        case KeyKind::BasedOn:
            return;
        case KeyKind::Dark:
        case KeyKind::Bold:
        case KeyKind::Italic:
            if (m_config.GetInt(spec.key, flag) != CFG_OK || (flag != 0 && flag != 1)) {
                m_problems.Add(m_line[key], Statement(key, false) + " is not 0 or 1");
                return;
            }
            if (spec.kind == KeyKind::Dark) {
                theme.dark = flag == 1;
            } else if (spec.kind == KeyKind::Bold) {
                theme.looks[spec.cls].bold = flag == 1;
            } else {
                theme.looks[spec.cls].italic = flag == 1;
            }
            return;
        default:
            break;
        }
        const bool none_allowed = spec.kind == KeyKind::ClassBackground;
        if (!ReadColour(m_config, spec.key, none_allowed, colour)) {
            m_problems.Add(m_line[key], Statement(key, true) +
                                            " is not a colour: write 0xRRGGBB or \"#RRGGBB\"" +
                                            (none_allowed ? ", or -1 for none" : ""));
            return;
        }
        switch (spec.kind) {
        case KeyKind::Background:
            theme.background = colour;
            break;
        case KeyKind::Mark:
            theme.mark_colour = uint32_t(colour);
            break;
        case KeyKind::LineNumbers:
            theme.line_number_colour = uint32_t(colour);
            break;
        case KeyKind::Colour:
            theme.looks[spec.cls].colour = colour;
            break;
        default:
            theme.looks[spec.cls].background = colour;
            break;
        }
    }

    const ConfigFile& m_config;
    Problems& m_problems;
    int32_t m_line[kKeyCount] = {};  // the line of each key's definition, 0 when it has none
    int32_t m_value[kKeyCount] = {}; // the index of its value token
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
    tarvo::AppendFormat(text, "// Tarvo theme \"%s\"\n\np_s_name = \"%s\";\nb_dark = %d;\n\n",
                        theme.name, theme.name, theme.dark ? 1 : 0);
    tarvo::AppendFormat(text, "n_background_color = 0x%06x;\n", unsigned(ShownBackground(theme)));
    tarvo::AppendFormat(text, "n_mark_color = 0x%06x;\n", unsigned(theme.mark_colour));
    tarvo::AppendFormat(text, "n_line_number_color = 0x%06x;\n",
                        unsigned(theme.line_number_colour));
    for (int c = 0; c < kThemeClassCount; ++c) {
        const ThemeLook& look = theme.looks[c];
        const char* name = kThemeClassNames[c];
        tarvo::AppendFormat(text, "\nn_%s_color = 0x%06x;\n", name,
                            unsigned(ShownColour(theme, ThemeClass(c))));
        if (look.background >= 0) {
            tarvo::AppendFormat(text, "n_%s_background_color = 0x%06x;\n", name,
                                unsigned(look.background));
        }
        if (look.bold) {
            tarvo::AppendFormat(text, "b_%s_bold = 1;\n", name);
        }
        if (look.italic) {
            tarvo::AppendFormat(text, "b_%s_italic = 1;\n", name);
        }
    }
    return text;
}
