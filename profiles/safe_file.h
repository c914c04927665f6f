#pragma once
// Writing a file whole or not at all: every file Tarvo writes goes through WriteFileWhole.

#include <string_view>

// Writes `text` to `path`. Returns 1 when `path` now holds exactly `text`, 0 when it still holds
// what it held before (or is still missing); errno then tells why ("Is a directory" for a
// folder, "Permission denied" for a file the user may not write, "No space left on device").
// Safe to call from several threads at once.
//
// - A regular file is replaced: the text goes to a new file beside it, ".tarvo-" and six
//   letters, which is flushed to disk and renamed over it, and the folder is flushed after the
//   rename. A full disk therefore never leaves a truncated file, any valid name works, and no
//   temporary file survives SIGINT, SIGTERM or SIGHUP (temp_files.h).
// - The replaced file keeps its mode and, where the process may set them, its owner and group.
//   Other hard links to it keep the old text: the file is split from them.
// - A file that the effective user may not write is refused, as opening it for writing would be
//   (root may write any file).
// - A symbolic link is followed: the file it leads to is replaced beside that file, and the link
//   stays a link. A dangling link creates the file it names when that folder exists.
// - Anything else that exists, a device, a FIFO or a socket, is opened and written in place and
//   never replaced; so are the descriptor links /dev/stdout, /dev/fd/N and /proc/self/fd/N.
int WriteFileWhole(const char* path, std::string_view text);
