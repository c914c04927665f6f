#pragma once
// The converter's output as rich text: an HTML fragment that carries its colours and sizes in
// the tags themselves, for pasting into a mail, a document or a web page's editor, which keep
// no style sheet.

#include "settings/profile_settings.h"

#include <string>
#include <string_view>

// `html` is ConvertSource's result for `settings` and `b_css`, its line ends CR LF. The
// fragment holds the table when `settings.b_use_table` is set, its border colours given as a
// style attribute, and a <pre> with the converted text, whose keyword and comment spans carry
// their colours inline: the colour attribute of font markup, or for CSS classes the style
// sheet's rules as style attributes. In both styles the outer element (the table, else the
// <pre>) states the font family, size and text colour of the sheet's text rule, and the <pre>
// repeats them. The framing is the fragment's own, so a browser shows exactly the source with
// its tabs replaced, and a word processor keeps its spaces and empty lines. Line numbers, when
// the settings ask for them, are real text at each line's start, padded to one width. Line ends
// are CR LF.
std::string BuildRichText(std::string_view html, const ProfileSettings& settings, int b_css);
