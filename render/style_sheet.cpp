#include "render/style_sheet.h"

#include "render/line_numbers.h"

#include <cstdio>
#include <cstring>

std::string BuildStyleSheet(const ProfileSettings& s) {
    // Room for five numbers of at most 11 characters each beyond the fixed text.
    char text[1024];
    const int length = std::snprintf(
        text, sizeof text,
        "<style type=\"text/css\">\r\n"
        ".cpp_text {\r\n"
        "\tfont-family : monospace;\r\n"
        "\tfont-size : %dpx;\r\n"
        "\tcolor : #000000;\r\n"
        "}\r\n"
        ".cpp_keyword {\r\n"
        "\tfont-family : monospace;\r\n"
        "\tfont-size : %dpx;\r\n"
        "\tcolor : #%06X;\r\n"
        "}\r\n"
        ".cpp_comment {\r\n"
        "\tfont-family : monospace;\r\n"
        "\tfont-size : %dpx;\r\n"
        "\tcolor : #%06X;\r\n"
        "}\r\n"
        ".cpp {\r\n"
        "\tborder-top-color    : #%06X;\r\n"
        "\tborder-left-color   : #%06X;\r\n"
        "\tborder-right-color  : #%06X;\r\n"
        "\tborder-bottom-color : #%06X;\r\n"
        "\tborder-style : solid;\r\n"
        "}\r\n"
        "</style>\r\n",
        int(s.n_font_size), int(s.n_font_size), unsigned(s.n_keyword_color), int(s.n_font_size),
        unsigned(s.n_comment_color), unsigned(s.n_table_lt_color), unsigned(s.n_table_lt_color),
        unsigned(s.n_table_dk_color), unsigned(s.n_table_dk_color));
    std::string sheet(text, std::size_t(length));
    // The optional classes' rules, only for those that are on, after the comment's.
    std::size_t at = sheet.find(".cpp {");
    for (const ClassColourField& c : kClassColourFields) {
        if (s.*c.field >= 0) {
            char rule[256];
            const int n = std::snprintf(rule, sizeof rule,
                                        ".%s {\r\n"
                                        "\tfont-family : monospace;\r\n"
                                        "\tfont-size : %dpx;\r\n"
                                        "\tcolor : #%06X;\r\n"
                                        "}\r\n",
                                        c.css_class, int(s.n_font_size), unsigned(s.*c.field));
            sheet.insert(at, rule, std::size_t(n));
            at += std::size_t(n);
        }
    }
    if (LinesWanted(s)) {
        sheet.insert(sheet.size() - std::strlen("</style>\r\n"), LineStyleRules(s));
    }
    return sheet;
}
