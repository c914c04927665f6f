// Line numbers and marked lines: the pass over the converter's lines, its style rules and the
// rich-text numbers.

// GCC 12's Release build warns wrongly about the string joins of the shared random sources once
// they are inlined here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#include "render/converter_test_support.h"
#pragma GCC diagnostic pop
#include "render/html_reader_test_support.h"
#include "render/line_numbers.h"
#include "render/rich_text.h"
#include "render/style_sheet.h"

#include <cmath>

namespace {

std::vector<LineRange> Ranges(const char* text, MarkedLinesParse expect = MarkedLinesParse::Ok) {
    std::vector<LineRange> ranges;
    std::string problem;
    EXPECT_EQ(ParseMarkedLines(text, ranges, &problem), expect) << text << ": " << problem;
    return ranges;
}

std::string Flat(const std::vector<LineRange>& ranges) {
    std::string out;
    for (const LineRange& r : ranges) {
        out += std::to_string(r.first) + "-" + std::to_string(r.last) + " ";
    }
    return out;
}

// The characters of `body` outside tags, each with its open tags, one to a line; line ends and the
// tags and numbers that `skip` says belong to the line pass are left out.
std::string StyledText(std::string_view body, bool skip_line_markup) {
    std::string out;
    std::vector<std::string> open;
    bool skip_text = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '<') {
            const std::size_t end = body.find('>', i);
            const std::string tag(body.substr(i, end + 1 - i));
            i = end;
            const bool mine =
                skip_line_markup && (tag.find("cpp_marked") != std::string::npos ||
                                     tag.find("cpp_line_number") != std::string::npos ||
                                     tag.find("background-color") != std::string::npos ||
                                     tag == "<font color=\"#666666\">");
            if (tag[1] == '/') {
                skip_text = false;
                if (open.back() == "mine") {
                    open.pop_back();
                    continue;
                }
                open.pop_back();
            } else {
                open.push_back(mine ? "mine" : tag);
                skip_text = tag == "<font color=\"#666666\">";
            }
            continue;
        }
        if (skip_text || body[i] == '\r' || body[i] == '\n') {
            continue;
        }
        std::string tags;
        for (const std::string& t : open) {
            tags += t == "mine" ? "" : t;
        }
        out += body[i];
        out += tags;
        out += '\n';
    }
    return out;
}

struct Lines {
    std::vector<std::string> numbers; // as shown, padding included
    std::vector<bool> marked;
    std::vector<std::string> text; // visible text of each line, the number left out
};

// Reads the numbered body back line by line, checking that every line is closed in itself.
Lines ReadLines(std::string_view body, bool css) {
    Lines lines;
    const std::string number_open =
        css ? "<span class=\"cpp_line_number\" data-line=\"" : "<font color=\"#666666\">";
    HtmlLineSplitter splitter(body);
    for (HtmlLine line; splitter.Next(line);) {
        EXPECT_TRUE(splitter.OpenAtStart().empty()) << line.text;
        EXPECT_TRUE(splitter.OpenAtEnd().empty()) << line.text;
        std::string_view text = line.text;
        const bool marked = text.starts_with(css ? "<span class=\"cpp_marked\">" : "<span style");
        lines.marked.push_back(marked);
        if (marked) {
            text = text.substr(text.find('>') + 1, text.size() - text.find('>') - 1 - 7);
        }
        if (text.starts_with(number_open)) {
            text.remove_prefix(number_open.size());
            const std::size_t end = text.find(css ? '"' : ' ', text.find_first_not_of(' '));
            lines.numbers.emplace_back(text.substr(0, end));
            text.remove_prefix(text.find('>') + 1);
            if (css) {
                text.remove_prefix(text.find('>') + 1);
            }
        }
        lines.text.push_back(VisibleText(std::string(text)));
    }
    return lines;
}

std::string Padded(int64_t n, std::size_t width) {
    std::string s = std::to_string(n);
    return std::string(width - s.size(), ' ') + s;
}

