#include "render/rich_text.h"

#include "base/format.h"
#include "render/css_rules.h"
#include "render/html_writer.h"
#include "render/rendition.h"

HtmlTags RichTextTags(const StyleRecord& style, bool css) {
    if (!css) {
        return ChoosePieces(style, false).tags;
    }
    // Each class's rule as its span's style attribute: the targets keep no style sheet.
    HtmlTags tags;
    for (std::size_t i = 1; i < kSpanClassCount; ++i) {
        if (style.classes[i].on) {
            tags.open[i] = "<code style=\"" + InlineStyle(ClassRule(style, SpanClass(i))) + "\">";
            tags.close[i] = "</code>";
        }
    }
    // A line number is real text here, in its colour alone: the rule's other properties serve
    // the number that a style sheet generates.
    tags.number_open = "<span style=\"color:" + CssColour(style.number_colour) + "\">";
    tags.number_close = " </span>";
    for (const CssRule& rule : LineRules(style)) {
        if (rule.selector == ".cpp_marked") {
            tags.mark_open = "<span style=\"" + InlineStyle(rule) + "\">";
        }
    }
    tags.mark_close = "</span>";
    return tags;
}

std::string FrameRichText(const StyleRecord& style, std::string_view body) {
    // Font, size, text colour (and a background, should the style give one) stand on the outer
    // element in both styles: an editor that takes the fragment has no other source for them.
    // The <pre> repeats them for importers that do not pass a table's style on to its cell.
    const std::string text_style = InlineStyle(ClassRule(style, SpanClass::Text));
    std::string out;
    out.reserve(body.size() + 512);
    if (style.frame) {
        // Both styles show the frame's colours; font markup's own border colour attributes are
        // understood by no editor today.
        std::string frame = InlineStyle(FrameRule(style));
        frame += ";" + text_style;
        tarvo::AppendFormat(out,
                            "<table cellspacing=\"0\" align=\"center\" cellpadding=\"10\" "
                            "width=\"%d%s\" border=\"2\" style=\"%s\"><tr><td>",
                            int(style.frame_width), style.frame_width_percent ? "%" : "",
                            frame.c_str());
    }
    // A browser drops a line end right after <pre>, so the source's first line stays as it is.
    // Plain spaces inside <pre> are what word processors keep (LibreOffice drops the runs of
    // non-breaking spaces there, and ignores white-space on other elements), so the text stays
    // the converter's; white-space:pre keeps them for an editor that turns the <pre> into a
    // block of its own.
    out += "<pre style=\"" + text_style + ";white-space:pre\">\r\n";
    out += body;
    // A browser and Writer alike show no line after a last line end, so one more ends the last
    // line: a source that ends with a line break keeps it, an empty last line included.
    out += "\r\n</pre>";
    if (style.frame) {
        out += "</td></tr></table>";
    }
    return out;
}

std::string BuildRichText(std::string_view source, const ProfileSettings& settings,
                          const StyleRecord& style, int b_css) {
    Prepared prepared;
    if (!Prepare(settings, style, source, b_css != 0, nullptr, prepared, false)) {
        return {};
    }
    const HtmlTags tags = RichTextTags(style, b_css != 0);
    std::string body;
    BufferedText out(body);
    out.Reserve(prepared.escaped.size() + prepared.escaped.size() / 2);
    HtmlFormat format(out, tags, prepared.escaped, prepared.source_start, false, false);
    Rendition<HtmlFormat> writer(format, prepared, style, source);
    if (!writer.Start() || !Scan(prepared, writer.Sink(), nullptr)) {
        return {};
    }
    writer.Finish();
    return !out.Flush() ? std::string() : FrameRichText(style, body);
}

std::string BuildRichText(std::string_view source, const ProfileSettings& settings, int b_css) {
    StyleRecord style;
    return BuildStyle(settings, style) ? BuildRichText(source, settings, style, b_css)
                                       : std::string();
}
