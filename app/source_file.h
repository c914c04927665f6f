#pragma once
// A source file's text for the source box.

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

// Whether `bytes` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view bytes);

// `bytes` read as Latin-1, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);