double Contrast(uint32_t a, uint32_t b) {
    auto lum = [](uint32_t rgb) {
        double sum = 0;
        const double w[3] = {0.2126, 0.7152, 0.0722};
        for (int i = 0; i < 3; ++i) {
            const double c = double((rgb >> (16 - 8 * i)) & 0xFF) / 255.0;
            sum += w[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const double x = lum(a), y = lum(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

} // namespace

TEST(MarkedLines, ReadsListsAndNamesWhatIsWrong) {
    EXPECT_EQ(Flat(Ranges("3-5,9")), "3-5 9-9 ");
    EXPECT_EQ(Flat(Ranges(" 9 , 3 - 5\t")), "3-5 9-9 ");
    EXPECT_EQ(Flat(Ranges("2-4,3-6,7,20-30,1")), "1-7 20-30 "); // overlapping and touching
    EXPECT_EQ(Flat(Ranges("0,999999999")), "0-0 999999999-999999999 ");
    EXPECT_TRUE(Ranges("").empty());
    EXPECT_TRUE(Ranges("  ").empty());
    for (const char* bad :
         {"5-3", "x", "1,,2", "1,", ",1", "1-", "-1", "3-5-7", "1000000000", "+1", "1 2"}) {
        Ranges(bad, MarkedLinesParse::Malformed);
    }
    std::vector<LineRange> ranges;
    std::string problem;
    ParseMarkedLines("1, 5-3", ranges, &problem);
    EXPECT_EQ(problem, "'5-3' runs backwards: write 3-5");
}

TEST(LineNumbers, NumberEveryLineAndKeepEachCharactersStyle) {
    std::mt19937 rng(20);
    const std::vector<std::string> words = {"int",     "/*",   "*/",   "//",  "\n", "\r\n",
                                            "\"",      "R\"(", ")\"",  " ",   "x",  "return",
                                            "#define", "'a'",  "0x1F", "\\\n"};
    for (int round = 0; round < 1500; ++round) {
        ProfileSettings s;
        SetDefaults(s);
        s.b_use_table = int32_t(rng() % 2);
        if (rng() % 2 != 0) {
            SetSuggestedClassColours(s); // string, char, number and directive spans too
        }
        const bool css = rng() % 2 != 0;
        const std::string source = RandomText(rng, rng() % 300, words);
        const std::string plain = Convert(s, source, css);
        const std::string plain_text = StyledText(ConvertedBody(plain, s, css), false);

        s.b_line_numbers = int32_t(rng() % 2);
        const int64_t firsts[] = {0, 1, 9, 99999, 999999990};
        s.n_first_line = int32_t(firsts[rng() % 5]);
        std::string marks;
        for (int i = int(rng() % 4); i > 0; --i) {
            const int a = int(rng() % 20);
            // Appended piece by piece: GCC 12 warns wrongly about "-" + std::string.
            if (!marks.empty()) {
                marks += ',';
            }
            marks += std::to_string(a);
            if (rng() % 2 != 0) {
                marks += '-';
                marks += std::to_string(a + int(rng() % 40));
            }
        }
        ASSERT_EQ(s.SetMarkedLines(marks.c_str()), 1);
        const std::string html = Convert(s, source, css);
        if (!s.b_line_numbers && marks.empty()) {
            ASSERT_EQ(html, plain);
            continue;
        }
        const std::string_view body = ConvertedBody(html, s, css);
        ASSERT_EQ(StyledText(body, true), plain_text) << source;
        ASSERT_EQ(body.find(css ? "\"></code>" : "\"></font>"), std::string::npos)
            << "no span is opened again only to be closed: " << html;

        // One number per source line, counted up from the first, padded to the widest.
        std::size_t count = std::size_t(std::count(source.begin(), source.end(), '\n'));
        count += !source.empty() && source.back() != '\n';
        const Lines lines = ReadLines(body, css);
        ASSERT_EQ(lines.text.size(), count) << source;
        const std::vector<LineRange> ranges = Ranges(marks.c_str());
        const std::size_t width =
            std::to_string(s.n_first_line + std::max<int64_t>(int64_t(count) - 1, 0)).size();
        for (std::size_t i = 0; i < count; ++i) {
            const int64_t n = s.n_first_line + int64_t(i);
            if (s.b_line_numbers) {
                ASSERT_EQ(lines.numbers[i], Padded(n, width));
            }
            const bool marked = std::any_of(ranges.begin(), ranges.end(), [&](const LineRange& r) {
                return r.first <= n && n <= r.last;
            });
            ASSERT_EQ(lines.marked[i], marked) << "line " << n << " marks " << marks;
        }
        if (css) {
            // A browser's text is the source's lines and nothing else.
            std::string shown;
            for (const char c : source) {
                shown += c == '\t' ? std::string(4, ' ') : std::string(1, c);
            }
            ASSERT_EQ(VisibleText(std::string(body)), shown);
            ASSERT_TRUE(html.ends_with("</code></pre>\r\n") ||
                        html.ends_with("</code></pre></td></tr></table>\r\n"));
        }
    }
}

TEST(LineNumbers, LastLinesLineEndsAndWidths) {
    ProfileSettings s;
    SetDefaults(s);
    s.b_use_table = 0;
    s.b_line_numbers = 1;
    const auto numbers = [&](const std::string& source, int css) {
        const std::string html = Convert(s, source, css);
        return ReadLines(ConvertedBody(html, s, css != 0), css != 0).numbers;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(numbers("a\nb", 1), (V{"1", "2"}));
    EXPECT_EQ(numbers("a\nb\n", 1), (V{"1", "2"}));
    EXPECT_EQ(numbers("a\r\nb\r\n\r\n", 0), (V{"1", "2", "3"}));
    EXPECT_EQ(numbers("", 1), V{});
    EXPECT_EQ(Convert(s, "", 1), "<pre><code class=\"cpp_text cpp_lines\"></code></pre>\r\n");
    EXPECT_EQ(Convert(s, "x\r\n", 0),
              "<pre>\r\n<font color=\"#666666\">1 </font>x\r\n\r\n</pre>\r\n");
    s.n_first_line = 0;
    EXPECT_EQ(numbers("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk", 1).back(), "10");
    EXPECT_EQ(numbers("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk", 1).front(), " 0");
    s.n_first_line = 99999;
    EXPECT_EQ(numbers("a\nb\n", 0), (V{" 99999", "100000"}));
    EXPECT_EQ(numbers("a\n", 0), (V{"99999"}));

    // The numbering alone, as targets that write their own lines use it.
    ASSERT_EQ(s.SetMarkedLines("10"), 1);
    s.n_first_line = 9;
    LineNumbering numbering;
    ASSERT_TRUE(numbering.Start(s, 3, "[", "]"));
    std::string seen;
    for (int i = 0; i < 3; ++i, numbering.Next()) {
        seen += numbering.Text() + (numbering.Marked() ? "*" : "");
    }
    EXPECT_EQ(seen, "[ 9][10]*[11]");

    // Spans that run over a line end close with it and open again after the next line's number.
    s.n_first_line = 1;
    ASSERT_EQ(s.SetMarkedLines("2"), 1);
    EXPECT_EQ(std::string(ConvertedBody(Convert(s, "/* a\r\nb */ x", 1), s, true)),
              "<span class=\"cpp_line_number\" data-line=\"1\"></span>"
              "<code class=\"cpp_comment\">/* a</code>\r\n"
              "<span class=\"cpp_marked\"><span class=\"cpp_line_number\" data-line=\"2\"></span>"
              "<code class=\"cpp_comment\">b */ </code>x</span>");

    // A span closed before anything of the next line, or held open over an empty line, is not
    // opened again there: no empty spans.
    ASSERT_EQ(s.SetMarkedLines(""), 1);
    const std::string n = "<span class=\"cpp_line_number\" data-line=\"";
    EXPECT_EQ(std::string(ConvertedBody(Convert(s, "// a\r\nint x; /* b\r\n\r\n*/", 1), s, true)),
              n + "1\"></span><code class=\"cpp_comment\">// a</code>\r\n" + n +
                  "2\"></span><code class=\"cpp_keyword\">int </code>x; "
                  "<code class=\"cpp_comment\">/* b</code>\r\n" +
                  n + "3\"></span>\r\n" + n + "4\"></span><code class=\"cpp_comment\">*/</code>");
}

TEST(LineNumbers, StyleSheetRichTextAndColours) {
    ProfileSettings s;
    SetDefaults(s);
    const std::string plain_sheet = BuildStyleSheet(s);
    ASSERT_EQ(s.SetMarkedLines("x"), 1); // malformed: as if there were none
    EXPECT_EQ(BuildStyleSheet(s), plain_sheet);
    EXPECT_FALSE(LinesWanted(s));
    s.b_line_numbers = 1;
    const std::string sheet = BuildStyleSheet(s);
    EXPECT_TRUE(sheet.starts_with(plain_sheet.substr(0, plain_sheet.size() - 10)));
    EXPECT_TRUE(sheet.ends_with("}\r\n</style>\r\n"));
    for (const char* rule : {".cpp_line_number {", ".cpp_marked {", ".cpp_lines {",
                             "content : attr(data-line);", "background-color : #FFF6BF;"}) {
        EXPECT_NE(sheet.find(rule), std::string::npos) << rule;
    }

    // Rich text shows the numbers as text in both styles.
    ASSERT_EQ(s.SetMarkedLines("1"), 1);
    for (int css = 0; css < 2; ++css) {
        const std::string rich = BuildRichText("a\r\n\tb", s, css);
        // The last line ended too, as the <pre> shows no line after a last line end.
        EXPECT_EQ(VisibleText(rich), "\r\n1 a\r\n2     b\r\n") << rich;
        EXPECT_NE(rich.find("background-color:#FFF6BF"), std::string::npos) << rich;
        EXPECT_EQ(rich.find("class="), std::string::npos) << rich;
    }

    // The default mark keeps every text colour readable; its edge stands out against white.
    for (uint32_t text : {0x000000u, 0x0000FFu, 0x008000u, kLineNumberColor}) {
        EXPECT_GE(Contrast(kDefaultMarkColor, text), 4.5) << std::hex << text;
    }
    for (uint32_t mark : {kDefaultMarkColor, 0xFFFFFFu, 0x00FFFFu, 0x000000u}) {
        EXPECT_GE(Contrast(MarkEdgeColor(mark), 0xFFFFFF), 3.0) << std::hex << mark;
    }
}
