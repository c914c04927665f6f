#pragma once
// The first pass of a conversion: tabs replaced and <, > and & escaped.

#include "lexing/pass_output.h"

#include <string>
#include <string_view>

// The escape pass: `opening` followed by the source with tabs replaced and <, > and & escaped.
// False when memory ran out.
bool Escape(std::string_view source, const std::string& opening, const std::string& tab,
            std::string& escaped, const Progress& progress);
