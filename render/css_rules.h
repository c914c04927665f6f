#pragma once
// The CSS of the classes, from the style record: the rules that the style sheet prints and that
// the clipboard's HTML puts inline, each written here once.

#include "lexing/span.h"
#include "style/style_record.h"

#include <string>
#include <string_view>
#include <vector>

struct CssDeclaration {
    std::string property;
    std::string value;
    std::size_t spaces = 1; // before the colon in the style sheet
};

struct CssRule {
    std::string selector; // ".cpp_keyword"
    std::vector<CssDeclaration> declarations;
};

// The class name of the spans of class `c` ("cpp_keyword"); "cpp_text" for the text.
const char* CssClassName(SpanClass c);

// The rule of class `c`: font, size, colour, and bold, italic and background where set. The
// text's rule also sets the code box's background, where there is one.
CssRule ClassRule(const StyleRecord& style, SpanClass c);
// The frame's rule (".cpp"): its border colours and style.
CssRule FrameRule(const StyleRecord& style);
// The rules of the code's lines and the line numbers and marks, in the order of the style sheet.
std::vector<CssRule> LineRules(const StyleRecord& style);

// The rules of the style sheet in their order: text, keyword, comment, each optional class that
// is on, the frame, and with numbers or marks the line rules.
std::vector<CssRule> SheetRules(const StyleRecord& style);

// The declarations as one style attribute's value: "property:value;property:value".
std::string InlineStyle(const CssRule& rule);

// "#" and the colour's hexadecimal digits, upper case, at least six.
std::string CssColour(uint32_t colour);
