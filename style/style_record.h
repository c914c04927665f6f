#pragma once
// The looks of a conversion, built once from its settings: every rendition takes its colours,
// backgrounds, bold and italic, the frame, the font size and the line numbers' and marks' looks
// from this record and from nothing else.

#include "lexing/span.h"
#include "settings/marked_lines.h"
#include "settings/profile_settings.h"

#include <cstdint>
#include <optional>
#include <vector>

inline constexpr uint32_t kLineNumberColor = 0x666666; // 5.7:1 on white, 5.2:1 on the mark

// The look of one class. Colours are 0xRRGGBB, all 32 bits as the settings hold them: the
// writers that print them print every digit, as they always have.
struct ClassStyle {
    bool on = false; // off: no span is written for the class
    uint32_t colour = 0;
    std::optional<uint32_t> background; // none: the background shows through
    bool bold = false;
    bool italic = false;
};

struct StyleRecord {
    // One row per class. The text's row gives the colour (and bold, italic) of what lies in no
    // span, and its background is the code box's.
    ClassStyle classes[kSpanClassCount];

    bool frame = false; // a one-cell table around the code
    int32_t frame_width = 0;
    bool frame_width_percent = false;
    uint32_t frame_light = 0; // top and left border
    uint32_t frame_dark = 0;  // right and bottom border
    int32_t font_size = 0;    // CSS pixels

    bool numbers = false;         // the lines are numbered
    int64_t first_line = 1;       // the first line's number, 0 to kMaxLineNumber
    std::vector<LineRange> marks; // the marked lines, joined and sorted
    uint32_t number_colour = kLineNumberColor;
    uint32_t mark_colour = kDefaultMarkColor; // the marked lines' background
    uint32_t mark_edge = 0;                   // the edge on their left

    const ClassStyle& Of(SpanClass c) const { return classes[ClassIndex(c)]; }
    ClassStyle& Of(SpanClass c) { return classes[ClassIndex(c)]; }
    // The classes that get spans.
    ClassSet Classes() const;
    // Whether the lines are numbered or marked: every output is as without them otherwise.
    bool LinesWanted() const { return numbers || !marks.empty(); }
};

// The record for `settings`: keywords and comments on in their colours, the optional classes as
// their colours say, the text black on no background, the frame, the font size and the lines as
// set (a malformed marked-lines list marks nothing). Returns 1, or 0 when memory ran out.
int BuildStyle(const ProfileSettings& settings, StyleRecord& style) noexcept;

// The mark colour darkened until it stands at 3:1 against white: the edge that makes a marked
// line stand out where its light background alone would not.
uint32_t MarkEdgeColor(uint32_t mark) noexcept;
