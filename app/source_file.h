#pragma once
// A source file's text for the source box, by the reading rule of every way in
// (text/source_text.h), within the box's limit.

#include "files/read_file.h"

#include <cstddef>
#include <string>

// The largest file the box takes: a larger one would freeze the window for minutes.
inline constexpr std::size_t kBoxFileLimit = std::size_t(32) << 20;

// Reads the file at `path` whole, as source text. A FIFO, a device or a folder is refused at
// once (never waited on), a file of more than kBoxFileLimit bytes before it is read, a file
// holding NUL bytes as no text. `size` receives the file's size when it could be seen. Never
// throws: running out of memory is NoMemory.
ReadStatus ReadSourceText(const char* path, std::string& text, off_t& size);

// The message box's text for a failed ReadSourceText of `path`; `error` is errno after it.
std::string SourceReadMessage(ReadStatus status, int error, const std::string& path, off_t size);
