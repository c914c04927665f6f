#pragma once
// The line settings' rules: the marked-lines list and when lines are numbered or marked at all.

#include "settings/profile_settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int64_t kMaxLineNumber = 999999999; // numbers, first line and marks

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
