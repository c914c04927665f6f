#include "render/style_sheet.h"

#include <gtest/gtest.h>

#include <string>

TEST(BuildStyleSheet, DefaultSettingsLineByLine) {
    ProfileSettings s;
    s.n_font_size = 13;
    s.n_keyword_color = 0x0000FF;
    s.n_comment_color = 0x008000;
    s.n_table_lt_color = 0xA8C8E8;
    s.n_table_dk_color = 0x4084D0;
    EXPECT_EQ(BuildStyleSheet(s), "<style type=\"text/css\">\r\n"
                                  ".cpp_text {\r\n"
                                  "\tfont-family : monospace;\r\n"
                                  "\tfont-size : 13px;\r\n"
                                  "\tcolor : #000000;\r\n"
                                  "}\r\n"
                                  ".cpp_keyword {\r\n"
                                  "\tfont-family : monospace;\r\n"
                                  "\tfont-size : 13px;\r\n"
                                  "\tcolor : #0000FF;\r\n"
                                  "}\r\n"
                                  ".cpp_comment {\r\n"
                                  "\tfont-family : monospace;\r\n"
                                  "\tfont-size : 13px;\r\n"
                                  "\tcolor : #008000;\r\n"
                                  "}\r\n"
                                  ".cpp {\r\n"
                                  "\tborder-top-color    : #A8C8E8;\r\n"
                                  "\tborder-left-color   : #A8C8E8;\r\n"
                                  "\tborder-right-color  : #4084D0;\r\n"
                                  "\tborder-bottom-color : #4084D0;\r\n"
                                  "\tborder-style : solid;\r\n"
                                  "}\r\n"
                                  "</style>\r\n");
}

TEST(BuildStyleSheet, ExtremeValuesArePrintedWhole) {
    ProfileSettings s;
    s.n_font_size = INT32_MIN;
    s.n_keyword_color = 0xFFFFFFFF;
    s.n_comment_color = 0;
    s.n_table_lt_color = 0x1000000;
    s.n_table_dk_color = 0xABCDEF12;
    const std::string css = BuildStyleSheet(s);
    EXPECT_NE(css.find("\tfont-size : -2147483648px;\r\n"), std::string::npos);
    EXPECT_NE(css.find("\tcolor : #FFFFFFFF;\r\n"), std::string::npos);
    EXPECT_NE(css.find("\tcolor : #000000;\r\n}\r\n.cpp {"), std::string::npos);
    EXPECT_NE(css.find("\tborder-left-color   : #1000000;\r\n"), std::string::npos);
    EXPECT_NE(css.find("\tborder-bottom-color : #ABCDEF12;\r\n"), std::string::npos);
    EXPECT_EQ(css, BuildStyleSheet(s));
    // 24 lines, each ended by CR LF.
    std::size_t lines = 0;
    for (std::size_t i = css.find("\r\n"); i != std::string::npos; i = css.find("\r\n", i + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 24u);
    EXPECT_EQ(css.substr(css.size() - 2), "\r\n");
}

TEST(BuildStyleSheet, OptionalClassesAddTheirRulesOnlyWhileOn) {
    ProfileSettings s;
    s.n_font_size = 9;
    const std::string plain = BuildStyleSheet(s);
    s.n_char_color = 0x8B4513;
    s.n_preproc_color = 0;
    const std::string sheet = BuildStyleSheet(s);
    const std::string added =
        ".cpp_char {\r\n\tfont-family : monospace;\r\n\tfont-size : 9px;\r\n"
        "\tcolor : #8B4513;\r\n}\r\n"
        ".cpp_preproc {\r\n\tfont-family : monospace;\r\n\tfont-size : 9px;\r\n"
        "\tcolor : #000000;\r\n}\r\n";
    std::string expected = plain;
    expected.insert(plain.find(".cpp {"), added);
    EXPECT_EQ(sheet, expected);
    s.n_char_color = kClassOff;
    s.n_preproc_color = -5;
    EXPECT_EQ(BuildStyleSheet(s), plain);
}

TEST(BuildStyleSheet, BoldItalicAndBackgroundsOfTheStyleRecord) {
    ProfileSettings s;
    s.n_font_size = 13;
    s.n_keyword_color = 0x0000FF;
    StyleRecord style;
    ASSERT_EQ(BuildStyle(s, style), 1);
    const std::string plain = BuildStyleSheet(style);
    EXPECT_EQ(plain, BuildStyleSheet(s));
    style.Of(SpanClass::Keyword).bold = true;
    style.Of(SpanClass::Keyword).italic = true;
    style.Of(SpanClass::Keyword).background = 0x112233;
    style.Of(SpanClass::Text).background = 0xFFFFF0;
    const std::string sheet = BuildStyleSheet(style);
    EXPECT_NE(sheet.find(".cpp_keyword {\r\n\tfont-family : monospace;\r\n\tfont-size : 13px;\r\n"
                         "\tcolor : #0000FF;\r\n\tfont-weight : bold;\r\n\tfont-style : italic;\r\n"
                         "\tbackground-color : #112233;\r\n}\r\n"),
              std::string::npos)
        << sheet;
    // The text's background is the code box's, framed or not.
    EXPECT_NE(sheet.find("\tcolor : #000000;\r\n\tdisplay : block;\r\n"
                         "\tbackground-color : #FFFFF0;\r\n}\r\n.cpp_keyword {"),
              std::string::npos);
    EXPECT_NE(sheet.find("\tborder-style : solid;\r\n\tbackground-color : #FFFFF0;\r\n}\r\n"),
              std::string::npos);
}
