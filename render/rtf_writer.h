#pragma once
// The RTF format for the span writer (render/span_writer.h): the code's characters, each span a
// group in its class's colours, the colour table gathered on the way.

#include "lexing/span.h"
#include "render/buffered_text.h"
#include "style/style_record.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RtfFormat {
public:
    static constexpr bool kLineEndIsText = true;
    static constexpr bool kEscapedText = false;

    // Begins the document's text in `text` for `style`: the paragraph's frame, font and size, and
    // the text's colours.
    RtfFormat(const StyleRecord& style, std::string& text);
    RtfFormat(const RtfFormat&) = delete;
    RtfFormat& operator=(const RtfFormat&) = delete;

    // Ends the text and puts the whole document, colour table first, into `rtf` (which may be the
    // text's own string; another one gets the text's string, and the text the one it held).
    // False when memory ran out.
    bool Finish(std::string& rtf);

    bool Failed() const { return m_out.Failed(); }
    void Text(const char* data, std::size_t length);
    void Open(SpanClass c);
    void Close(SpanClass) { m_out.Append('}'); }
    void LineStart(bool marked, std::string_view number);
    std::string_view NumberOpen() const { return {}; }
    std::string_view NumberClose() const { return {}; }
    void LineEnd(bool marked, std::string_view end);
    void OpeningText(std::size_t, std::size_t) {}
    void OpeningTag(SpanClass, bool, std::size_t) {}
    void BodyStart() {}
    void ForeignClose(SpanClass) {}

private:
    // The colour table's index of `colour`, which joins the table when new.
    int ColourIndex(uint32_t colour);
    // The control words of a look in the current group; a space ends them, if any.
    void Apply(std::string& out, std::optional<uint32_t> colour, std::optional<uint32_t> background,
               bool bold, bool italic);
    std::size_t Special(const char* data, std::size_t length, std::size_t i);
    std::size_t Utf8(const char* data, std::size_t length, std::size_t i);
    void Unicode(uint32_t unit);
    // A group's opening and its look's control words, as Apply writes them.
    std::string Group(std::optional<uint32_t> colour, std::optional<uint32_t> background, bool bold,
                      bool italic);

    const StyleRecord& m_style;
    std::string& m_text;
    BufferedText m_out; // into m_text
    std::vector<uint32_t> m_colours;
    std::string m_open[kSpanClassCount]; // each class's group opening, once it has opened
    std::string m_mark_open;
    std::string m_number_open;
};
