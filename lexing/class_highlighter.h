#pragma once
// The second pass of a conversion with the optional classes on: strings, characters, numbers
// and directive lines marked beside keywords and comments.

#include "lexing/keyword_index.h"
#include "lexing/pass_output.h"
#include "render/html_pieces.h"

#include <string>

// Appends to `html` the escaped `text` (the opening piece of `pieces` followed by the escaped
// source) with the tags of `pieces` around its keywords, comments and literals and on its
// directive lines, and the closing piece. Spans never nest. False when memory ran out.
bool HighlightClasses(const std::string& text, const KeywordIndex& keywords,
                      const HtmlPieces& pieces, std::string& html, const Progress& progress);
