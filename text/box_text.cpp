#include "text/box_text.h"

#include "text/line_ends.h"
#include "text/source_text.h"
#include "text/utf8.h"

#include <cstdint>
#include <cstring>

namespace {

// Eight bytes at a time: source text is mostly ASCII between line breaks, and these passes run
// over whole files.
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kHigh = 0x8080808080808080ull;

uint64_t Load(const char* p) noexcept {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The high bit of every byte of `word` that equals `byte`, and no other bit.
uint64_t Matches(uint64_t word, unsigned char byte) noexcept {
    const uint64_t v = word ^ (kOnes * byte);
    return ~(((v & kLow7) + kLow7) | v) & kHigh;
}

bool HasLineEnd(uint64_t word) noexcept {
    return (Matches(word, '\n') | Matches(word, '\r')) != 0;
}

// The length of the valid UTF-8 sequence at `p`, or 0 when none starts there.
std::size_t SequenceLength(const unsigned char* p, const unsigned char* end) noexcept {
    return DecodeUtf8(p, end).length;
}

// U+2028, U+2029, U+FDD0 and U+FDD1, three bytes each.
bool IsBoxBreak(const unsigned char* p) noexcept {
    return (p[0] == 0xE2 && p[1] == 0x80 && (p[2] == 0xA8 || p[2] == 0xA9)) ||
           (p[0] == 0xEF && p[1] == 0xB7 && (p[2] == 0x90 || p[2] == 0x91));
}

// The bytes of the line break at text[i], a CR or an LF. The box first makes every CR LF an LF
// and then takes CR LF, a lone CR and LF each as one break; so CR CR LF is one break too.
std::size_t BreakLength(std::string_view text, std::size_t i) noexcept {
    if (text[i] == '\n') {
        return 1;
    }
    const std::string_view rest = text.substr(i);
    return rest.starts_with("\r\n") ? 2 : rest.starts_with("\r\r\n") ? 3 : 1;
}

bool StartsWithBom(std::string_view text) noexcept {
    return text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0;
}

// The end of the run of ASCII bytes other than CR and LF that starts at `i`.
std::size_t PlainRunEnd(std::string_view text, std::size_t i) noexcept {
    for (; i + 8 <= text.size(); i += 8) {
        const uint64_t word = Load(text.data() + i);
        if ((word & kHigh) != 0 || HasLineEnd(word)) {
            break;
        }
    }
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80 || c == '\r' || c == '\n') {
            break;
        }
        ++i;
    }
    return i;
}

} // namespace

bool IsValidUtf8(std::string_view text) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p != end) {
        if (end - p >= 8 && (Load(reinterpret_cast<const char*>(p)) & kHigh) == 0) {
            p += 8;
            continue;
        }
        const std::size_t length = SequenceLength(p, end);
        if (length == 0) {
            return false;
        }
        p += length;
    }
    return true;
}

std::string ThroughTextBox(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 16);
    std::size_t i = StartsWithBom(text) ? 3 : 0;
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    while (i < text.size()) {
        const std::size_t run_end = PlainRunEnd(text, i);
        out.append(text, i, run_end - i);
        i = run_end;
        if (i == text.size()) {
            break;
        }
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            i += BreakLength(text, i);
            continue;
        }
        const std::size_t length = SequenceLength(bytes + i, bytes + text.size());
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else if (length == 3 && IsBoxBreak(bytes + i)) {
            out += "\r\n";
            i += 3;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

bool SurvivesTextBox(std::string_view text, bool at_start) noexcept {
    if (at_start && StartsWithBom(text)) {
        return false;
    }
    const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    while ((i = PlainRunEnd(text, i)) < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            return false;
        }
        const std::size_t length = SequenceLength(bytes + i, bytes + text.size());
        if (length == 0 || (length == 3 && IsBoxBreak(bytes + i))) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string OpenedInTextBox(std::string_view bytes) {
    return SourceTextInTextBox(SourceTextOf(bytes));
}

std::string SourceTextInTextBox(std::string_view text) {
    // Without a CR and without a byte that can begin a mark or one of the box's own breaks
    // (U+FEFF, U+2028, U+2029, U+FDD0 and U+FDD1 all begin with E2 or EF), only the LFs change.
    if (std::memchr(text.data(), '\r', text.size()) == nullptr &&
        std::memchr(text.data(), 0xE2, text.size()) == nullptr &&
        std::memchr(text.data(), 0xEF, text.size()) == nullptr) {
        return WithCrLf(text);
    }
    return ThroughTextBox(text);
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            utf8 += c;
        } else {
            utf8 += char(0xC0 | (b >> 6));
            utf8 += char(0x80 | (b & 0x3F));
        }
    }
    return utf8;
}
