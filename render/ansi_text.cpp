#include "render/ansi_text.h"

#include "base/format.h"
#include "render/buffered_text.h"
#include "render/byte_runs.h"
#include "render/rendition.h"

#include <utility>
#include <vector>

namespace {

// What a terminal is told before a character: its colours and attributes.
// Plain numbers rather than optionals: the writer copies and compares a look at every span.
inline constexpr uint32_t kNone = 0xFFFFFFFF; // no colour given: the terminal's own

struct Look {
    uint32_t colour = kNone; // 0xRRGGBB
    uint32_t background = kNone;
    bool bold = false;
    bool italic = false;

    bool operator==(const Look&) const = default;
};

// Copied as they are: all but the C0 controls other than tab, and DEL.
using Runs = ByteRuns<true, true>;

class AnsiFormat {
public:
    // A line's end as text is what LineEnd writes for it (Text ends the line there).
    static constexpr bool kLineEndIsText = true;
    static constexpr bool kEscapedText = false;

    AnsiFormat(const StyleRecord& style, std::string& out) : m_style(style), m_out(out) {
        const ClassStyle& text = style.Of(SpanClass::Text);
        // Without a box of its own the text keeps the terminal's colours.
        if (text.background) {
            m_base.colour = text.colour & 0xFFFFFF;
            m_base.background = *text.background & 0xFFFFFF;
        }
        m_base.bold = text.bold;
        m_base.italic = text.italic;
        m_line = m_base;
        m_want = m_base;
    }

    bool Failed() const { return m_out.Failed(); }
    void Text(const char* data, std::size_t length) {
        std::size_t i = 0;
        while (i < length) {
            if (const std::size_t end = LineEndAt(data, i, length); end != 0) {
                LineEnd(false, "\n");
                i += end;
                continue;
            }
            Show();
            const std::size_t run = i;
            i = Runs::RunEnd(data, i, length);
            m_out.Append(data + run, i - run);
            if (i < length && LineEndAt(data, i, length) == 0) {
                // Caret notation, as less and cat -v show control characters.
                const auto c = static_cast<unsigned char>(data[i]);
                m_out.Append('^');
                m_out.Append(char(c == 0x7F ? '?' : c + 0x40));
                ++i;
            }
        }
    }
    void Open(SpanClass c) {
        const ClassStyle& look = m_style.Of(c);
        m_stack[m_depth < kDepth ? m_depth : kDepth - 1] = m_want;
        ++m_depth;
        m_want.colour = look.colour & 0xFFFFFF;
        if (look.background) {
            m_want.background = *look.background & 0xFFFFFF;
        }
        m_want.bold = look.bold;
        m_want.italic = look.italic;
    }
    void Close(SpanClass) {
        if (m_depth > 0) {
            --m_depth;
            m_want = m_stack[m_depth < kDepth ? m_depth : kDepth - 1];
        }
    }
    void LineStart(bool marked, std::string_view number) {
        m_line = m_base;
        if (marked) {
            m_line.background = m_style.mark_colour & 0xFFFFFF;
        }
        if (!number.empty()) {
            m_want = m_line;
            m_want.colour = m_style.number_colour & 0xFFFFFF;
            m_want.bold = m_want.italic = false;
            Show();
            m_out.Append(number);
            m_out.Append(' ');
        }
        m_want = m_line;
    }
    void LineEnd(bool, std::string_view end) {
        Reset();
        if (!end.empty()) {
            m_out.Append('\n');
        }
        m_line = m_base;
        m_want = m_base;
    }
    std::string_view NumberOpen() const { return {}; }
    std::string_view NumberClose() const { return {}; }
    void OpeningText(std::size_t, std::size_t) {}
    void OpeningTag(SpanClass, bool, std::size_t) {}
    void BodyStart() {}
    void ForeignClose(SpanClass) {}

    // After the last line. False when memory ran out.
    bool Finish() {
        Reset();
        return m_out.Flush();
    }

private:
    static constexpr std::size_t kDepth = 4;

    // The length of the line end (LF or CR LF) at data[i], or 0.
    static std::size_t LineEndAt(const char* data, std::size_t i, std::size_t length) {
        return data[i] == '\n'                                            ? 1
               : data[i] == '\r' && i + 1 < length && data[i + 1] == '\n' ? 2
                                                                          : 0;
    }

    // Tells the terminal the look wanted, where it is not the one shown: before every run of
    // text, so the test is inlined and the telling is not.
    void Show() {
        if (!(m_want == m_shown)) [[unlikely]] {
            ShowWanted();
        }
    }
    [[gnu::noinline]] void ShowWanted() {
        // The few looks of a conversion each written once.
        for (const auto& [look, sequence] : m_sequences) {
            if (look == m_want) {
                m_out.Append(sequence);
                m_shown = m_want;
                return;
            }
        }
        std::string sequence = "\x1b[0";
        sequence += m_want.bold ? ";1" : "";
        sequence += m_want.italic ? ";3" : "";
        if (m_want.colour != kNone) {
            Colour(sequence, 38, m_want.colour);
        }
        if (m_want.background != kNone) {
            Colour(sequence, 48, m_want.background);
        }
        sequence += 'm';
        m_out.Append(sequence);
        m_sequences.emplace_back(m_want, std::move(sequence));
        m_shown = m_want;
    }
    static void Colour(std::string& out, int kind, uint32_t rgb) {
        tarvo::AppendFormat(out, ";%d;2;%u;%u;%u", kind, unsigned(rgb >> 16 & 0xFF),
                            unsigned(rgb >> 8 & 0xFF), unsigned(rgb & 0xFF));
    }
    // The terminal's own look again, before a line end.
    void Reset() {
        if (m_shown != Look{}) {
            m_out.Append("\x1b[0m");
            m_shown = Look{};
        }
    }

    const StyleRecord& m_style;
    BufferedText m_out;
    Look m_base;  // the text's
    Look m_line;  // the current line's (a marked line's background)
    Look m_want;  // what the next character is to look like
    Look m_shown; // what the terminal was last told
    Look m_stack[kDepth];
    std::vector<std::pair<Look, std::string>> m_sequences;
    std::size_t m_depth = 0;
};

int Build(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
          std::string& ansi, ConvertObserver* observer) {
    Prepared prepared;
    if (!Prepare(settings, style, source, true, observer, prepared)) {
        return 0;
    }
    AnsiFormat format(style, ansi);
    Rendition<AnsiFormat> writer(format, prepared, style, source, true);
    if (!writer.Start()) {
        return 0;
    }
    // The colours' sequences and each line's number and reset: the output never moves as it
    // grows.
    const std::size_t text = prepared.escaped.size() - prepared.source_start;
    if (!ReserveOutput(ansi, 2 * text + writer.Lines() * 96 + 4096) ||
        !Scan(prepared, writer.Sink(), observer)) {
        return 0;
    }
    writer.Finish();
    return format.Finish() ? 1 : 0;
}

} // namespace

int BuildAnsi(std::string_view source, const ProfileSettings& settings, const StyleRecord& style,
              std::string& ansi, ConvertObserver* observer) {
    ansi.clear();
    const int result =
        CatchingMemory([&] { return Build(source, settings, style, ansi, observer); });
    if (result == 0) {
        std::string().swap(ansi);
    }
    return result;
}

int BuildAnsi(std::string_view source, const ProfileSettings& settings, std::string& ansi,
              ConvertObserver* observer) {
    StyleRecord style;
    if (!BuildStyle(settings, style)) {
        std::string().swap(ansi);
        return 0;
    }
    return BuildAnsi(source, settings, style, ansi, observer);
}
