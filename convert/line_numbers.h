#pragma once
// Line numbers and marked lines, opt-in: a pass over the converter's output lines.
//
// CSS classes: each number is an empty <span class="cpp_line_number"> whose style sheet rule
// shows its data-line attribute as generated content, so that a browser shows the numbers in a
// column beside the code but its text (select-all, copy, innerText) is the source alone; the
// code is an inline block as wide as its longest line, and a marked line an inline block
// (cpp_marked) as wide as the code. Font markup, which keeps no style sheet: the numbers are
// real text, padded to one width, and a marked line carries its background inline.

#include "convert/profile_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr uint32_t kLineNumberColor = 0x666666; // 5.7:1 on white, 5.2:1 on the mark
inline constexpr int64_t kMaxLineNumber = 999999999;   // numbers, first line and marks

// Lines `first` to `last` in shown numbers, first <= last.
struct LineRange {
    int64_t first = 0;
    int64_t last = 0;
};

// Reads a line number: decimal digits alone, from 0 to kMaxLineNumber. False, `value`
// untouched, for anything else.
bool ReadLineNumber(std::string_view text, int64_t& value) noexcept;
// The message for a value that is none: "'-1' is not a line number (from 0 to 999999999)".
std::string NotALineNumber(std::string_view text);

enum class MarkedLinesParse { Ok, Malformed, OutOfMemory };

// Reads a marked-lines list: line numbers and ranges "N-M" (N <= M) separated by commas, with
// blanks allowed around each; empty or blank: no lines. Numbers run from 0 to kMaxLineNumber.
// On Ok `ranges` holds them sorted by their first line, overlapping and touching ones joined.
// On Malformed `problem` says what is wrong ("'5-3' runs backwards: write 3-5"); `ranges` is then
// empty.
MarkedLinesParse ParseMarkedLines(std::string_view text, std::vector<LineRange>& ranges,
                                  std::string* problem = nullptr) noexcept;

// Whether a conversion with `settings` numbers or marks lines: numbers on, or a well-formed,
// non-empty marked-lines list. When false every output is as without these settings.
bool LinesWanted(const ProfileSettings& settings) noexcept;

// The first line's number as used: negative ones count as 0, big ones as kMaxLineNumber.
int64_t FirstLineNumber(const ProfileSettings& settings) noexcept;

// Numbers and marks line by line, for every target that writes lines of its own (the pass
// below; RTF): the numbers padded with spaces on the left to the width of the last one.
class LineNumbering {
public:
    // For `count` lines from the first line of `settings`, marked as its list says (not at all
    // when the list is malformed). Each number's text is `before`, the number, `after`. False
    // when memory runs out.
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

// Rewrites `html`, ConvertSource's highlighted text for `settings` and `css`, with the numbers
// and marks that `settings` asks for; call it only when LinesWanted. For CSS the opening piece's
// code element gets the class cpp_lines and the line break after it goes, and the closing piece
// loses its leading line break, so that the text is exactly the source's lines. Returns false
// when memory ran out (`html` is then unchanged).
bool NumberLines(const ProfileSettings& settings, bool css, std::string& html);

// The part of ConvertSource's result `html` between its opening and closing piece, for either
// form (with or without numbers and marks).
std::string_view ConvertedBody(std::string_view html, const ProfileSettings& settings, bool css);

// The style sheet rules for numbers and marks, in BuildStyleSheet's form (CR LF line ends).
std::string LineStyleRules(const ProfileSettings& settings);

// The mark colour darkened until it stands at 3:1 against white: the edge that makes a marked
// line stand out where its light background alone would not.
uint32_t MarkEdgeColor(uint32_t mark) noexcept;

// Copies the line settings from `from` into `to`. False when memory runs out.
bool CopyLineSettings(const ProfileSettings& from, ProfileSettings& to) noexcept;
