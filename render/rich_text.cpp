#include "render/rich_text.h"

#include "base/format.h"
#include "render/html_spans.h"
#include "render/line_numbers.h"

#include <vector>

namespace {

// `text` with each class="name" inside a tag replaced by the rule of that class as a style
// attribute. The converter escapes every "<" of the source, so each one here opens a tag.
// A line number, an empty element whose number the style sheet shows, becomes real text here,
// since the targets of rich text keep no style sheet.
void AppendInlined(std::string& out, std::string_view text, const std::vector<ClassRule>& rules) {
    constexpr std::string_view kClass = "class=\"";
    constexpr std::string_view kNumber = "<span class=\"cpp_line_number\" data-line=\"";
    constexpr std::string_view kNumberEnd = "\"></span>";
    bool in_tag = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<' && text.substr(i).starts_with(kNumber)) {
            const std::size_t value = i + kNumber.size();
            const std::size_t end = text.find(kNumberEnd, value);
            if (end != std::string_view::npos) {
                // Its colour alone: the rule's other properties serve the generated number.
                tarvo::AppendFormat(out, "<span style=\"color:#%06X\">",
                                    unsigned(kLineNumberColor));
                out += text.substr(value, end - value);
                out += " </span>";
                i = end + kNumberEnd.size() - 1;
                continue;
            }
        }
        if (c == '<') {
            in_tag = true;
        } else if (c == '>') {
            in_tag = false;
        } else if (in_tag && text.substr(i).starts_with(kClass)) {
            const std::size_t name_end = text.find('"', i + kClass.size());
            if (name_end != std::string_view::npos) {
                const std::string_view name =
                    text.substr(i + kClass.size(), name_end - i - kClass.size());
                if (const std::string* declarations = FindRule(rules, name)) {
                    out += "style=\"";
                    out += *declarations;
                    out += '"';
                    i = name_end;
                    continue;
                }
            }
        }
        out += c;
    }
}

} // namespace

std::string BuildRichText(std::string_view html, const ProfileSettings& settings, int b_css) {
    const bool table = settings.b_use_table != 0;
    const bool css = b_css != 0;
    // Both styles show the table's colours; font markup's own border colour attributes are
    // understood by no editor today.
    const std::vector<ClassRule> rules = StyleSheetRules(settings);
    const std::string_view body = ConvertedBody(html, settings, css);
    // Font, size, text colour (and a background, should the sheet give one) stand on the outer
    // element in both styles: an editor that takes the fragment has no other source for them.
    // The <pre> repeats them for importers that do not pass a table's style on to its cell.
    const std::string* text_rule = FindRule(rules, "cpp_text");
    const std::string text_style = text_rule != nullptr ? *text_rule : std::string();

    std::string out;
    out.reserve(body.size() + body.size() / 4 + 512);
    if (table) {
        const std::string* frame = FindRule(rules, "cpp");
        std::string style = frame != nullptr ? *frame : std::string();
        if (!text_style.empty()) {
            style += (style.empty() ? "" : ";") + text_style;
        }
        tarvo::AppendFormat(out,
                            "<table cellspacing=\"0\" align=\"center\" cellpadding=\"10\" "
                            "width=\"%d%s\" border=\"2\" style=\"%s\"><tr><td>",
                            int(settings.n_table_width),
                            settings.b_table_width_percent != 0 ? "%" : "", style.c_str());
    }
    // A browser drops a line end right after <pre>, so the source's first line stays as it is.
    // Plain spaces inside <pre> are what word processors keep (LibreOffice drops the runs of
    // non-breaking spaces there, and ignores white-space on other elements), so the text stays
    // the converter's; white-space:pre keeps them for an editor that turns the <pre> into a
    // block of its own.
    out += "<pre style=\"";
    if (!text_style.empty()) {
        out += text_style + ";";
    }
    out += "white-space:pre\">\r\n";
    if (css) {
        AppendInlined(out, body, rules);
    } else {
        out += body;
    }
    // A browser and Writer alike show no line after a last line end, so one more ends the last
    // line: a source that ends with a line break keeps it, an empty last line included.
    out += "\r\n</pre>";
    if (table) {
        out += "</td></tr></table>";
    }
    return out;
}
