#pragma once
// The system clipboard.

#include <string_view>

namespace platform {

// Puts `plain` as text/plain and `html` as text/html on the clipboard at once, replacing what
// it held: a rich-text target takes the HTML, a plain one the text. Both UTF-8; CR LF line ends
// become the toolkit's.
void SetClipboardText(std::string_view plain, std::string_view html);

} // namespace platform
