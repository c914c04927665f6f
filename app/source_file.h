#pragma once
// A source file's text for the source box.

#include "convert/box_text.h"

#include <string>
#include <string_view>

enum class SourceRead {
    Ok,       // the text is in `text`
    Failed,   // the file could not be read; errno tells why
    NulBytes, // the file holds NUL bytes, so it is no text
};

// Reads the file at `path` whole. Valid UTF-8 is taken as it is (a leading byte order mark
// dropped); anything else is read as Latin-1, so that every byte shows as a character.
SourceRead ReadSourceText(const char* path, std::string& text);

// Whether bytes are well-formed UTF-8 (IsValidUtf8) and the Latin-1 reading (Latin1ToUtf8) are
// shared with the command line, which converts files as this reads them.
