#pragma once
// Shared by the reader's tests: files made from strings, bytes made readable.

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A file open for reading on a copy of `text`, in memory: the reader's tests open thousands.
class TextFile {
public:
    explicit TextFile(std::string text)
        : m_text(std::move(text)), m_file(::fmemopen(m_text.data(), m_text.size(), "r")) {}
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    std::FILE* get() const { return m_file.get(); }

private:
    std::string m_text;
    FileHandle m_file;
};

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
