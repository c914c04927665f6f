#pragma once
// A complete HTML5 page around a conversion's result, for a browser or a web site.

#include <string>
#include <string_view>

// The page: doctype, charset utf-8, `title` (plain text, escaped here), the style sheet when
// `style_sheet` is not empty (BuildStyleSheet's text, which is its own <style> element), and
// `body` (the converter's output) as it stands. The page's own lines end with LF; give `body` and
// `style_sheet` with the line ends the file should have.
std::string BuildHtmlPage(std::string_view title, std::string_view body,
                          std::string_view style_sheet);

// `text` with &, <, > and " escaped, for element text and attribute values.
std::string EscapeHtmlText(std::string_view text);
