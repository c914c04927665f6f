#pragma once
// Line numbers and marked lines, opt-in: the numbers and marks of each line, which the writers
// put around the lines.
//
// CSS classes: each number is an empty <span class="cpp_line_number"> whose style sheet rule
// shows its data-line attribute as generated content, so that a browser shows the numbers in a
// column beside the code but its text (select-all, copy, innerText) is the source alone; the
// code is an inline block as wide as its longest line, and a marked line an inline block
// (cpp_marked) as wide as the code. Font markup, which keeps no style sheet: the numbers are
// real text, padded to one width, and a marked line carries its background inline.

#include "settings/marked_lines.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Numbers and marks line by line: the numbers padded with spaces on the left to the width of the
// last one.
class LineNumbering {
public:
    // For `count` lines from the first line of `style`, marked as it says. Each number's text
    // is `before`, the number, `after`. False when memory runs out.
    bool Start(const StyleRecord& style, std::size_t count, std::string_view before = {},
               std::string_view after = {}) noexcept;
    // The same for the line settings of `settings` (not marked at all when the list is
    // malformed).
    bool Start(const ProfileSettings& settings, std::size_t count, std::string_view before = {},
               std::string_view after = {}) noexcept;
    // The current line's number in its text, and whether the line is marked.
    const std::string& Text() const noexcept { return m_text; }
    int64_t Number() const noexcept { return m_number; }
    bool Marked() noexcept;
    bool AnyMarked() const noexcept { return !m_marks.empty(); }
    // On to the next line.
    void Next() noexcept;

private:
    std::vector<LineRange> m_marks;
    std::size_t m_next_mark = 0;
    int64_t m_number = 0;
    std::string m_text;
    std::size_t m_digits = 0; // where the digits start in m_text
    std::size_t m_width = 0;
};
