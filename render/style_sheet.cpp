#include "render/style_sheet.h"

#include "render/css_rules.h"

#include <string_view>

namespace {

bool Declares(const CssRule& rule, std::string_view property) {
    for (const CssDeclaration& d : rule.declarations) {
        if (d.property == property) {
            return true;
        }
    }
    return false;
}

// With `both`, each class's rule states its weight, slant and background even where they are
// the plain ones, so that the other scheme's rule leaves nothing of its own behind.
void AppendRules(std::string& sheet, const StyleRecord& style, bool both = false) {
    for (CssRule& rule : SheetRules(style)) {
        if (both && Declares(rule, "font-family")) {
            const auto add = [&](const char* property, const char* value) {
                if (!Declares(rule, property)) {
                    rule.declarations.push_back({property, value, 1});
                }
            };
            add("font-weight", "normal");
            add("font-style", "normal");
            if (rule.selector != ".cpp_text") {
                add("background-color", "transparent");
            }
        }
        sheet += rule.selector;
        sheet += " {\r\n";
        for (const CssDeclaration& d : rule.declarations) {
            sheet += '\t';
            sheet += d.property;
            sheet.append(d.spaces, ' ');
            sheet += ": ";
            sheet += d.value;
            sheet += ";\r\n";
        }
        sheet += "}\r\n";
    }
}

} // namespace

std::string BuildStyleSheet(const StyleRecord& style) {
    std::string sheet = "<style type=\"text/css\">\r\n";
    AppendRules(sheet, style);
    sheet += "</style>\r\n";
    return sheet;
}

std::string BuildStyleSheet(const StyleRecord& light, const StyleRecord& dark) {
    // The page's own colours follow the reader's scheme too, so that the code box never stands
    // dark on a light page or light on a dark one.
    std::string sheet =
        "<style type=\"text/css\">\r\n:root {\r\n\tcolor-scheme: light dark;\r\n}\r\n";
    AppendRules(sheet, light, true);
    sheet += "@media (prefers-color-scheme: dark) {\r\n";
    AppendRules(sheet, dark, true);
    sheet += "}\r\n</style>\r\n";
    return sheet;
}

std::string BuildStyleSheet(const ProfileSettings& settings) {
    StyleRecord style;
    return BuildStyle(settings, style) != 0 ? BuildStyleSheet(style) : std::string();
}
