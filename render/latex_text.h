#pragma once
// A conversion as LaTeX: the code in fancyvrb's Verbatim with commandchars, each span a macro
// of its class, coloured by xcolor; packages of a standard TeX installation only, no shell
// escape. The preamble (the style, as the style sheet is for CSS) defines the macros; a fragment
// is \input where the code goes; a document holds both.

#include "render/converter.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <string>
#include <string_view>

// The preamble lines for `style`: the packages, the colours, a macro per class, the escapes of
// the characters that Verbatim with commandchars cannot take as they are, and the environment
// TarvoCode (font size, text colour, frame). LF line ends.
std::string BuildLatexPreamble(const StyleRecord& style);
// The same for the style of `settings`; empty when memory ran out.
std::string BuildLatexPreamble(const ProfileSettings& settings);

// The fragment for `source` converted with `settings` (the keywords and the tab size) and
// `style` (BuildStyle of `settings` unless given): a TarvoCode environment whose lines are the
// source's lines, tabs replaced, each span in its class's macro and closed at its line's end,
// numbered and marked where the style says. Every character is safe: \ { } ' and ` through
// macros, the other specials of TeX as Verbatim takes them, each character beyond ASCII (and a
// byte that is not UTF-8, as its Latin-1 character) as \TVu{code}{UTF-8}, which typesets it
// where the installation can and shows U+code where it cannot, control characters as U+code.
// LF line ends. `observer` is told the tab-size notice and the progress. Returns 1, or 0 with
// `latex` empty when memory ran out.
int BuildLatex(std::string_view source, const ProfileSettings& settings, std::string& latex,
               ConvertObserver* observer = nullptr);
int BuildLatex(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
               std::string& latex, ConvertObserver* observer = nullptr);

// A complete document: an article with the preamble and the fragment, no page numbers.
int BuildLatexDocument(std::string_view source, const ProfileSettings& settings, std::string& latex,
                       ConvertObserver* observer = nullptr);
int BuildLatexDocument(std::string_view source, const ProfileSettings& settings,
                       const StyleRecord& style, std::string& latex,
                       ConvertObserver* observer = nullptr);
