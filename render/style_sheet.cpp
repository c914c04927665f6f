#include "render/style_sheet.h"

#include "render/css_rules.h"

std::string BuildStyleSheet(const StyleRecord& style) {
    std::string sheet = "<style type=\"text/css\">\r\n";
    for (const CssRule& rule : SheetRules(style)) {
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
    sheet += "</style>\r\n";
    return sheet;
}

std::string BuildStyleSheet(const ProfileSettings& settings) {
    StyleRecord style;
    return BuildStyle(settings, style) != 0 ? BuildStyleSheet(style) : std::string();
}
