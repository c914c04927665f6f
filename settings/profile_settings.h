#pragma once
// The settings of one conversion, which are exactly the values that one profile stores.

#include "base/ptr_array.h"
#include "lexing/span.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>

// The keyword strings are NUL-terminated blocks from tarvo::TryAllocate, owned by the
// ProfileSettings that holds the list.
using KeywordList = PtrArray<char>;

// The colour of an optional class that is switched off: no span is written for it.
inline constexpr int32_t kClassOff = -1;

// A light yellow that keeps black, the default keyword blue and comment green, and the line
// numbers' grey above 4.5:1.
inline constexpr uint32_t kDefaultMarkColor = 0xFFF6BF;

// Room for a theme's name in the settings: twice the longest theme name, so that a name that is
// none is still shown whole where it is named.
inline constexpr std::size_t kThemeNameField = 64;

// A text that the settings own, as typed: null while empty.
class OwnedText {
public:
    OwnedText() = default;
    ~OwnedText() { std::free(m_text); }
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;

    // Replaces the text with a copy of `text` (null or empty: none). Returns 1, or 0 when memory
    // runs out (the old text stays).
    int Set(const char* text) noexcept;
    // The text, "" when there is none.
    const char* Get() const noexcept { return m_text != nullptr ? m_text : ""; }

private:
    char* m_text = nullptr;
};

// A theme's name as the settings hold it.
using ThemeNameField = char[kThemeNameField + 1];

// Readable colours for the optional classes, each at least 4.5:1 against white. "C++ defaults"
// leaves the classes off; these are what "Suggested colours" and --all-classes give.
inline constexpr int32_t kSuggestedStringColor = 0xA31515;
inline constexpr int32_t kSuggestedCharColor = 0x8B4513;
inline constexpr int32_t kSuggestedNumberColor = 0x09794F;
inline constexpr int32_t kSuggestedPreprocColor = 0x7B3FA0;
inline constexpr int32_t kSuggestedFunctionColor = 0x795E26;  // 6.1:1
inline constexpr int32_t kSuggestedTypeColor = 0x1F7A8C;      // 5.0:1
inline constexpr int32_t kSuggestedNamespaceColor = 0x3A5F8F; // 6.5:1
inline constexpr int32_t kSuggestedMacroColor = 0xAF00DB;     // 5.5:1

// Every setting is a row of settings/setting_table.h too: a new field needs its row there.
class ProfileSettings {
public:
    ProfileSettings() = default;
    ~ProfileSettings() { ClearKeywords(); }
    ProfileSettings(const ProfileSettings&) = delete;
    ProfileSettings& operator=(const ProfileSettings&) = delete;

    // Frees every keyword and leaves the list empty, with no slot array.
    void ClearKeywords() noexcept;

    // Replaces the keywords with those split from `text` (null: none). Space, tab and line feed
    // separate keywords, one separator each, so doubled separators give empty keywords; a carriage
    // return right before a line feed belongs to the line break. Returns 1, or 0 when memory runs
    // out: the keywords split before the failure stay in the list.
    int SetKeywords(const char* text) noexcept;

    int32_t KeywordCount() const noexcept { return p_s_keyword.GetCount(); }
    // Keyword `index`, 0 to KeywordCount() - 1.
    const char* Keyword(int32_t index) const noexcept { return *p_s_keyword.GetAt(index); }

    // Replaces the marked-lines list with a copy of `text` (null or empty: none), as typed: it
    // is checked only where it is used. Returns 1, or 0 when memory runs out (the old list stays).
    int SetMarkedLines(const char* text) noexcept { return p_s_marked_lines.Set(text); }
    // The marked-lines list, "" when there is none.
    const char* MarkedLines() const noexcept { return p_s_marked_lines.Get(); }

