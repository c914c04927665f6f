#include "convert/box_text.h"

#include <bit>
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

bool IsContinuation(unsigned char c) noexcept {
    return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `p`, or 0 when none starts there.
std::size_t SequenceLength(const unsigned char* p, const unsigned char* end) noexcept {
    const unsigned char lead = *p;
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length;
    uint32_t code;
    uint32_t least;
    if (lead < 0xC2) {
        return 0; // a continuation byte, or an overlong two-byte form
    } else if (lead < 0xE0) {
        length = 2, code = lead & 0x1Fu, least = 0x80;
    } else if (lead < 0xF0) {
        length = 3, code = lead & 0x0Fu, least = 0x800;
    } else if (lead < 0xF5) {
        length = 4, code = lead & 0x07u, least = 0x10000;
    } else {
        return 0;
    }
    if (std::size_t(end - p) < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(p[i])) {
            return 0;
        }
        code = (code << 6) | (p[i] & 0x3Fu);
    }
    if (code < least || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

// U+2028, U+2029, U+FDD0 and U+FDD1, three bytes each.
bool IsBoxBreak(const unsigned char* p) noexcept {
    return (p[0] == 0xE2 && p[1] == 0x80 && (p[2] == 0xA8 || p[2] == 0xA9)) ||
           (p[0] == 0xEF && p[1] == 0xB7 && (p[2] == 0x90 || p[2] == 0x91));
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
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
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

bool SurvivesTextBox(std::string_view text) noexcept {
    if (StartsWithBom(text)) {
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
    return IsValidUtf8(bytes) ? ThroughTextBox(bytes) : ThroughTextBox(Latin1ToUtf8(bytes));
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

std::size_t CrLfGrowth(const char* data, std::size_t size) noexcept {
    std::size_t lf = 0;
    std::size_t cr = 0;
    std::size_t pairs = 0; // CR LF, counted once in each of lf and cr, needs nothing
    std::size_t i = 0;
    for (; i + 9 <= size; i += 8) {
        const uint64_t word = Load(data + i);
        lf += std::size_t(std::popcount(Matches(word, '\n')));
        if (const uint64_t crs = Matches(word, '\r'); crs != 0) {
            cr += std::size_t(std::popcount(crs));
            pairs += std::size_t(std::popcount(crs & Matches(Load(data + i + 1), '\n')));
        }
    }
    for (; i < size; ++i) {
        lf += data[i] == '\n';
        cr += data[i] == '\r';
        pairs += data[i] == '\r' && i + 1 < size && data[i + 1] == '\n';
    }
    return lf + cr - 2 * pairs;
}

std::size_t ToCrLfInPlace(char* data, std::size_t size, std::size_t growth) noexcept {
    // From the back, so that every byte moves once; the front stays where no break is left.
    std::size_t r = size;
    std::size_t w = size + growth;
    char after = '\0'; // the byte that stood right after data[r] before it moved
    while (w != r) {
        if (r >= 8) {
            const uint64_t word = Load(data + r - 8);
            if (!HasLineEnd(word)) {
                r -= 8;
                w -= 8;
                std::memcpy(data + w, &word, sizeof word);
                after = data[r];
                continue;
            }
        }
        const char c = data[--r];
        if (c == '\n') {
            data[--w] = '\n';
            if (r == 0 || data[r - 1] != '\r') {
                data[--w] = '\r';
            }
        } else if (c == '\r') {
            if (after != '\n') {
                data[--w] = '\n';
            }
            data[--w] = '\r';
        } else {
            data[--w] = c;
        }
        after = c;
    }
    return size + growth;
}

std::size_t ToLfInPlace(char* data, std::size_t size) noexcept {
    const void* first = std::memchr(data, '\r', size);
    if (first == nullptr) {
        return size;
    }
    std::size_t r = std::size_t(static_cast<const char*>(first) - data);
    std::size_t w = r;
    while (r < size) {
        if (r + 8 <= size) {
            const uint64_t word = Load(data + r);
            if (Matches(word, '\r') == 0) {
                std::memcpy(data + w, &word, sizeof word);
                r += 8;
                w += 8;
                continue;
            }
        }
        const char c = data[r++];
        if (c != '\r' || r == size || data[r] != '\n') {
            data[w++] = c;
        }
    }
    return w;
}

void ToCrLf(std::string& text) {
    const std::size_t size = text.size();
    const std::size_t growth = CrLfGrowth(text.data(), size);
    text.resize(size + growth);
    ToCrLfInPlace(text.data(), size, growth);
}

void ToLf(std::string& text) {
    text.resize(ToLfInPlace(text.data(), text.size()));
}
