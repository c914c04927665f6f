#pragma once
// Shared by the reader's tests: files made from strings.

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
