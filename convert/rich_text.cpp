#include "convert/rich_text.h"

#include "base/format.h"
#include "convert/line_numbers.h"
#include "convert/style_sheet.h"

#include <vector>

namespace {

struct ClassRule {
    std::string name;
    std::string declarations; // "property:value;property:value"
};

std::string_view Trim(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The class rules of a style sheet as BuildStyleSheet writes it: ".name {", one
// "property : value;" per line, "}".
std::vector<ClassRule> ParseClassRules(std::string_view sheet) {
    std::vector<ClassRule> rules;
    std::size_t at = 0;
    while ((at = sheet.find('.', at)) != std::string_view::npos) {
        const std::size_t open = sheet.find('{', at);
        const std::size_t close = sheet.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            break;
        }
        ClassRule rule{std::string(Trim(sheet.substr(at + 1, open - at - 1))), {}};
        std::string_view body = sheet.substr(open + 1, close - open - 1);
        while (!body.empty()) {
            const std::size_t end = body.find(';');
            const std::string_view declaration = body.substr(0, end);
            body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
            const std::size_t colon = declaration.find(':');
            if (colon == std::string_view::npos) {
                continue;
            }
            if (!rule.declarations.empty()) {
                rule.declarations += ';';
            }
            rule.declarations += Trim(declaration.substr(0, colon));
            rule.declarations += ':';
            rule.declarations += Trim(declaration.substr(colon + 1));
        }
        rules.push_back(std::move(rule));
        at = close;
    }
    return rules;
}

const std::string* FindRule(const std::vector<ClassRule>& rules, std::string_view name) {
    for (const ClassRule& rule : rules) {
        if (rule.name == name) {
            return &rule.declarations;
        }
    }
    return nullptr;
}

// ` style="..."` with the rule of class `name`; nothing when there is none.
std::string StyleAttribute(const std::vector<ClassRule>& rules, std::string_view name) {
    const std::string* declarations = FindRule(rules, name);
    return declarations != nullptr ? " style=\"" + *declarations + "\"" : std::string();
}

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
    const std::vector<ClassRule> rules = ParseClassRules(BuildStyleSheet(settings));
    const std::string_view body = ConvertedBody(html, settings, css);

    std::string out;
    out.reserve(body.size() + body.size() / 4 + 512);
    if (table) {
        tarvo::AppendFormat(out,
                            "<table cellspacing=\"0\" align=\"center\" cellpadding=\"10\" "
                            "width=\"%d%s\" border=\"2\"%s><tr><td>",
                            int(settings.n_table_width),
                            settings.b_table_width_percent != 0 ? "%" : "",
                            StyleAttribute(rules, "cpp").c_str());
    }
    // A browser drops a line end right after <pre>, so the source's first line stays as it is.
    out += "<pre";
    if (css) {
        out += StyleAttribute(rules, "cpp_text");
    }
    out += ">\r\n";
    if (css) {
        AppendInlined(out, body, rules);
    } else {
        out += body;
    }
    out += "</pre>";
    if (table) {
        out += "</td></tr></table>";
    }
    return out;
}
