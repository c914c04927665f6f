#include "render/rtf_text.h"

#include "base/format.h"
#include "base/memory.h"
#include "render/html_spans.h"
#include "render/line_numbers.h"

#include <array>
#include <cstdint>
#include <exception>
#include <vector>

namespace {

// What each byte of the converted code asks of the writer.
enum ByteKind : unsigned char {
    kPlain,   // printable ASCII, copied
    kEscaped, // \ { }, written with a backslash before them
    kSpecial, // < & CR LF tab, other control characters and every byte above 127
};

constexpr std::array<unsigned char, 256> MakeKinds() {
    std::array<unsigned char, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        kinds[c] = c >= 0x20 && c < 0x7F ? kPlain : kSpecial;
    }
    kinds['\\'] = kinds['{'] = kinds['}'] = kEscaped;
    kinds['<'] = kinds['&'] = kSpecial;
    return kinds;
}
constexpr std::array<unsigned char, 256> kKinds = MakeKinds();

class RtfWriter {
public:
    RtfWriter(const std::vector<ClassRule>& rules, std::string& out) : m_rules(rules), m_out(out) {}

    // The colour table's index of `colour`, which joins the table when new.
    int ColourIndex(int32_t colour) {
        for (std::size_t i = 0; i < m_colours.size(); ++i) {
            if (m_colours[i] == colour) {
                return int(i) + 1;
            }
        }
        m_colours.push_back(colour);
        return int(m_colours.size());
    }

    // Applies `colours` in the current group; a space ends the control words, if any.
    void Apply(SpanColours colours) {
        if (colours.color >= 0) {
            tarvo::AppendFormat(m_out, "\\cf%d", ColourIndex(colours.color));
        }
        if (colours.background >= 0) {
            // Shading of 0 per cent: the background colour alone, as Word writes it.
            tarvo::AppendFormat(m_out, "\\chshdng0\\chcbpat%d", ColourIndex(colours.background));
        }
        if (colours.color >= 0 || colours.background >= 0) {
            m_out += ' ';
        }
    }

    // Writes `body`; `close` closes the groups that its tags left open.
    void Body(std::string_view body, bool close = true) {
        const char* text = body.data();
        const std::size_t size = body.size();
        std::size_t i = 0;
        while (i < size) {
            const std::size_t run = i;
            while (i < size && kKinds[static_cast<unsigned char>(text[i])] == kPlain) {
                ++i;
            }
            m_out.append(text + run, i - run);
            if (i == size) {
                break;
            }
            i = Special(body, i);
        }
        // Spans left open by a cut-short text still close their groups.
        for (; close && m_open > 0; --m_open) {
            m_out += '}';
        }
    }

    const std::vector<int32_t>& Colours() const { return m_colours; }

private:
    // Writes the character or tag at body[i], which is no plain byte; returns the index after it.
    std::size_t Special(std::string_view body, std::size_t i) {
        const auto c = static_cast<unsigned char>(body[i]);
        switch (c) {
        case '\\':
        case '{':
        case '}':
            m_out += '\\';
            m_out += char(c);
            return i + 1;
        case '\r':
            m_out += "\\par\n";
            return i + 1 < body.size() && body[i + 1] == '\n' ? i + 2 : i + 1;
        case '\n':
            m_out += "\\par\n";
            return i + 1;
        case '\t':
            m_out += "\\tab ";
            return i + 1;
        case '<':
            return Tag(body, i);
        case '&':
            return Entity(body, i);
        default:
            break;
        }
        if (c < 0x80) {
            Unicode(c);
            return i + 1;
        }
        return Utf8(body, i);
    }

    std::size_t Tag(std::string_view body, std::size_t i) {
        HtmlTag tag;
        const std::size_t end = ReadTag(body, i, tag);
        if (end == i) {
            m_out += '<';
            return i + 1;
        }
        if (tag.name == "br") {
            m_out += "\\par\n";
        } else if (tag.closing) {
            if (m_open > 0) {
                m_out += '}';
                --m_open;
            }
        } else {
            m_out += '{';
            ++m_open;
            Apply(ColoursOfTag(tag, m_rules));
            // A line number that a style sheet shows from the attribute is text here, as in
            // the clipboard's HTML: the number and a space.
            if (const std::string_view number = AttributeValue(tag.attributes, "data-line");
                !number.empty()) {
                Body(number, false);
                m_out += ' ';
            }
        }
        return end;
    }

