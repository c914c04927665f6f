#pragma once
// Reading sources whole: as bytes, or with every line break as CR LF as the dialog's box gives
// its text.

#include <cstddef>
#include <string>

// Reads `fd` to its end into `text`, which first gets room for `expected` bytes and a quarter
// more. Returns 0, or the errno value of a failed read.
int ReadToEnd(int fd, std::string& text, std::size_t expected);

// Reads `fd` to its end into `text` with every line break as CR LF, as the dialog's source box
// delivers its text; `expected` bytes give the room. Returns 0, or the errno value of a failed
// read. A source of megabytes also sets the allocator up for big blocks on large pages, for
// this process's one conversion.
int ReadWithCrLf(int fd, std::string& text, std::size_t expected);

// Reads the regular file `path` whole. Returns 0, or an errno value; ENODEV for a file that is
// not a regular one (a pipe or a device is never waited on).
int ReadRegularFile(const char* path, std::string& text);

// Asks for large pages behind the unused room of a big block, such as `text`'s: a whole file
// and its output otherwise cost one page fault every 4 KiB.
void PreferLargePages(std::string& text);
