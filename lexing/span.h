#pragma once
// What the scans find: spans of the escaped text, each of one class, told to a sink as they open
// and close. The sink is a template parameter of the scans, so that the calls of their hot loops
// are direct and inlined; a rendition is a sink that writes what it is told.

#include <concepts>
#include <cstddef>
#include <cstdint>

// The classes of the spans. Text is what lies in no span.
enum class SpanClass : uint8_t {
    Text,
    Keyword,
    Comment,
    String,  // string literals, #include's header name
    Char,    // character literals
    Number,  // preprocessing numbers
    Preproc, // directive lines, outside their comments and literals
    // Names by what they name (names/): each a word of its own, in a directive line too.
    Function,
    Type,
    Namespace,
    Macro,
};
inline constexpr std::size_t kSpanClassCount = 11;

inline constexpr std::size_t ClassIndex(SpanClass c) {
    return static_cast<std::size_t>(c);
}

// The classes that a scan marks: keywords and comments always, the others when asked for.
class ClassSet {
public:
    constexpr ClassSet() = default;
    constexpr void Add(SpanClass c) { m_bits |= Bit(c); }
    constexpr bool Has(SpanClass c) const { return (m_bits & Bit(c)) != 0; }
    // Whether any class beyond keywords and comments is asked for.
    constexpr bool AnyOptional() const {
        return (m_bits &
                ~(Bit(SpanClass::Text) | Bit(SpanClass::Keyword) | Bit(SpanClass::Comment))) != 0;
    }

    // Whether any of the name classes is asked for: only then are the names sought at all.
    constexpr bool AnyName() const {
        return (m_bits & (Bit(SpanClass::Function) | Bit(SpanClass::Type) |
                          Bit(SpanClass::Namespace) | Bit(SpanClass::Macro))) != 0;
    }

private:
    static constexpr uint32_t Bit(SpanClass c) { return uint32_t(1) << ClassIndex(c); }
    uint32_t m_bits = 0;
};

// A sink of spans. Open and Close come in the order of their positions, indexes into the escaped
// text; a span may be empty. The class scan never nests spans. The classic scan does only when a
// keyword begins with white space and so opens while a comment's close is still pending: the
// comment then closes first, and a sink closes what it opened last (the tags of the converter's
// HTML are the same for every class). Failed tells the scan to give up (memory ran out).
template <class S>
concept SpanSink = requires(S& sink, const S& const_sink, SpanClass c, std::size_t at) {
    sink.Open(c, at);
    sink.Close(c, at);
    { const_sink.Failed() } -> std::convertible_to<bool>;
};
