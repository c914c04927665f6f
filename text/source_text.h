#pragma once
// One rule for a source file's text, however it comes in: the dialog's Open, the one-file
// command line, its standard input and the many files of -d all read bytes with ReadRegularFile
// or ReadToEnd (files/read_file.h), NUL bytes refused, and take their text from here.

#include <string>
#include <string_view>

// The endings that mark a C or C++ source by its name, with their dots.
inline constexpr const char* kSourceFileEndings[] = {".c",   ".cc",  ".cpp", ".cxx", ".c++",
                                                     ".h",   ".hh",  ".hpp", ".hxx", ".h++",
                                                     ".inl", ".ipp", ".tcc"};

// Whether `name` ends in one of kSourceFileEndings (and is more than the ending).
bool HasSourceFileEnding(std::string_view name) noexcept;

// A file's bytes as source text: valid UTF-8 as it is, without one leading byte-order mark;
// anything else read as Latin-1, each byte the character of that number, in UTF-8.
std::string SourceTextOf(std::string_view bytes);

// Turns `bytes` into SourceTextOf(bytes) in place, without a copy when they are UTF-8 already.
// False when memory ran out; `bytes` is then empty. Never throws.
bool ToSourceText(std::string& bytes) noexcept;
