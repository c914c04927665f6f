#pragma once
// The fixed texts of one conversion: the opening and closing pieces and the tags, chosen from the
// style.

#include "lexing/span.h"
#include "style/style_record.h"

#include <string>

// The tags the HTML writer puts into the code: each class's open and close tags (empty for a
// class that is off), and those of the line numbers and marked lines.
struct HtmlTags {
    std::string open[kSpanClassCount];
    std::string close[kSpanClassCount];
    std::string number_open;  // before a line's number, padded to one width
    std::string number_close; // after it
    std::string mark_open;    // around a marked line
    std::string mark_close;
};

struct HtmlPieces {
    std::string opening;
    std::string closing;
    HtmlTags tags;
};

// The pieces for font markup (`css` false) or CSS classes.
HtmlPieces ChoosePieces(const StyleRecord& style, bool css);

// Font markup's tags for a look: the colour's font tag, and b, i and a background span where the
// look has them.
std::string FontOpenTag(const ClassStyle& look);
std::string FontCloseTag(const ClassStyle& look);
