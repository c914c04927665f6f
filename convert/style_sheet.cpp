#include "convert/style_sheet.h"

#include "convert/line_numbers.h"

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
    if (LinesWanted(s)) {
        sheet.insert(sheet.size() - std::strlen("</style>\r\n"), LineStyleRules(s));
    }
    return sheet;
}
