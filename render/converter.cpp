#include "render/converter.h"

#include "base/memory.h"
#include "render/html_writer.h"
#include "render/rendition.h"

#include <algorithm>
#include <cstring>

namespace {

int Convert(ProfileSettings& settings, const StyleRecord* given, std::string_view source, bool css,
            std::string& html, TextBlocks* blocks, ConvertObserver* observer) {
    // Longest first: of two keywords that both match at one place, the longer one wins.
    std::stable_sort(settings.p_s_keyword.begin(), settings.p_s_keyword.end(),
                     [](const char* a, const char* b) { return std::strlen(a) > std::strlen(b); });
    StyleRecord built;
    if (given == nullptr && !BuildStyle(settings, built)) {
        return 0;
    }
    const StyleRecord& style = given != nullptr ? *given : built;
    Prepared prepared;
    if (!Prepare(settings, style, source, css, observer, prepared, false)) {
        return 0;
    }
    const std::string_view escaped = prepared.escaped;
    const HtmlTags& tags = prepared.pieces.tags;

    const bool lines = style.LinesWanted();
    BufferedText out(html, blocks);
    HtmlFormat format(out, tags, escaped, prepared.source_start, true, css && lines);
    Rendition<HtmlFormat> writer(format, prepared, style, source);
    if (!writer.Start()) {
        return 0;
    }
    // The numbers' and marks' tags on every line.
    const std::size_t line_room = lines ? (tags.number_open.size() + tags.number_close.size() +
                                           tags.mark_open.size() + tags.mark_close.size() + 32) *
                                              writer.Lines()
                                        : 0;
    // The tags rarely add more than a quarter, or with the optional classes one and a half
    // times the text; the output grows by doubling beyond that.
    const std::size_t tag_room =
        prepared.classes.AnyOptional() ? escaped.size() + escaped.size() / 2 : escaped.size() / 4;
    if (!out.Reserve(escaped.size() + tag_room + prepared.pieces.closing.size() + line_room + 64)) {
        return 0;
    }
    if (lines && blocks == nullptr) {
        tarvo::PreferLargePages(html);
    }
    if (!Scan(prepared, writer.Sink(), observer)) {
        return 0;
    }
    writer.Finish();
    // With the code begun at once, no line break before the closing either: a browser's text of
    // the result is then the source's lines and nothing else.
    const std::string_view closing =
        std::string_view(prepared.pieces.closing).substr(format.LinesCode() ? 2 : 0);
    out.Append(closing.data(), closing.size());
    if (!out.Finish()) {
        return 0;
    }
    if (out.Size() > 65535 && observer != nullptr) {
        observer->Notice(NoticeStyle::Stop, kNoticeOver64k);
    }
    return 1;
}

} // namespace

int ConvertSource(ProfileSettings& settings, const StyleRecord& style, std::string_view source,
                  int b_css, std::string& html, ConvertObserver* observer) {
    html.clear();
    const int result = CatchingMemory(
        [&] { return Convert(settings, &style, source, b_css != 0, html, nullptr, observer); });
    if (result == 0) {
        std::string().swap(html);
    }
    return result;
}

int ConvertSource(ProfileSettings& settings, std::string_view source, int b_css, std::string& html,
                  ConvertObserver* observer) {
    html.clear();
    const int result = CatchingMemory(
        [&] { return Convert(settings, nullptr, source, b_css != 0, html, nullptr, observer); });
    if (result == 0) {
        std::string().swap(html);
    }
    return result;
}

int ConvertSourceInBlocks(ProfileSettings& settings, const StyleRecord* style,
                          std::string_view source, int b_css, TextBlocks& blocks,
                          ConvertObserver* observer) {
    std::string block;
    return CatchingMemory(
        [&] { return Convert(settings, style, source, b_css != 0, block, &blocks, observer); });
}
