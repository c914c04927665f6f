#include "render/converter.h"

#include "lexing/class_highlighter.h"
#include "lexing/escape_pass.h"
#include "lexing/highlighter.h"
#include "lexing/keyword_index.h"
#include "lexing/pass_output.h"
#include "render/html_pieces.h"
#include "render/html_writer.h"
#include "render/line_numbers.h"
#include "render/span_writer.h"
#include "text/line_ends.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace {

int Convert(ProfileSettings& settings, std::string_view source, bool css, std::string& html,
            ConvertObserver* observer) {
    // Longest first: of two keywords that both match at one place, the longer one wins.
    std::stable_sort(settings.p_s_keyword.begin(), settings.p_s_keyword.end(),
                     [](const char* a, const char* b) { return std::strlen(a) > std::strlen(b); });
    KeywordIndex keywords;
    for (const char* k : settings.p_s_keyword) {
        if (!keywords.Add(k, std::strlen(k))) {
            return 0;
        }
    }
    StyleRecord style;
    if (!BuildStyle(settings, style)) {
        return 0;
    }
    const HtmlPieces pieces = ChoosePieces(style, css);

    std::string tab = "\t";
    if (settings.n_tab_size < 0) {
        if (observer != nullptr) {
            observer->Notice(NoticeStyle::Information, kNoticeKeepTabs);
        }
    } else {
        int32_t size = settings.n_tab_size;
        if (size > 255) {
            if (observer != nullptr) {
                observer->Notice(NoticeStyle::Stop, kNoticeMaxTabSize);
            }
            size = 255;
        }
        tab.assign(std::size_t(size), ' ');
    }

    std::string escaped;
    if (!Escape(source, pieces.opening, tab, escaped, Progress(observer, source.size(), 0))) {
        return 0;
    }
    if (observer != nullptr) {
        observer->EscapeDone(escaped);
    }
    const std::size_t source_start = pieces.opening.size();

    const bool lines = style.LinesWanted();
    LineNumbering numbering;
    std::size_t per_line = 0;
    if (lines) {
        const std::size_t count = CountLines(std::string_view(escaped).substr(source_start));
        if (!numbering.Start(style, count)) {
            return 0;
        }
        per_line = pieces.tags.number_open.size() + numbering.Text().size() +
                   pieces.tags.number_close.size() + pieces.tags.mark_open.size() +
                   pieces.tags.mark_close.size() + 16;
        per_line *= count;
    }

    // The tags rarely add more than a quarter; the output grows by doubling beyond that.
    Output out(html);
    if (!out.Reserve(escaped.size() + escaped.size() / 4 + pieces.closing.size() + per_line + 64)) {
        return 0;
    }
    if (lines) {
        tarvo::PreferLargePages(html);
    }
    HtmlFormat format(out, pieces.tags, escaped, source_start, true, css && lines);
    SpanWriter<HtmlFormat> writer(format, escaped, source_start, nullptr,
                                  lines ? &numbering : nullptr, false, style.numbers);
    const Progress progress(observer, escaped.size(), kProgressMax / 2);
    const ScanSetup setup{keywords, source_start, style.Classes()};
    // Without the optional classes the scan of old, which their lexer would not match byte for
    // byte; with them, a C++ lexer.
    if (!(setup.classes.AnyOptional() ? HighlightClasses(escaped, setup, writer, progress)
                                      : Highlight(escaped, setup, writer, progress))) {
        return 0;
    }
    writer.Finish(escaped.size());
    // With the code begun at once, no line break before the closing either: a browser's text of
    // the result is then the source's lines and nothing else.
    const std::string_view closing =
        std::string_view(pieces.closing).substr(format.LinesCode() ? 2 : 0);
    out.Append(closing.data(), closing.size());
    if (out.Failed()) {
        return 0;
    }
    if (html.size() > 65535 && observer != nullptr) {
        observer->Notice(NoticeStyle::Stop, kNoticeOver64k);
    }
    return 1;
}

} // namespace

int ConvertSource(ProfileSettings& settings, std::string_view source, int b_css, std::string& html,
                  ConvertObserver* observer) {
    html.clear();
    int result = 0;
    try {
        result = Convert(settings, source, b_css != 0, html, observer);
    } catch (const std::exception&) {
        // Only the standard library throws here, and only when memory runs out.
        result = 0;
    }
    if (result == 0) {
        std::string().swap(html);
    }
    return result;
}
