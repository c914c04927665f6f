#pragma once
// A conversion for a terminal: the code with 24-bit colour escape sequences (SGR), bold and
// italic as SGR attributes, for `less -R` and the like.

#include "render/converter.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <string>
#include <string_view>

// The text of `source` converted with `settings` (the keywords and the tab size) and `style`
// (BuildStyle of `settings` unless given), tabs replaced, each line ended by LF. Each span's
// characters are preceded by ESC [ 0 ; 38;2;R;G;B m in their class's colour (with ;1 for bold,
// ;3 for italic and 48;2;R;G;B for a background), and the sequence changes only where the look
// does. The text keeps the terminal's colours unless the style gives the code box a background;
// every line that changed the look ends with ESC [ 0 m before its line end. Line numbers are
// text in their colour, a marked line has its background. Control characters other than tab
// (ESC among them, which would reach the terminal) are shown in caret notation (^[), a lone CR
// as ^M. `observer` is told the tab-size notice and the progress. Returns 1, or 0 with `ansi`
// empty when memory ran out.
int BuildAnsi(std::string_view source, const ProfileSettings& settings, std::string& ansi,
              ConvertObserver* observer = nullptr);
int BuildAnsi(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
              std::string& ansi, ConvertObserver* observer = nullptr);
