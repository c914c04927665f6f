#pragma once
// What every rendition does before and around its writer: the keywords indexed, the opening
// piece chosen, the tab replacement settled with its notice, the escape pass, and the scan that
// tells the writer the spans.

#include "base/memory.h"
#include "lexing/class_highlighter.h"
#include "lexing/escape_pass.h"
#include "lexing/highlighter.h"
#include "lexing/keyword_index.h"
#include "lexing/pass_output.h"
#include "render/converter.h"
#include "render/html_pieces.h"
#include "render/line_numbers.h"
#include "render/span_writer.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"
#include "text/line_ends.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct Prepared {
    KeywordIndex keywords;
    HtmlPieces pieces;        // for `css` (the scan reads the opening piece too)
    std::string tab;          // a tab's replacement
    std::string escaped;      // the opening piece, then the escaped source
    std::size_t source_start; // where the escaped source begins
    ClassSet classes;         // the classes the scan marks
    // The source indexes of the characters the escape pass replaced, for the renditions that
    // take their characters from the source.
    std::vector<std::size_t> replaced;
};

// Prepares a conversion of `source` with the keywords and tab size of `settings` and the looks of
// `style`: gives the tab-size notice, then the escape pass's result, to `observer`; with
// `from_source` it keeps what the renditions that take the source's characters need. Returns 1,
// or 0 when memory ran out.
int Prepare(const ProfileSettings& settings, const StyleRecord& style, std::string_view source,
            bool css, ConvertObserver* observer, Prepared& prepared, bool from_source = true);

// From this size of escaped text on, a thread is worth its start.
inline constexpr std::size_t kNamesAheadBytes = 256 << 10;

// Runs the scan over the prepared text into `sink`, reporting progress. False when the sink
// failed.
template <SpanSink Sink>
bool Scan(const Prepared& prepared, Sink& sink, ConvertObserver* observer) {
    const Progress progress(observer, prepared.escaped.size(), kProgressMax / 2);
    ScanSetup setup{prepared.keywords, prepared.source_start, prepared.classes};
    // Without the optional classes the scan of old, which their lexer would not match byte for
    // byte; with them, a C++ lexer.
    if (!setup.classes.AnyOptional()) {
        return Highlight(prepared.escaped, setup, sink, progress);
    }
    if (!setup.classes.AnyName()) {
        return HighlightClasses(prepared.escaped, setup, sink, progress);
    }
    // The names are sought only when asked for: the marker reads the whole text first. For a
    // large text on a thread of its own, while the scan goes on; the marks are the same.
    const names::TreeNames* tree = observer != nullptr ? observer->Names() : nullptr;
    if (prepared.escaped.size() >= kNamesAheadBytes &&
        (observer == nullptr || observer->MayUseThreads())) {
        names::MarksAhead ahead(prepared.escaped, prepared.source_start, tree);
        if (ahead.Started()) {
            setup.names_ahead = &ahead;
            return HighlightClasses(prepared.escaped, setup, sink, progress);
        }
    }
    names::NameMarker marker(prepared.escaped, prepared.source_start, tree);
    setup.names = &marker;
    return HighlightClasses(prepared.escaped, setup, sink, progress);
}

// One format's writer over a prepared conversion: the span writer with the line numbering and
// the way back to the source that the format needs. With `split` the lines are split (and each
// span closed at a line's end) even without numbers or marks.
template <class Format>
class Rendition {
public:
    Rendition(Format& format, const Prepared& prepared, const StyleRecord& style,
              std::string_view source, bool split = false)
        : m_format(format), m_prepared(prepared), m_style(style),
          m_source(source, prepared.escaped, prepared.source_start, prepared.tab.size(),
                   prepared.replaced),
          m_writer(format, prepared.escaped, prepared.source_start,
                   Format::kEscapedText ? nullptr : &m_source,
                   style.LinesWanted() ? &m_numbering : nullptr, split, style.numbers) {}
    Rendition(const Rendition&) = delete;
    Rendition& operator=(const Rendition&) = delete;

    // Counts the lines for their numbers. False when memory ran out.
    bool Start() {
        if (!m_style.LinesWanted()) {
            return true;
        }
        m_lines = CountLines(std::string_view(m_prepared.escaped).substr(m_prepared.source_start));
        return m_numbering.Start(m_style, m_lines, m_format.NumberOpen(), m_format.NumberClose());
    }
    // After Start: the source's lines where they are numbered or marked, else 0.
    std::size_t Lines() const { return m_lines; }
    SpanWriter<Format>& Sink() { return m_writer; }
    // After the scan.
    void Finish() { m_writer.Finish(m_prepared.escaped.size()); }

private:
    Format& m_format;
    const Prepared& m_prepared;
    const StyleRecord& m_style;
    LineNumbering m_numbering;
    std::size_t m_lines = 0;
    EscapedSource m_source;
    SpanWriter<Format> m_writer;
};

// Room for a rendition's whole output of `size` bytes up front, in large pages where the system
// has them: the output is then written once from end to end, never moved as it grows, and costs
// no page fault every 4 KiB. Room that stays unused is never touched. False when memory ran out.
inline bool ReserveOutput(std::string& out, std::size_t size) {
    if (!tarvo::TryReserve(out, size)) {
        return false;
    }
    tarvo::PreferLargePages(out);
    return true;
}

// Two sinks fed by one scan.
template <SpanSink A, SpanSink B>
class TeeSink {
public:
    TeeSink(A& a, B& b) : m_a(a), m_b(b) {}
    void Open(SpanClass c, std::size_t at) {
        m_a.Open(c, at);
        m_b.Open(c, at);
    }
    void Close(SpanClass c, std::size_t at) {
        m_a.Close(c, at);
        m_b.Close(c, at);
    }
    bool Failed() const { return m_a.Failed() || m_b.Failed(); }

private:
    A& m_a;
    B& m_b;
};

// Runs `f`, turning the standard library's exhausted memory (the only exception here) into 0.
template <class F>
int CatchingMemory(F&& f) noexcept {
    try {
        return f();
    } catch (const std::exception&) {
        return 0;
    }
}
