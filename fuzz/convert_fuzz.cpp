// Converts any source with any keyword text: the input's first byte picks the style, the table
// and the tab size (and with its bit 2 every optional class on), the bytes up to the first NUL
// are the keyword text, the rest the source.
// Checks that progress only moves forward within its range and that every character of the
// source comes out (what a browser shows is the source with its tabs replaced); the clipboard's,
// the terminal's and the LaTeX renditions of the same source are written too.

#include "render/ansi_text.h"
#include "render/clipboard_data.h"
#include "render/converter.h"
#include "render/html_reader_test_support.h"
#include "render/latex_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct Watcher : ConvertObserver {
    int32_t last = -1;
    int escapes = 0;
    std::string escaped;
    void Progress(int32_t position) override {
        Check(position >= last && position >= 0 && position <= kProgressMax);
        last = position;
    }
    void EscapeDone(std::string_view text) override {
        ++escapes;
        escaped = text;
    }
};

std::string Visible(const std::string& html) {
    std::string text;
    bool in_tag = false;
    for (char c : html) {
        if (c == '<' || c == '>') {
            in_tag = c == '<';
        } else if (!in_tag) {
            text += c;
        }
    }
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* entities[] = {"&lt;", "&gt;", "&amp;"};
        const char plain[] = {'<', '>', '&'};
        bool replaced = false;
        for (int e = 0; e < 3 && !replaced; ++e) {
            const std::size_t n = std::strlen(entities[e]);
            if (text.compare(i, n, entities[e]) == 0) {
                decoded += plain[e];
                i += n - 1;
                replaced = true;
            }
        }
        if (!replaced) {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t flags = data[0];
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const std::size_t rest_size = size - 1;
    const void* nul = std::memchr(rest, 0, rest_size);
    const std::size_t keyword_size = nul ? std::size_t(static_cast<const char*>(nul) - rest) : 0;
    const std::string keywords(rest, keyword_size);
    const std::string source =
        nul ? std::string(rest + keyword_size + 1, rest_size - keyword_size - 1)
            : std::string(rest, rest_size);

    ProfileSettings settings;
    settings.b_use_table = flags & 1;
    settings.n_tab_size = int32_t(flags >> 3) - 2; // -2 to 29
    settings.n_table_width = 80;
    Check(settings.SetKeywords(keywords.c_str()) == 1);
    if ((flags & 4) != 0) {
        settings.n_string_color = 0x111111;
        settings.n_char_color = 0x222222;
        settings.n_number_color = 0x333333;
        settings.n_preproc_color = 0x444444;
        if ((flags & 1) != 0) {
            settings.n_function_color = 0x555555;
            settings.n_type_color = 0x666666;
            settings.n_namespace_color = 0x777777;
            settings.n_macro_color = 0x888888;
        }
    }

    Watcher watcher;
    std::string html;
    Check(ConvertSource(settings, source, (flags >> 1) & 1, html, &watcher) == 1);
    Check(watcher.escapes == 1);

    std::string expected;
    for (char c : source) {
        if (c == '\t') {
            expected += settings.n_tab_size < 0
                            ? std::string(1, '\t')
                            : std::string(std::size_t(settings.n_tab_size), ' ');
        } else {
            expected += c;
        }
    }
    // The pieces around the text: an empty source without keywords gives the opening piece as
    // its escape result, followed by the closing piece.
    ProfileSettings plain;
    plain.b_use_table = settings.b_use_table;
    plain.n_table_width = settings.n_table_width;
    Watcher pieces;
    std::string empty;
    Check(ConvertSource(plain, "", (flags >> 1) & 1, empty, &pieces) == 1);
    const std::string& opening = pieces.escaped;
    const std::string closing = empty.substr(opening.size());
    // A keyword may mark a word of the pieces themselves; then only the middle is checked.
    if (html.compare(0, opening.size(), opening) == 0 &&
        html.size() >= opening.size() + closing.size() &&
        html.compare(html.size() - closing.size(), closing.size(), closing) == 0) {
        const std::string middle =
            html.substr(opening.size(), html.size() - opening.size() - closing.size());
        Check(Visible(middle) == expected);
    }
    // The other renditions take every source; the terminal's gets no escape but its own
    // colour sequences, and each LaTeX line closes what it opens.
    std::string ansi, latex;
    std::vector<ClipboardFlavour> flavours;
    Check(BuildClipboardFlavours(source, settings, (flags >> 1) & 1, flavours) == 1);
    Check(BuildAnsi(source, settings, ansi) == 1 && BuildLatex(source, settings, latex) == 1);
    for (std::size_t i = ansi.find('\x1b'); i != std::string::npos; i = ansi.find('\x1b', i + 1)) {
        const std::size_t m = ansi.find('m', i);
        Check(ansi.compare(i, 2, "\x1b[") == 0 && m != std::string::npos &&
              ansi.find_first_not_of("0123456789;", i + 2) == m);
    }
    int depth = 0;
    for (const char c : latex) {
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        Check(depth >= 0 && (c != '\n' || depth == 0));
    }
    // Numbers and marks leave a browser's text of the CSS output the source alone.
    if ((flags & 4) != 0 && (flags & 2) != 0) {
        settings.b_line_numbers = 1;
        Check(settings.SetMarkedLines("1-3,7") == 1);
        std::string numbered;
        Check(ConvertSource(settings, source, 1, numbered) == 1);
        if (numbered.find("\"cpp_text cpp_lines\">") != std::string::npos) {
            Check(Visible(std::string(ConvertedBody(numbered, settings, true))) == expected);
        }
    }
    return 0;
}