    int32_t n_tab_size = 0;       // spaces per tab; negative keeps tabs, 0 drops them
    uint32_t n_keyword_color = 0; // colours are 0xRRGGBB
    uint32_t n_comment_color = 0;
    uint32_t n_table_lt_color = 0; // table border, top and left
    uint32_t n_table_dk_color = 0; // table border, right and bottom
    int32_t n_font_size = 0;       // CSS pixels, used by the style sheet only
    KeywordList p_s_keyword;
    int32_t n_table_width = 0;
    int32_t b_table_width_percent = 0; // nonzero: the width is a percentage
    int32_t b_use_table = 0;           // nonzero: frame the code with a one-cell table
    // Optional classes, each 0xRRGGBB when on and negative (kClassOff) when off. A profile
    // file holds a key for a class only while it is on.
    int32_t n_string_color = kClassOff;    // string literals, #include's header name
    int32_t n_char_color = kClassOff;      // character literals
    int32_t n_number_color = kClassOff;    // preprocessing numbers
    int32_t n_preproc_color = kClassOff;   // directive lines, outside their comments and literals
    int32_t n_function_color = kClassOff;  // names of functions, where declared and used
    int32_t n_type_color = kClassOff;      // names of classes, enums, aliases, type parameters
    int32_t n_namespace_color = kClassOff; // names of namespaces
    int32_t n_macro_color = kClassOff;     // names of macros

    // Whether any optional class is on.
    bool AnyClassOn() const noexcept;

    // Line numbers and marked lines, off unless asked for (settings/marked_lines.h).
    int32_t b_line_numbers = 0;                // nonzero: number the lines
    int32_t n_first_line = 1;                  // the number of the first line
    OwnedText p_s_marked_lines;                // "3-5,9" in shown numbers
    uint32_t n_mark_color = kDefaultMarkColor; // background of the marked lines

    // The theme and the dark one beside it, by name as the profile holds it; "" for the
    // profile's own colours and for no dark theme. A longer name is cut to the field.
    ThemeNameField p_s_theme = {};
    ThemeNameField p_s_dark_theme = {};
};

// The optional classes in one table, which the settings' table (settings/setting_table.h) takes
// whole: profile key (also the field's name), CSS class, field, the class of their spans, the
// suggested colour, tarvo-convert's option and the Colours dialog's label.
struct ClassColourField {
    const char* key;
    const char* css_class;
    int32_t ProfileSettings::*field;
    SpanClass span;
    int32_t suggested;
    const char* option;
    const char* label;
};
inline constexpr ClassColourField kClassColourFields[] = {
    {"n_string_color", "cpp_string", &ProfileSettings::n_string_color, SpanClass::String,
     kSuggestedStringColor, "--string-color", "&String"},
    {"n_char_color", "cpp_char", &ProfileSettings::n_char_color, SpanClass::Char,
     kSuggestedCharColor, "--char-color", "C&haracter"},
    {"n_number_color", "cpp_number", &ProfileSettings::n_number_color, SpanClass::Number,
     kSuggestedNumberColor, "--number-color", "&Number"},
    {"n_preproc_color", "cpp_preproc", &ProfileSettings::n_preproc_color, SpanClass::Preproc,
     kSuggestedPreprocColor, "--preproc-color", "&Preprocessor line"},
    {"n_function_color", "cpp_function", &ProfileSettings::n_function_color, SpanClass::Function,
     kSuggestedFunctionColor, "--function-color", "Func&tion"},
    {"n_type_color", "cpp_type", &ProfileSettings::n_type_color, SpanClass::Type,
     kSuggestedTypeColor, "--type-color", "T&ype"},
    {"n_namespace_color", "cpp_namespace", &ProfileSettings::n_namespace_color,
     SpanClass::Namespace, kSuggestedNamespaceColor, "--namespace-color", "Namesp&ace"},
    {"n_macro_color", "cpp_macro", &ProfileSettings::n_macro_color, SpanClass::Macro,
     kSuggestedMacroColor, "--macro-color", "Mac&ro"},
};
inline constexpr std::size_t kClassCount = std::size(kClassColourFields);

// The optional classes that `settings` has on.
inline ClassSet OptionalClassesOn(const ProfileSettings& settings) noexcept {
    ClassSet on;
    for (const ClassColourField& c : kClassColourFields) {
        if (settings.*c.field >= 0) {
            on.Add(c.span);
        }
    }
    return on;
}

inline bool ProfileSettings::AnyClassOn() const noexcept {
    return OptionalClassesOn(*this).AnyOptional();
}
