#include "render/rich_text.h"

#include "base/format.h"
#include "render/css_rules.h"
#include "render/html_writer.h"
#include "render/rendition.h"

#include <algorithm>

namespace {

// A value of `light`'s that ends in a colour, with that colour as CSS light-dark() of it and
// `dark`'s where `dark` has the same value but for its colour: "inset 3px 0 light-dark(#A,#B)".
// Other values (bold, italic, sizes) cannot switch, and stay `light`'s.
std::string DualValue(const std::string& light, const std::string& dark) {
    const std::size_t hash = light.rfind('#');
    if (light == dark || hash == std::string::npos || dark.size() < hash ||
        dark.compare(0, hash + 1, light, 0, hash + 1) != 0) {
        return light;
    }
    std::string value = light.substr(0, hash);
    value.append("light-dark(").append(light, hash).append(",").append(dark, hash).append(")");
    return value;
}

// The declarations of `light` as a style attribute's value, each colour switching to `dark`'s
// (the same rule under the dark theme) when there is one; a background that only the dark theme
// gives is transparent in the light scheme.
std::string InlineStyle(const CssRule& light, const CssRule* dark) {
    if (dark == nullptr) {
        return InlineStyle(light);
    }
    CssRule dual{light.selector, {}};
    for (const CssDeclaration& d : light.declarations) {
        CssDeclaration both = d;
        for (const CssDeclaration& e : dark->declarations) {
            if (e.property == d.property) {
                both.value = DualValue(d.value, e.value);
            }
        }
        dual.declarations.push_back(std::move(both));
    }
    for (const CssDeclaration& e : dark->declarations) {
        const bool in_light =
            std::any_of(light.declarations.begin(), light.declarations.end(),
                        [&](const CssDeclaration& d) { return d.property == e.property; });
        if (!in_light && e.property == "background-color") {
            std::string value = "light-dark(transparent,";
            value.append(e.value).append(")");
            dual.declarations.push_back({e.property, std::move(value)});
        }
    }
    return InlineStyle(dual);
}

HtmlTags Tags(const StyleRecord& style, const StyleRecord* dark, bool css) {
    if (!css) {
        return ChoosePieces(style, false).tags;
    }
    // Each class's rule as its span's style attribute: the targets keep no style sheet.
    HtmlTags tags;
    for (std::size_t i = 1; i < kSpanClassCount; ++i) {
        if (style.classes[i].on) {
            CssRule dark_rule;
            if (dark != nullptr) {
                dark_rule = ClassRule(*dark, SpanClass(i));
            }
            tags.open[i] =
                "<code style=\"" +
                InlineStyle(ClassRule(style, SpanClass(i)), dark ? &dark_rule : nullptr) + "\">";
            tags.close[i] = "</code>";
        }
    }
    // A line number is real text here, in its colour alone: the rule's other properties serve
    // the number that a style sheet generates.
    const CssRule number{"", {{"color", CssColour(style.number_colour)}}};
    CssRule dark_number;
    if (dark != nullptr) {
        dark_number = {"", {{"color", CssColour(dark->number_colour)}}};
    }
    tags.number_open =
        "<span style=\"" + InlineStyle(number, dark ? &dark_number : nullptr) + "\">";
    tags.number_close = " </span>";
    const auto marked = [](const StyleRecord& looks) {
        for (CssRule& rule : LineRules(looks)) {
            if (rule.selector == ".cpp_marked") {
                return rule;
            }
        }
        return CssRule{};
    };
    CssRule dark_mark;
    if (dark != nullptr) {
        dark_mark = marked(*dark);
    }
    tags.mark_open =
        "<span style=\"" + InlineStyle(marked(style), dark ? &dark_mark : nullptr) + "\">";
    tags.mark_close = "</span>";
    return tags;
}

std::string Frame(const StyleRecord& style, const StyleRecord* dark, std::string_view body) {
    // Font, size, text colour (and a background, should the style give one) stand on the outer
    // element in both styles: an editor that takes the fragment has no other source for them.
    // The <pre> repeats them for importers that do not pass a table's style on to its cell.
    CssRule dark_text;
    if (dark != nullptr) {
        dark_text = ClassRule(*dark, SpanClass::Text);
    }
    std::string text_style =
        InlineStyle(ClassRule(style, SpanClass::Text), dark ? &dark_text : nullptr);
    if (dark != nullptr) {
        // The reader's scheme picks each light-dark() colour, here and in every span inside.
        text_style += ";color-scheme:light dark";
    }
    std::string out;
    out.reserve(body.size() + 512);
    if (style.frame) {
        // Both styles show the frame's colours; font markup's own border colour attributes are
        // understood by no editor today.
        CssRule dark_frame;
        if (dark != nullptr) {
            dark_frame = FrameRule(*dark);
        }
        std::string frame = InlineStyle(FrameRule(style), dark ? &dark_frame : nullptr);
        frame.append(";").append(text_style);
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

std::string Build(std::string_view source, const ProfileSettings& settings,
                  const StyleRecord& style, const StyleRecord* dark, int b_css) {
    Prepared prepared;
    if (!Prepare(settings, style, source, b_css != 0, nullptr, prepared, false)) {
        return {};
    }
    const HtmlTags tags = Tags(style, dark, b_css != 0);
    std::string body;
    BufferedText out(body);
    out.Reserve(prepared.escaped.size() + prepared.escaped.size() / 2);
    HtmlFormat format(out, tags, prepared.escaped, prepared.source_start, false, false);
    Rendition<HtmlFormat> writer(format, prepared, style, source);
    if (!writer.Start() || !Scan(prepared, writer.Sink(), nullptr)) {
        return {};
    }
    writer.Finish();
    return !out.Flush() ? std::string() : Frame(style, dark, body);
}

} // namespace

HtmlTags RichTextTags(const StyleRecord& style, bool css) {
    return Tags(style, nullptr, css);
}

std::string FrameRichText(const StyleRecord& style, std::string_view body) {
    return Frame(style, nullptr, body);
}

std::string BuildRichText(std::string_view source, const ProfileSettings& settings,
                          const StyleRecord& style, int b_css) {
    return Build(source, settings, style, nullptr, b_css);
}

std::string BuildRichText(std::string_view source, const ProfileSettings& settings,
                          const StyleRecord& style, const StyleRecord& dark) {
    return Build(source, settings, style, &dark, 1);
}

std::string BuildRichText(std::string_view source, const ProfileSettings& settings, int b_css) {
    StyleRecord style;
    return BuildStyle(settings, style) ? BuildRichText(source, settings, style, b_css)
                                       : std::string();
}