    std::size_t Entity(std::string_view body, std::size_t i) {
        static constexpr struct {
            std::string_view name;
            char c;
        } kEntities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}};
        for (const auto& entity : kEntities) {
            if (body.substr(i, entity.name.size()) == entity.name) {
                m_out += entity.c;
                return i + entity.name.size();
            }
        }
        m_out += '&';
        return i + 1;
    }

    // A UTF-8 sequence as one \u escape, two for a character beyond the BMP; a byte that starts
    // no valid sequence as the Latin-1 character of its number.
    std::size_t Utf8(std::string_view body, std::size_t i) {
        const auto at = [&](std::size_t k) {
            return k < body.size() ? static_cast<unsigned char>(body[k]) : 0u;
        };
        const unsigned b = at(i);
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        uint32_t code = length == 4 ? b & 0x07 : length == 3 ? b & 0x0F : b & 0x1F;
        bool valid = length > 1 && b < 0xF5;
        for (int k = 1; valid && k < length; ++k) {
            valid = (at(i + k) & 0xC0) == 0x80;
            code = code << 6 | (at(i + k) & 0x3F);
        }
        static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= kSmallest[length] && code <= 0x10FFFF &&
                (code < 0xD800 || code > 0xDFFF);
        if (!valid) {
            Unicode(b);
            return i + 1;
        }
        if (code >= 0x10000) {
            Unicode(0xD800 + ((code - 0x10000) >> 10));
            Unicode(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            Unicode(code);
        }
        return i + std::size_t(length);
    }

    // \uN? with N the UTF-16 unit as a signed 16-bit number; "?" for readers without Unicode.
    void Unicode(uint32_t unit) {
        char digits[8];
        int n = 0;
        int value = int(int16_t(uint16_t(unit)));
        const bool negative = value < 0;
        for (value = negative ? -value : value; n == 0 || value > 0; value /= 10) {
            digits[n++] = char('0' + value % 10);
        }
        m_out += negative ? "\\u-" : "\\u";
        while (n > 0) {
            m_out += digits[--n];
        }
        m_out += '?';
    }

    const std::vector<ClassRule>& m_rules;
    std::string& m_out;
    std::vector<int32_t> m_colours;
    int m_open = 0; // groups opened by tags and not yet closed
};

int Build(std::string_view html, const ProfileSettings& settings, bool css, std::string& rtf) {
    const std::vector<ClassRule> rules = StyleSheetRules(settings);
    const std::string_view body = ConvertedBody(html, settings, css);
    std::string text;
    if (!tarvo::TryReserve(text, body.size() + body.size() / 8 + 256)) {
        return 0;
    }
    RtfWriter writer(rules, text);
    // The text colour is the first of the table, so that \cf1 is the code's own.
    HtmlTag text_tag;
    text_tag.attributes = " class=\"cpp_text\"";
    SpanColours base = ColoursOfTag(text_tag, rules);
    base.color = base.color < 0 ? 0 : base.color;
    writer.ColourIndex(base.color);
    text += "\\pard\\plain\\ql";
    if (settings.b_use_table != 0) {
        // The table's frame as the paragraphs' box, which readers draw as one around them all:
        // 2 pixels wide, 10 from the text, light at the top and left, dark at the right and
        // bottom.
        const int light = writer.ColourIndex(int32_t(settings.n_table_lt_color & 0xFFFFFF));
        const int dark = writer.ColourIndex(int32_t(settings.n_table_dk_color & 0xFFFFFF));
        for (const char* side : {"t", "l", "r", "b"}) {
            tarvo::AppendFormat(text, "\\brdr%s\\brdrs\\brdrw30\\brsp150\\brdrcf%d", side,
                                *side == 't' || *side == 'l' ? light : dark);
        }
    }
    text += "\\f0";
    if (const int half_points = RtfHalfPoints(settings.n_font_size); half_points > 0) {
        tarvo::AppendFormat(text, "\\fs%d", half_points);
    }
    writer.Apply(base);
    writer.Body(body);
    // The last line is a paragraph of its own, ended like the others: a reader would otherwise
    // take a last empty line for the end of the one before.
    text += "\\par\n}";

    std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
                         "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\n"
                         "{\\colortbl;";
    for (const int32_t colour : writer.Colours()) {
        tarvo::AppendFormat(header, "\\red%d\\green%d\\blue%d;", (colour >> 16) & 0xFF,
                            (colour >> 8) & 0xFF, colour & 0xFF);
    }
    header += "}\n";
    if (!tarvo::TryReserve(rtf, header.size() + text.size())) {
        return 0;
    }
    rtf = header;
    rtf += text;
    return 1;
}

} // namespace

int RtfHalfPoints(int32_t font_size) {
    if (font_size <= 0) {
        return 0;
    }
    // Word's largest size is 1638 points.
    return font_size > 2184 ? 3276 : int((int64_t(font_size) * 3 + 1) / 2);
}

int BuildRtf(std::string_view html, const ProfileSettings& settings, int b_css, std::string& rtf) {
    rtf.clear();
    int result = 0;
    try {
        result = Build(html, settings, b_css != 0, rtf);
    } catch (const std::exception&) {
        // Only the standard library throws here, and only when memory runs out.
        result = 0;
    }
    if (result == 0) {
        std::string().swap(rtf);
    }
    return result;
}
