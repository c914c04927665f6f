#pragma once
// Reading a file whole, within a limit, without ever waiting on a FIFO or a device: the one way
// every part of the program reads what a user or another program may have put in its way.

#include <cstddef>
#include <cstdio>
#include <string>
#include <sys/types.h>

enum class ReadStatus {
    Ok,
    Failed,     // errno tells why
    NotRegular, // a FIFO, a device or a socket: refused before a byte is read (a folder is
                // Failed with EISDIR)
    TooLarge,   // more bytes than the limit
    HoldsNul,   // a NUL byte, where the caller refuses them
    NoMemory,   // the text did not fit into memory
};

struct ReadRules {
    std::size_t limit = std::size_t(-1); // most bytes taken
    bool refuse_nul = false;             // stop at the first NUL byte with HoldsNul
};

// Reads the regular file `path` whole into `bytes`. It is opened without blocking and checked
// with fstat before anything is read, so a FIFO or device in its place answers NotRegular at
// once. A file whose size is over the limit answers TooLarge before it is read; `size`, when
// given, receives the size the file has. Never throws; on any answer but Ok `bytes` is empty.
ReadStatus ReadRegularFile(const char* path, const ReadRules& rules, std::string& bytes,
                           off_t* size = nullptr) noexcept;

// Reads the open descriptor `fd` (a file, a pipe, a terminal: whatever it is, it may block) to
// its end into `bytes`, with room first for `expected` bytes. Never throws; on any answer but Ok
// `bytes` is empty.
ReadStatus ReadToEnd(int fd, const ReadRules& rules, std::size_t expected,
                     std::string& bytes) noexcept;

// Opens the regular file `path` as a stream for reading (close it with std::fclose), by the
// rules of ReadRegularFile: null with errno EISDIR for a folder, ENODEV for anything else but a
// regular file and EFBIG for one of more than `limit` bytes. `st`, when given, receives what fstat
// says of it.
std::FILE* OpenRegularFile(const char* path, std::size_t limit, struct stat* st) noexcept;

// Why a read failed, for a message after the file's name: "not a regular file", "not text
// (holds NUL bytes)", "Not enough memory", "file too large", or the text of `error` (errno) for
// Failed.
const char* ReadFailureText(ReadStatus status, int error) noexcept;
