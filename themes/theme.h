#pragma once
// A theme: the look of every class of the code (colour, background, bold, italic), the code's
// background, the line numbers' colour and the marked lines' background, under a name.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The classes of the code, in the order of kThemeClassNames.
enum class ThemeClass : uint8_t {
    Text,
    Keyword,
    Comment,
    String,
    Char,
    Number,
    Preproc,
    Function,
    Type,
    Namespace,
    Macro,
};
inline constexpr int kThemeClassCount = 11;
// Their names as the keys and the style sheet's classes use them: "keyword" is n_keyword_color
// and cpp_keyword.
inline constexpr const char* kThemeClassNames[kThemeClassCount] = {
    "text",    "keyword",  "comment", "string",    "char",  "number",
    "preproc", "function", "type",    "namespace", "macro",
};

// A colour that is not given: a class's is then the text's, the text's the page's (black), a
// background the page's (white).
inline constexpr int32_t kNoColour = -1;
inline constexpr uint32_t kPageText = 0x000000;
inline constexpr uint32_t kPageBackground = 0xFFFFFF;

struct ThemeLook {
    int32_t colour = kNoColour;     // 0xRRGGBB or kNoColour
    int32_t background = kNoColour; // 0xRRGGBB, or kNoColour for the code's own
    bool bold = false;
    bool italic = false;

    friend bool operator==(const ThemeLook&, const ThemeLook&) = default;
};

// Names are one word as people type them: lower-case ASCII letters, digits and single dashes,
// beginning with a letter and not ending with a dash ("solarized-dark"), at most this long.
inline constexpr std::size_t kMaxThemeName = 32;
bool IsThemeName(std::string_view name) noexcept;

struct Theme {
    char name[kMaxThemeName + 1] = {}; // IsThemeName, zero-filled after its last character
    bool dark = false;                 // meant for a dark page (the dark one of a pair)
    int32_t background = kNoColour;    // the code's background, or kNoColour: the page's
    uint32_t line_number_colour = 0;
    uint32_t mark_colour = 0; // the marked lines' background
    ThemeLook looks[kThemeClassCount] = {};

    const ThemeLook& Look(ThemeClass c) const noexcept { return looks[int(c)]; }
    ThemeLook& Look(ThemeClass c) noexcept { return looks[int(c)]; }

    friend bool operator==(const Theme&, const Theme&) = default;
};

// The colours as a reader sees them, the missing ones filled as kNoColour says.
uint32_t ShownBackground(const Theme& theme) noexcept;
uint32_t ShownColour(const Theme& theme, ThemeClass c) noexcept;

// What is drawn on what: a class (or the line numbers) on the code's background, on the marked
// lines' background, or on a background of the class's own.
inline constexpr int kLineNumbersPart = kThemeClassCount; // beside the classes
enum class ContrastGround : uint8_t { Background, MarkedLines, OwnBackground };

struct ContrastFinding {
    double ratio = 21.0;
    int part = 0; // a ThemeClass as int, or kLineNumbersPart
    ContrastGround ground = ContrastGround::Background;
};

// The lowest contrast of the theme over every class and the line numbers, each against the
// background and the marked lines' background (a class with a background of its own against
// that one alone), and where it is. The first of equal ones, in class order.
ContrastFinding LowestContrast(const Theme& theme) noexcept;

// "comment on the marked lines", "line numbers on the background".
std::string DescribeFinding(const ContrastFinding& finding);

// Whether a marked line is seen as one: its background differs from the code's by at least
// kMinMarkDifference (its edge, EdgeColour, stands at 3:1 by construction).
bool MarkStandsOut(const Theme& theme) noexcept;

// The lines of --list-themes, one per theme: its name (padded to the longest), "light" or
// "dark", its lowest contrast and where that is:
//   nord              dark   4.5:1   comment on the marked lines
// False when memory runs out (`out` then holds part of the list).
bool AppendThemeList(std::string& out, std::span<const Theme* const> themes) noexcept;
