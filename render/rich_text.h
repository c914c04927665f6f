#pragma once
// A conversion as rich text: an HTML fragment that carries its colours and sizes in the tags
// themselves, for pasting into a mail, a document or a web page's editor, which keep no style
// sheet.

#include "render/html_pieces.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <string>
#include <string_view>

// The fragment for `source` converted with `settings` (the keywords and the tab size) and
// `style` (BuildStyle of `settings` unless given), in font markup (`b_css` zero) or with the
// CSS classes' rules as style attributes. It holds the table when the frame is on, its border
// colours given as a style attribute, and a <pre> with the code, whose spans carry their looks
// inline. In both styles the outer element (the table, else the <pre>) states the font family,
// size and text colour of the text's rule, and the <pre> repeats them. The framing is the
// fragment's own, so a browser shows exactly the source with its tabs replaced, and a word
// processor keeps its spaces and empty lines. Line numbers, when the style asks for them, are
// real text at each line's start, padded to one width. Line ends are CR LF. Empty when memory
// ran out (or std::bad_alloc from the strings themselves).
std::string BuildRichText(std::string_view source, const ProfileSettings& settings, int b_css);
std::string BuildRichText(std::string_view source, const ProfileSettings& settings,
                          const StyleRecord& style, int b_css);

// The same fragment for both schemes, with no script: each colour is CSS light-dark() of
// `style`'s and `dark`'s (the same settings under a dark theme), and the outer element sets
// color-scheme, so that the reader's system picks one. Bold and italic cannot switch so and stay
// `style`'s.
std::string BuildRichText(std::string_view source, const ProfileSettings& settings,
                          const StyleRecord& style, const StyleRecord& dark);

// The parts of the fragment, for writers that build it beside others from one scan: the tags of
// its code, and the fragment around the code's text `body`.
HtmlTags RichTextTags(const StyleRecord& style, bool css);
std::string FrameRichText(const StyleRecord& style, std::string_view body);
