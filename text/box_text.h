#pragma once
// Text as the dialog's multi-line boxes hold it. The boxes hold Unicode: text set into one is
// read as UTF-8, and text read back comes as UTF-8 with every line break as CR LF. These are the
// platform-free rules of that way, for the command line, which has no box; a test of the dialog
// checks them against the real boxes.

#include <cstddef>
#include <string>
#include <string_view>

// True when `text` is valid UTF-8 as the box reads it: shortest forms only, no surrogates,
// nothing above U+10FFFF (noncharacters are valid).
bool IsValidUtf8(std::string_view text) noexcept;

// What a box gives back for `text` set into it: one leading byte-order mark dropped, each byte
// that starts no valid UTF-8 sequence as U+FFFD, and every line break (CR LF, a lone CR or LF,
// U+2028, U+2029, and U+FDD0 and U+FDD1, which the box takes as block breaks) as CR LF. The box
// turns CR LF into LF before it breaks lines, so CR CR LF is one break, not two.
std::string ThroughTextBox(std::string_view text);

// True when ThroughTextBox gives `text` back unchanged and it holds no line break: valid UTF-8
// with none of the breaks above, nor a leading byte-order mark when `at_start` (the box drops
// one only at the start of its text). Allocates nothing.
bool SurvivesTextBox(std::string_view text, bool at_start = true) noexcept;

// Each byte as the Latin-1 character of that number, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// A file's bytes as the source box holds them once opened: their text by SourceTextOf
// (text/source_text.h), then through the box (SourceTextInTextBox).
std::string OpenedInTextBox(std::string_view bytes);

// Text that SourceTextOf gave, as the box holds it: ThroughTextBox, at memchr speed when it holds
// nothing but LF breaks to change.
std::string SourceTextInTextBox(std::string_view text);
