#include "text/source_text.h"

#include "text/box_text.h"

#include <new>
#include <stdexcept>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

bool HasSourceFileEnding(std::string_view name) noexcept {
    for (const std::string_view ending : kSourceFileEndings) {
        if (name.size() > ending.size() && name.substr(name.size() - ending.size()) == ending) {
            return true;
        }
    }
    return false;
}

std::string SourceTextOf(std::string_view bytes) {
    if (!IsValidUtf8(bytes)) {
        return Latin1ToUtf8(bytes);
    }
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    return std::string(bytes);
}

bool ToSourceText(std::string& bytes) noexcept {
    if (!IsValidUtf8(bytes)) {
        try {
            bytes = Latin1ToUtf8(bytes);
        } catch (const std::bad_alloc&) {
            std::string().swap(bytes);
            return false;
        } catch (const std::length_error&) {
            std::string().swap(bytes);
            return false;
        }
    } else if (std::string_view(bytes).starts_with(kByteOrderMark)) {
        bytes.erase(0, kByteOrderMark.size());
    }
    return true;
}
