#pragma once
// Every setting of a profile in one table, in the order that a profile file holds them: its key,
// its kind, its field, its default, when it is written, tarvo-convert's option and its check. The
// profile file, the dialog's round trip, -d's per-worker copy, "C++ defaults" and tarvo-convert's
// setting options are driven by it; a new setting is a row here (the optional classes: a row of
// kClassColourFields) and its control.

#include "settings/cpp_defaults.h"
#include "settings/profile_settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class SettingKind : uint8_t {
    Number,      // int32_t, written "%d"
    Flag,        // int32_t, written "%d"; nonzero is on, and a toggle gives 0 or 1
    Colour,      // uint32_t 0xRRGGBB, written "0x%06x"
    ClassColour, // int32_t 0xRRGGBB, negative (kClassOff) while off; written "0x%06x"
    Text,        // an OwnedText, written as a string literal
    Name,        // a ThemeNameField, written as a string literal; a longer value is cut
    Keywords,    // the keyword list: n_keyword_num, then p_s_keyword[0] upward
};

// The rule a value must keep, for a profile's value (which is kept and named when it breaks the
// rule) and for an option's text (a usage error).
enum class SettingCheck : uint8_t {
    None,
    LineNumber,  // 0 to kMaxLineNumber
    MarkedLines, // a list of lines and ranges (settings/marked_lines.h)
    Colour,      // RRGGBB (base/colour.h)
    ColourOrOff, // RRGGBB or off
};

enum class Written : uint8_t {
    Always,              // the keys that every profile holds, on one line each
    AlwaysThenBlankLine, // ... followed by an empty line
    UnlessDefault, // an opt-in key, only when not at its default, so old files keep their text
};

// Opt-in keys come in groups, each set off by one empty line (before it or after it) whenever
// one of its keys is written.
enum class Gap : uint8_t { Before, After };
struct OptInGroup {
    uint8_t id;
    Gap gap;
};
inline constexpr OptInGroup kClassKeys{1, Gap::After};
inline constexpr OptInGroup kLineKeys{2, Gap::Before};
inline constexpr OptInGroup kThemeKeys{3, Gap::Before};

struct Setting {
    const char* key = nullptr;
    SettingKind kind = SettingKind::Number;
    Written written = Written::Always;
    OptInGroup group = {0, Gap::Before}; // opt-in keys only
    SettingCheck check = SettingCheck::None;
    // The default: what "C++ defaults" gives and, for an opt-in key, the value that is not
    // written (numbers, flags and colours in `value`; texts and keywords in `text`).
    int64_t value = 0;
    const char* text = "";
    const char* option = nullptr;       // tarvo-convert's option that sets it
    const char* short_option = nullptr; // ... and its short form
    // The field, by kind: `number` for Number, Flag and ClassColour, `colour` for Colour, `owned`
    // for Text, `name` for Name; the keyword list has its own.
    int32_t ProfileSettings::*number = nullptr;
    uint32_t ProfileSettings::*colour = nullptr;
    OwnedText ProfileSettings::*owned = nullptr;
    ThemeNameField ProfileSettings::*name = nullptr;

    constexpr Setting ThenBlankLine() const {
        Setting s = *this;
        s.written = Written::AlwaysThenBlankLine;
        return s;
    }
    constexpr Setting OptIn(OptInGroup in) const {
        Setting s = *this;
        s.written = Written::UnlessDefault;
        s.group = in;
        return s;
    }
    constexpr Setting Checked(SettingCheck rule) const {
        Setting s = *this;
        s.check = rule;
        return s;
    }
    constexpr Setting Option(const char* long_form, const char* short_form = nullptr) const {
        Setting s = *this;
        s.option = long_form;
        s.short_option = short_form;
        return s;
    }
};

