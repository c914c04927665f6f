#include "style/style_record.h"

#include "themes/contrast.h"
#include "themes/theme.h"

namespace {

ClassStyle Colour(uint32_t colour) {
    ClassStyle style;
    style.on = true;
    style.colour = colour;
    return style;
}

} // namespace

ClassSet StyleRecord::Classes() const {
    ClassSet set;
    for (std::size_t i = 1; i < kSpanClassCount; ++i) {
        if (classes[i].on) {
            set.Add(SpanClass(i));
        }
    }
    return set;
}

int BuildStyle(const ProfileSettings& s, StyleRecord& style) noexcept {
    style = StyleRecord();
    style.Of(SpanClass::Text) = Colour(0x000000);
    style.Of(SpanClass::Keyword) = Colour(s.n_keyword_color);
    style.Of(SpanClass::Comment) = Colour(s.n_comment_color);
    for (const ClassColourField& c : kClassColourFields) {
        if (s.*c.field >= 0) {
            style.Of(c.span) = Colour(uint32_t(s.*c.field));
        }
    }
    style.frame = s.b_use_table != 0;
    style.frame_width = s.n_table_width;
    style.frame_width_percent = s.b_table_width_percent != 0;
    style.frame_light = s.n_table_lt_color;
    style.frame_dark = s.n_table_dk_color;
    style.font_size = s.n_font_size;
    style.numbers = s.b_line_numbers != 0;
    style.first_line = FirstLineNumber(s);
    if (ParseMarkedLines(s.MarkedLines(), style.marks) == MarkedLinesParse::OutOfMemory) {
        return 0;
    }
    style.mark_colour = s.n_mark_color;
    style.mark_edge = MarkEdgeColor(s.n_mark_color);
    return 1;
}

uint32_t MarkEdgeColor(uint32_t mark) noexcept {
    return EdgeColour(mark, kPageBackground);
}
