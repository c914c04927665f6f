#pragma once
// What "Copy as rich text" puts on the clipboard, free of any toolkit: each flavour's type and
// bytes, so that every platform layer offers the same data under its own names.

#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <string>
#include <string_view>
#include <vector>

struct ClipboardFlavour {
    std::string mime_type;
    std::string data;
};

inline constexpr const char* kMimePlain = "text/plain";
inline constexpr const char* kMimeHtml = "text/html";
inline constexpr const char* kMimeRtf = "text/rtf";

// The flavours for `source` converted with `settings` and `b_css`, best first: the RTF
// (text/rtf, and the same bytes as application/rtf and text/richtext, the names that some word
// processors ask for), the rich HTML (text/html, UTF-8, CR LF) and the source itself
// (text/plain, UTF-8, CR LF). Both renditions come from one scan; nothing is noticed (Go's
// conversion gave the notices). Returns 1, or 0 with `flavours` empty when memory ran out.
int BuildClipboardFlavours(std::string_view source, const ProfileSettings& settings, int b_css,
                           std::vector<ClipboardFlavour>& flavours);
// The same with the looks of `style` (a theme's) instead of those built from `settings`.
int BuildClipboardFlavours(std::string_view source, const ProfileSettings& settings,
                           const StyleRecord& style, int b_css,
                           std::vector<ClipboardFlavour>& flavours);
