#pragma once
// Converted text line by line, for passes that put something around each line (numbers, marks,
// other formats): the inline tags that run across a line end are closed at the end of the line
// and opened again at the start of the next, so that each line stands on its own.

#include <string>
#include <string_view>
#include <vector>

// One line of converted text.
struct HtmlLine {
    std::string_view text; // the line's characters and tags, without its line end
    std::string_view end;  // "\r\n", "\n", or empty for a last line that has none
};

// Splits the converter's text between its opening and closing piece (where every "<" opens a
// tag, since the source's own are escaped) at each line feed; a carriage return right before the
// line feed belongs to the line end. The piece after the last line feed is a line when it holds
// text; tags alone there (the close tags that end the conversion) make no line.
class HtmlLineSplitter {
public:
    explicit HtmlLineSplitter(std::string_view body);

    // The next line, false when none is left. Reserves nothing after the first lines: the tag
    // lists keep their room.
    bool Next(HtmlLine& line);

    // The tags open where the current line starts, outermost first: append them before its text.
    void AppendReopen(std::string& out) const;
    // The close tags of the tags still open at the current line's end, innermost first: append
    // them after its text.
    void AppendClose(std::string& out) const;

    // The open tags at the current line's start and end, each as its whole open tag.
    const std::vector<std::string_view>& OpenAtStart() const { return m_at_start; }
    const std::vector<std::string_view>& OpenAtEnd() const { return m_open; }

    // How many lines `body` makes, by the rule above.
    static std::size_t CountLines(std::string_view body);
    // Whether `piece` holds anything outside tags.
    static bool HoldsText(std::string_view piece);
    // The close tag for the open tag `tag` ("<code class=...>" gives "</code>").
    static void AppendCloseTag(std::string& out, std::string_view tag);

private:
    std::string_view m_rest;
    std::vector<std::string_view> m_open;     // open tags after the text read so far
    std::vector<std::string_view> m_at_start; // open tags at the current line's start
};
