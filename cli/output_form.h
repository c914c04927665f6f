#pragma once
// The renditions that tarvo-convert writes: the converter's HTML, or RTF, LaTeX or the
// terminal's colours instead.

#include "render/converter.h"
#include "settings/profile_settings.h"

#include <string>
#include <string_view>

enum class OutputForm { Html, Rtf, Latex, Ansi };

// The form that `option` asks for (--rtf, --latex or --ansi); Html for any other.
OutputForm FormOfOption(std::string_view option) noexcept;

// Why the options do not go together, or null when they do.
const char* FormProblem(OutputForm form, bool font_markup, bool style_sheet, bool batch,
                        bool fragment) noexcept;

// The ending of -d's pages in `form`.
std::string_view PageExtension(OutputForm form) noexcept;

// Converts `source` with `settings` into `out` in `form`: HTML in CSS classes or, with `b_css`
// zero, font markup; LaTeX as a complete document with `document`, else the fragment. Returns 1,
// or 0 when memory ran out.
int ConvertInForm(OutputForm form, ProfileSettings& settings, std::string_view source, int b_css,
                  bool document, std::string& out, ConvertObserver* observer);
// The same with the looks of `style` (a theme's), or of `settings` where `style` is null.
int ConvertInForm(OutputForm form, ProfileSettings& settings, const StyleRecord* style,
                  std::string_view source, int b_css, bool document, std::string& out,
                  ConvertObserver* observer);
