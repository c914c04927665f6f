#pragma once
// Themes of one's own: a theme file in the profiles' `name = value;` syntax, read by the
// configuration reader. For example:
//
//   p_s_name = "my-nord";          // required: a theme name that no built-in theme has
//   p_s_based_on = "nord";         // optional: start from this built-in theme (not classic)
//   n_comment_color = 0x9aa8c4;    // what differs from it
//   b_comment_italic = 0;
//
// The keys:
//   p_s_name, p_s_based_on         strings, as above
//   b_dark                         0 or 1: meant for a dark page; without it, as the background is
//   n_background_color             the code's background
//   n_mark_color                   the marked lines' background
//   n_line_number_color            without it (and without a start), the comment's colour
//   n_CLASS_color                  CLASS: text keyword comment string char number preproc
//                                  function type namespace macro; without it (and without a
//                                  start), the text's colour
//   n_CLASS_background_color       optional, -1 for none
//   b_CLASS_bold, b_CLASS_italic   0 or 1, 0 without them
// Colours are numbers 0xRRGGBB, as profiles write them, or strings "#RRGGBB". Without a start,
// n_background_color, n_mark_color and n_text_color must be given. Values may name other keys
// (`n_type_color = n_keyword_color;`). Every problem is named, and a theme with any is not used:
// an unknown key (a typing slip), a key set twice, a value of the wrong kind.

#include "themes/theme.h"

#include <cstdio>
#include <string>
#include <string_view>

enum class ThemeFileRead {
    Ok,
    Missing,    // there is no such theme (for those that look a theme up by its name)
    Bad,        // the problems are named
    OutOfMemory // "Not enough memory" is named
};

// The most problems named for one file; a count of the rest follows them.
inline constexpr int kMaxThemeProblems = 20;

// Reads the theme file open as `file` (opened by the caller under the profile files' rules and
// closed by it), which the problems call `label`. When `expected_name` is not null, p_s_name must
// be it (a theme found by its file name). On Ok `theme` holds the theme; otherwise it is as it
// was, and `problems` has gained one line per problem, such as
//   Theme file 'themes/my.theme', line 4: n_keyword_color = 0x1000000 is not a colour: ...
ThemeFileRead ReadThemeFile(std::FILE* file, const char* label, const char* expected_name,
                            Theme& theme, std::string& problems) noexcept;

// The theme file of theme `name` in a themes folder, "name.theme"; "" when `name` is not a
// theme name, so that only bare names inside the folder are ever opened.
std::string ThemeFileName(std::string_view name);

// The text of a theme file for `theme`, without a start: every colour as shown (the missing ones
// filled as kNoColour says), bold, italic and the classes' own backgrounds only where set. It
// reads back as `theme` when the theme gives every colour and has a name of its own.
std::string ThemeFileText(const Theme& theme);
