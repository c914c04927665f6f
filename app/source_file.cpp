#include "app/source_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

struct CloseFile {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80; // the second byte's range, tighter where overlong or too large
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (bytes.size() - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            out += byte;
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

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
    if (!IsUtf8(bytes)) {
        text = Latin1ToUtf8(bytes);
        return SourceRead::Ok;
    }
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    text = std::string_view(bytes).starts_with(kByteOrderMark) ? bytes.substr(3) : std::move(bytes);
    return SourceRead::Ok;
}
