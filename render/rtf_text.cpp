#include "render/rtf_text.h"

#include "base/format.h"
#include "base/memory.h"
#include "render/byte_runs.h"
#include "render/rendition.h"
#include "render/rtf_writer.h"
#include "text/utf8.h"

#include <cstdint>

namespace {

// Copied as they are: printable ASCII but \ { }, which take a backslash; the rest is written
// otherwise (line breaks, tabs, control characters, and every byte above 127 as Unicode).
using Runs = ByteRuns<false, false, '\\', '{', '}'>;

int Build(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
          bool css, std::string& rtf, ConvertObserver* observer) {
    Prepared prepared;
    if (!Prepare(settings, style, source, css, observer, prepared)) {
        return 0;
    }
    // Written into `rtf` itself, its colour table put in front at the end.
    RtfFormat format(style, rtf);
    Rendition<RtfFormat> writer(format, prepared, style, source);
    if (!writer.Start()) {
        return 0;
    }
    // Each line's number and mark, and room for the escapes: the output never moves as it grows.
    const std::size_t text = prepared.escaped.size() - prepared.source_start;
    if (!ReserveOutput(rtf, text + text / 2 + writer.Lines() * 32 + 4096) ||
        !Scan(prepared, writer.Sink(), observer)) {
        return 0;
    }
    writer.Finish();
    return format.Finish(rtf) ? 1 : 0;
}

} // namespace

RtfFormat::RtfFormat(const StyleRecord& style, std::string& text)
    : m_style(style), m_text(text), m_out(text) {
    const ClassStyle& look = style.Of(SpanClass::Text);
    // The text colour is the first of the table, so that \cf1 is the code's own.
    ColourIndex(look.colour & 0xFFFFFF);
    m_text += "\\pard\\plain\\ql";
    if (look.background) {
        // The code box's background as the paragraphs' shading, so that it fills whole lines.
        tarvo::AppendFormat(m_text, "\\cbpat%d", ColourIndex(*look.background & 0xFFFFFF));
    }
    if (style.frame) {
        // The frame as the paragraphs' box, which readers draw as one around them all: 2 pixels
        // wide, 10 from the text, light at the top and left, dark at the right and bottom.
        const int light = ColourIndex(style.frame_light & 0xFFFFFF);
        const int dark = ColourIndex(style.frame_dark & 0xFFFFFF);
        for (const char* side : {"t", "l", "r", "b"}) {
            tarvo::AppendFormat(m_text, "\\brdr%s\\brdrs\\brdrw30\\brsp150\\brdrcf%d", side,
                                *side == 't' || *side == 'l' ? light : dark);
        }
    }
    m_text += "\\f0";
    if (const int half_points = RtfHalfPoints(style.font_size); half_points > 0) {
        tarvo::AppendFormat(m_text, "\\fs%d", half_points);
    }
    Apply(m_text, look.colour, look.background, look.bold, look.italic);
}

bool RtfFormat::Finish(std::string& rtf) {
    if (!m_out.Flush()) {
        return false;
    }
    // The last line is a paragraph of its own, ended like the others: a reader would otherwise
    // take a last empty line for the end of the one before.
    m_text += "\\par\n}";
    std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
                         "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\n"
                         "{\\colortbl;";
    for (const uint32_t colour : m_colours) {
        tarvo::AppendFormat(header, "\\red%d\\green%d\\blue%d;", int(colour >> 16 & 0xFF),
                            int(colour >> 8 & 0xFF), int(colour & 0xFF));
    }
    header += "}\n";
    // In place where the text has room: the text is not copied into a new string.
    m_text.insert(0, header);
    if (&rtf != &m_text) {
        rtf.swap(m_text);
    }
    return true;
}

int RtfFormat::ColourIndex(uint32_t colour) {
    for (std::size_t i = 0; i < m_colours.size(); ++i) {
        if (m_colours[i] == colour) {
            return int(i) + 1;
        }
    }
    m_colours.push_back(colour);
    return int(m_colours.size());
}

void RtfFormat::Apply(std::string& out, std::optional<uint32_t> colour,
                      std::optional<uint32_t> background, bool bold, bool italic) {
    if (colour) {
        tarvo::AppendFormat(out, "\\cf%d", ColourIndex(*colour & 0xFFFFFF));
    }
    if (background) {
        // Shading of 0 per cent: the background colour alone, as Word writes it.
        tarvo::AppendFormat(out, "\\chshdng0\\chcbpat%d", ColourIndex(*background & 0xFFFFFF));
    }
    out += bold ? "\\b" : "";
    out += italic ? "\\i" : "";
    if (colour || background || bold || italic) {
        out += ' ';
    }
}

