// Marks the names of any text: the input's first byte picks where the source begins and
// whether the text itself is first read as a tree's file. Checks that every mark is one whole
// identifier word of the text, in order, and that asking word by word gives the same classes,
// as does the marker on a thread of its own, handing its marks over a few at a time.

#include "names/marks_ahead.h"
#include "names/name_marker.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool WordChar(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '_' ||
           b == '$' || b >= 0x80;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t start = std::size_t(data[0] & 15) < text.size() ? data[0] & 15 : 0;
    names::TreeNames tree;
    if ((data[0] & 16) != 0) {
        tree.AddSource(text);
    }
    const names::TreeNames* shared = (data[0] & 16) != 0 ? &tree : nullptr;
    names::NameMarker all(text, start, shared);
    names::NameMarker asked(text, start, shared);
    names::MarksAhead ahead(text, start, shared, 1 + (data[0] >> 5));
    std::size_t last = start;
    for (names::NameMark m; all.Next(m);) {
        Check(m.start >= last && m.start < m.end && m.end <= text.size());
        Check(m.name_class != NameClass::None);
        Check(!(text[m.start] >= '0' && text[m.start] <= '9'));
        Check(m.start == start || !WordChar(text[m.start - 1]));
        Check(m.end == text.size() || !WordChar(text[m.end]));
        for (std::size_t i = m.start; i < m.end; ++i) {
            Check(WordChar(text[i]));
        }
        Check(asked.ClassAt(m.start) == m.name_class);
        names::NameMark a;
        Check(!ahead.Started() || (ahead.Next(a) && a.start == m.start && a.end == m.end &&
                                   a.name_class == m.name_class));
        last = m.end;
    }
    names::NameMark a;
    Check(!ahead.Started() || !ahead.Next(a));
    return 0;
}
