#pragma once
// Shared by the reader's tests: files made from strings, bytes made readable.

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A temporary file holding `text`, positioned at its start.
inline FileHandle TextFile(const std::string& text) {
    FileHandle file(std::tmpfile());
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file.get());
        std::rewind(file.get());
    }
    return file;
}

// Control characters and bytes above 126 as \xNN.
inline std::string Printable(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", byte);
        out += byte < 32 || byte > 126 ? std::string(hex) : std::string(1, *p);
    }
    return out;
}
