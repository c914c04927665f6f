#pragma once
// The system clipboard.

#include <string_view>
#include <vector>

namespace platform {

struct ClipboardItem {
    std::string_view mime_type;
    std::string_view data;
};

// Puts every item on the clipboard at once, replacing what it held; each target takes the
// flavour it likes best. "text/plain" and "text/html" are the program's text (UTF-8, CR LF line
// ends, which become the toolkit's); other types go as their bytes. On Windows "text/rtf" is
// offered as "Rich Text Format" too, the name that word processors there look for.
void SetClipboardData(const std::vector<ClipboardItem>& items);

} // namespace platform
