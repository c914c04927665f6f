#pragma once
// The second pass of a conversion: strings, comments and keywords marked in the escaped text.

#include "lexing/keyword_index.h"
#include "lexing/pass_output.h"
#include "render/html_pieces.h"

#include <string>

// Appends to `html` the escaped `text` with the tags of `pieces` put around its keywords and
// comments, and the closing piece. False when memory ran out.
bool Highlight(const std::string& text, const KeywordIndex& keywords, const HtmlPieces& pieces,
               std::string& html, const Progress& progress);
