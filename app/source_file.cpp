#include "app/source_file.h"

#include "text/source_text.h"

ReadStatus ReadSourceText(const char* path, std::string& text, off_t& size) {
    size = 0;
    const ReadStatus status = ReadRegularFile(path, ReadRules{kBoxFileLimit, true}, text, &size);
    if (status != ReadStatus::Ok) {
        return status;
    }
    return ToSourceText(text) ? ReadStatus::Ok : ReadStatus::NoMemory;
}

std::string SourceReadMessage(ReadStatus status, int error, const std::string& path, off_t size) {
    switch (status) {
    case ReadStatus::HoldsNul:
        return "Not a text file, it holds NUL bytes !\n" + path;
    case ReadStatus::TooLarge: {
        const long long mb = (static_cast<long long>(size) + (1 << 20) - 1) >> 20;
        return "File too large for the box (" + std::to_string(mb) + " MB) !\n" + path +
               "\nThe box takes files of up to " + std::to_string(kBoxFileLimit >> 20) + " MB.";
    }
    case ReadStatus::NoMemory:
        return "Not enough memory";
    default:
        return "Error opening file !\n" + path + ": " + ReadFailureText(status, error);
    }
}
