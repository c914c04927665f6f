#include "render/clipboard_data.h"

#include "render/rich_text.h"
#include "render/rtf_text.h"

#include <exception>

namespace {

int Build(std::string_view source, std::string_view html, const ProfileSettings& settings,
          int b_css, std::vector<ClipboardFlavour>& flavours) {
    std::string rtf;
    if (!BuildRtf(html, settings, b_css, rtf)) {
        return 0;
    }
    flavours.push_back({kMimeRtf, rtf});
    flavours.push_back({"application/rtf", rtf});
    flavours.push_back({"text/richtext", std::move(rtf)});
    flavours.push_back({kMimeHtml, BuildRichText(html, settings, b_css)});
    flavours.push_back({kMimePlain, std::string(source)});
    return 1;
}

} // namespace

int BuildClipboardFlavours(std::string_view source, std::string_view html,
                           const ProfileSettings& settings, int b_css,
                           std::vector<ClipboardFlavour>& flavours) {
    flavours.clear();
    int result = 0;
    try {
        result = Build(source, html, settings, b_css, flavours);
    } catch (const std::exception&) {
        // Only the standard library throws here, and only when memory runs out.
        result = 0;
    }
    if (result == 0) {
        std::vector<ClipboardFlavour>().swap(flavours);
    }
    return result;
}
