#include "render/clipboard_data.h"

#include "render/html_writer.h"
#include "render/rendition.h"
#include "render/rich_text.h"
#include "render/rtf_writer.h"

namespace {

int Build(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
          bool css, std::vector<ClipboardFlavour>& flavours) {
    Prepared prepared;
    if (!Prepare(settings, style, source, css, nullptr, prepared)) {
        return 0;
    }
    std::string rtf_text;
    RtfFormat rtf(style, rtf_text);
    Rendition<RtfFormat> rtf_writer(rtf, prepared, style, source);

    const HtmlTags tags = RichTextTags(style, css);
    std::string body;
    BufferedText out(body);
    HtmlFormat html(out, tags, prepared.escaped, prepared.source_start, false, false);
    Rendition<HtmlFormat> html_writer(html, prepared, style, source);

    TeeSink both(rtf_writer.Sink(), html_writer.Sink());
    if (!rtf_writer.Start() || !html_writer.Start() || !Scan(prepared, both, nullptr)) {
        return 0;
    }
    rtf_writer.Finish();
    html_writer.Finish();
    if (!out.Flush()) {
        return 0;
    }
    std::string document;
    if (!rtf.Finish(document)) {
        return 0;
    }
    flavours.push_back({kMimeRtf, document});
    flavours.push_back({"application/rtf", document});
    flavours.push_back({"text/richtext", std::move(document)});
    flavours.push_back({kMimeHtml, FrameRichText(style, body)});
    flavours.push_back({kMimePlain, std::string(source)});
    return 1;
}

} // namespace

int BuildClipboardFlavours(std::string_view source, const ProfileSettings& settings, int b_css,
                           std::vector<ClipboardFlavour>& flavours) {
    StyleRecord style;
    if (!BuildStyle(settings, style)) {
        std::vector<ClipboardFlavour>().swap(flavours);
        return 0;
    }
    return BuildClipboardFlavours(source, settings, style, b_css, flavours);
}

int BuildClipboardFlavours(std::string_view source, const ProfileSettings& settings,
                           const StyleRecord& style, int b_css,
                           std::vector<ClipboardFlavour>& flavours) {
    flavours.clear();
    const int result =
        CatchingMemory([&] { return Build(source, settings, style, b_css != 0, flavours); });
    if (result == 0) {
        std::vector<ClipboardFlavour>().swap(flavours);
    }
    return result;
}