namespace setting_rows {

using PS = ProfileSettings;

constexpr Setting Number(const char* key, int32_t PS::*field, int64_t value) {
    return {.key = key, .kind = SettingKind::Number, .value = value, .number = field};
}
constexpr Setting Flag(const char* key, int32_t PS::*field, int64_t value) {
    return {.key = key, .kind = SettingKind::Flag, .value = value, .number = field};
}
constexpr Setting Colour(const char* key, uint32_t PS::*field, int64_t value) {
    return {.key = key, .kind = SettingKind::Colour, .value = value, .colour = field};
}
constexpr Setting Text(const char* key, OwnedText PS::*field) {
    return {.key = key, .kind = SettingKind::Text, .owned = field};
}
constexpr Setting Name(const char* key, ThemeNameField PS::*field) {
    return {.key = key, .kind = SettingKind::Name, .name = field};
}
constexpr Setting Class(const ClassColourField& c) {
    return Setting{
        .key = c.key, .kind = SettingKind::ClassColour, .value = kClassOff, .number = c.field}
        .OptIn(kClassKeys)
        .Checked(SettingCheck::ColourOrOff)
        .Option(c.option);
}

// The keys before the optional classes.
inline constexpr Setting kFirst[] = {
    Number("n_tab_size", &PS::n_tab_size, kCppDefaultTabSize).ThenBlankLine(),
    Colour("n_comment_color", &PS::n_comment_color, kCppDefaultCommentColor),
    Colour("n_keyword_color", &PS::n_keyword_color, kCppDefaultKeywordColor).ThenBlankLine(),
    Colour("n_table_lt_color", &PS::n_table_lt_color, kCppDefaultTableLtColor),
    Colour("n_table_dk_color", &PS::n_table_dk_color, kCppDefaultTableDkColor).ThenBlankLine(),
    Number("n_font_size", &PS::n_font_size, kCppDefaultFontSize).ThenBlankLine(),
    Number("n_table_width", &PS::n_table_width, kCppDefaultTableWidth).ThenBlankLine(),
    Flag("b_table_width_percent", &PS::b_table_width_percent, 1).ThenBlankLine(),
    Flag("b_use_table", &PS::b_use_table, 1).ThenBlankLine(),
};

// The keys after them.
inline constexpr Setting kLast[] = {
    {.key = "p_s_keyword", .kind = SettingKind::Keywords, .text = kCppDefaultKeywords},
    Flag("b_line_numbers", &PS::b_line_numbers, 0).OptIn(kLineKeys).Option("--line-numbers", "-n"),
    Number("n_first_line", &PS::n_first_line, 1)
        .OptIn(kLineKeys)
        .Checked(SettingCheck::LineNumber)
        .Option("--first-line"),
    Text("p_s_marked_lines", &PS::p_s_marked_lines)
        .OptIn(kLineKeys)
        .Checked(SettingCheck::MarkedLines)
        .Option("--mark"),
    Colour("n_mark_color", &PS::n_mark_color, kDefaultMarkColor)
        .OptIn(kLineKeys)
        .Checked(SettingCheck::Colour)
        .Option("--mark-color"),
    Name("p_s_theme", &PS::p_s_theme).OptIn(kThemeKeys),
    Name("p_s_dark_theme", &PS::p_s_dark_theme).OptIn(kThemeKeys),
};

constexpr auto Join() {
    std::array<Setting, std::size(kFirst) + kClassCount + std::size(kLast)> rows{};
    std::size_t n = 0;
    for (const Setting& s : kFirst) {
        rows[n++] = s;
    }
    for (const ClassColourField& c : kClassColourFields) {
        rows[n++] = Class(c);
    }
    for (const Setting& s : kLast) {
        rows[n++] = s;
    }
    return rows;
}

} // namespace setting_rows

// Every setting, in the order of a profile file.
inline constexpr auto kSettings = setting_rows::Join();

// The key that holds the keyword list's count.
inline constexpr const char* kKeywordCountKey = "n_keyword_num";

// The number of a Number, Flag, Colour or ClassColour setting, and its setting.
int64_t NumberOf(const Setting& setting, const ProfileSettings& settings) noexcept;
void SetNumber(const Setting& setting, ProfileSettings& settings, int64_t value) noexcept;
// The text of a Text or Name setting ("" for other kinds).
const char* TextOf(const Setting& setting, const ProfileSettings& settings) noexcept;

// Whether `setting` is at its default in `settings`; a class is at it while off.
bool IsDefault(const Setting& setting, const ProfileSettings& settings) noexcept;

// What is wrong with the number `value` of `setting` by its check, as a profile's key names it
// ("'-1' is not a line number (from 0 to 999999999)"); "" when nothing is.
std::string NumberProblem(const Setting& setting, int64_t value);

enum class OptionRead { Ok, Bad, OutOfMemory };
// Reads the text of an option's value for `setting` by its check: Ok with `number` set (a
// number, colour or class colour; off as kClassOff), Bad with `why` ("'x' is not a colour
// (RRGGBB)"), OutOfMemory when a marked-lines list could not be checked.
OptionRead ReadOptionValue(const Setting& setting, std::string_view text, int64_t& number,
                           std::string& why);
// Puts an option's value into `settings`: `number` for numbers, flags and colours, `text` for
// texts. False when memory runs out.
bool SetOptionValue(const Setting& setting, ProfileSettings& settings, int64_t number,
                    const char* text);

// The setting whose option (long or short form) is `option`, or null.
const Setting* SettingOfOption(std::string_view option) noexcept;

// Copies every setting from `from` into `to`. False when memory runs out.
bool CopySettings(const ProfileSettings& from, ProfileSettings& to);