void RtfFormat::Open(SpanClass c) {
    // Each class's control words once: its colours join the table where it first opens.
    std::string& open = m_open[ClassIndex(c)];
    if (open.empty()) {
        const ClassStyle& look = m_style.Of(c);
        open = Group(look.colour, look.background, look.bold, look.italic);
    }
    m_out.Append(open);
}

std::string RtfFormat::Group(std::optional<uint32_t> colour, std::optional<uint32_t> background,
                             bool bold, bool italic) {
    std::string group = "{";
    Apply(group, colour, background, bold, italic);
    return group;
}

void RtfFormat::LineStart(bool marked, std::string_view number) {
    if (marked) {
        if (m_mark_open.empty()) {
            m_mark_open = Group(std::nullopt, m_style.mark_colour, false, false);
        }
        m_out.Append(m_mark_open);
    }
    if (!number.empty()) {
        // The number is text, as in the clipboard's HTML: the number and a space.
        if (m_number_open.empty()) {
            m_number_open = Group(m_style.number_colour, std::nullopt, false, false);
        }
        m_out.Append(m_number_open);
        m_out.Append(number); // digits and spaces, nothing to escape
        m_out.Append(" }", 2);
    }
}

void RtfFormat::LineEnd(bool marked, std::string_view end) {
    if (marked) {
        m_out.Append('}');
    }
    Text(end.data(), end.size());
}

void RtfFormat::Text(const char* data, std::size_t length) {
    std::size_t i = 0;
    while (i < length) {
        const std::size_t run = i;
        i = Runs::RunEnd(data, i, length);
        m_out.Append(data + run, i - run);
        if (i == length) {
            break;
        }
        i = Special(data, length, i);
    }
}

// Writes the character at data[i], which is no plain byte; returns the index after it.
std::size_t RtfFormat::Special(const char* data, std::size_t length, std::size_t i) {
    const auto c = static_cast<unsigned char>(data[i]);
    switch (c) {
    case '\\':
    case '{':
    case '}':
        m_out.Append('\\');
        m_out.Append(char(c));
        return i + 1;
    case '\r':
        m_out.Append("\\par\n", 5);
        return i + 1 < length && data[i + 1] == '\n' ? i + 2 : i + 1;
    case '\n':
        m_out.Append("\\par\n", 5);
        return i + 1;
    case '\t':
        m_out.Append("\\tab ", 5);
        return i + 1;
    default:
        break;
    }
    if (c < 0x80) {
        Unicode(c);
        return i + 1;
    }
    return Utf8(data, length, i);
}

// A UTF-8 sequence as one \u escape, two for a character beyond the BMP; a byte that starts no
// valid sequence as the Latin-1 character of its number.
std::size_t RtfFormat::Utf8(const char* data, std::size_t length, std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const Utf8Char ch = DecodeUtf8(p + i, p + length);
    if (ch.length == 0) {
        Unicode(p[i]);
        return i + 1;
    }
    if (ch.code >= 0x10000) {
        Unicode(0xD800 + ((ch.code - 0x10000) >> 10));
        Unicode(0xDC00 + ((ch.code - 0x10000) & 0x3FF));
    } else {
        Unicode(ch.code);
    }
    return i + ch.length;
}

// \uN? with N the UTF-16 unit as a signed 16-bit number; "?" for readers without Unicode.
void RtfFormat::Unicode(uint32_t unit) {
    char digits[8];
    int n = 0;
    int value = int(int16_t(uint16_t(unit)));
    const bool negative = value < 0;
    for (value = negative ? -value : value; n == 0 || value > 0; value /= 10) {
        digits[n++] = char('0' + value % 10);
    }
    m_out.Append(negative ? "\\u-" : "\\u", negative ? 3 : 2);
    while (n > 0) {
        m_out.Append(digits[--n]);
    }
    m_out.Append('?');
}

int RtfHalfPoints(int32_t font_size) {
    if (font_size <= 0) {
        return 0;
    }
    // Word's largest size is 1638 points.
    return font_size > 2184 ? 3276 : int((int64_t(font_size) * 3 + 1) / 2);
}

int BuildRtf(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
             int b_css, std::string& rtf, ConvertObserver* observer) {
    rtf.clear();
    const int result =
        CatchingMemory([&] { return Build(source, settings, style, b_css != 0, rtf, observer); });
    if (result == 0) {
        std::string().swap(rtf);
    }
    return result;
}

int BuildRtf(std::string_view source, const ProfileSettings& settings, int b_css, std::string& rtf,
             ConvertObserver* observer) {
    StyleRecord style;
    if (!CatchingMemory([&] { return BuildStyle(settings, style); })) {
        std::string().swap(rtf);
        return 0;
    }
    return BuildRtf(source, settings, style, b_css, rtf, observer);
}
