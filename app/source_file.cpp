#include "app/source_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

SourceRead ReadSourceText(const char* path, std::string& text) {
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path, "rb"));
    if (!file) {
        return SourceRead::Failed;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    errno = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, n);
    }
    if (std::ferror(file.get()) != 0) {
        if (errno == 0) {
            errno = EIO;
        }
        return SourceRead::Failed;
    }
    if (bytes.find('\0') != std::string::npos) {
        return SourceRead::NulBytes;
    }
    if (!IsValidUtf8(bytes)) {
        text = Latin1ToUtf8(bytes);
        return SourceRead::Ok;
    }
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    text = std::string_view(bytes).starts_with(kByteOrderMark) ? bytes.substr(3) : std::move(bytes);
    return SourceRead::Ok;
}
