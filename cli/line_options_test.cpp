// tarvo-convert's line-number options, and what a real browser makes of numbered pages:
// its text of the page is the source alone, and each number sits on its line.

#include "files/test_support.h"
#include "profiles/profile_file.h"
#include "render/converter.h"
#include "settings/cpp_defaults.h"
#include "text/line_ends.h"

#include <sys/wait.h>

namespace {

using LineOptions = InTempDir;

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// tarvo-convert with `args` on `input`; the status, standard output and standard error.
struct Outcome {
    int status;
    std::string out;
    std::string err;
};
Outcome Convert(const std::string& args, const std::string& input = "int x;\n") {
    WriteWholeFile("in.txt", input);
    Outcome o;
    o.status =
        Shell(std::string("'") + TARVO_CONVERT + "' " + args + " < in.txt > out.txt 2> err.txt");
    o.out = ReadWholeFile("out.txt");
    o.err = ReadWholeFile("err.txt");
    return o;
}

const std::string kSource = "#include <vector>\n"
                            "/* A block comment\n"
                            "   over three\n"
                            "   lines */\n"
                            "int main() {\n"
                            "\tint x = 0; // count &amp; <b>\n"
                            "\tconst char* s = R\"(raw\n"
                            "string)\";\n"
                            "\n"
                            "\treturn x + 1; // a long line " +
                            std::string(150, '-') +
                            " end\n"
                            "}\n";

std::string Chromium() {
    for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return {};
}

std::string UrlDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += char(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// What the page's script left in the attribute `name` of the html element.
std::string Attribute(const std::string& dom, const std::string& name) {
    const std::size_t at = dom.find(name + "=\"");
    if (at == std::string::npos) {
        return "(none)";
    }
    const std::size_t start = at + name.size() + 2;
    return UrlDecoded(std::string_view(dom).substr(start, dom.find('"', start) - start));
}

// Reads the page's text as a browser gives it, and checks that every number sits on its line:
// its middle lies within its line's text, and the numbers go down the page line by line.
const char* const kProbe = R"(<script>
const html = document.documentElement;
html.setAttribute('data-inner', encodeURIComponent(document.body.innerText));
let problems = [];
let last = -1;
let checked = 0;
for (const n of document.querySelectorAll('.cpp_line_number')) {
    const box = n.getBoundingClientRect();
    const mid = (box.top + box.bottom) / 2;
    if (box.top <= last) problems.push('number ' + n.dataset.line + ' not below the one before');
    last = box.top;
    let text = n.nextSibling;
    while (text && text.nodeType !== 3) text = text.firstChild || text.nextSibling;
    if (!text || text.data.startsWith('\n')) continue;
    const range = document.createRange();
    range.setStart(text, 0);
    range.setEnd(text, 1);
    const r = range.getBoundingClientRect();
    if (mid < r.top || mid > r.bottom) problems.push('number ' + n.dataset.line + ' off its line');
    ++checked;
}
html.setAttribute('data-problems', encodeURIComponent(problems.join('; ') || 'checked ' + checked));
</script>
)";

} // namespace

TEST_F(LineOptions, OptionsReachTheConversionAndBadOnesAreUsageErrors) {
    ProfileSettings s;
    SetCppDefaults(s);
    s.b_line_numbers = 1;
    s.n_first_line = 0;
    s.n_mark_color = 0x123456;
    ASSERT_EQ(s.SetMarkedLines("1, 3-4"), 1);
    std::string expected;
    ASSERT_EQ(ConvertSource(s, WithCrLf(kSource), 1, expected), 1);
    ToLf(expected);
    const Outcome numbered =
        Convert("-n --first-line 0 --mark '1, 3-4' --mark-color '#123456'", kSource);
    EXPECT_EQ(numbered.status, 0) << numbered.err;
    EXPECT_EQ(numbered.out, expected);
    EXPECT_NE(Convert("--line-numbers --font-markup").out.find("<font color=\"#666666\">1 </font>"),
              std::string::npos);

    const std::string sheet = Convert("--style-sheet").out;
    EXPECT_EQ(std::count(sheet.begin(), sheet.end(), '\n'), 24);
    const std::string numbered_sheet = Convert("--style-sheet --mark 2").out;
    EXPECT_NE(numbered_sheet.find(".cpp_marked {"), std::string::npos);
    EXPECT_TRUE(numbered_sheet.starts_with(sheet.substr(0, sheet.size() - 9)));

    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"--mark 5-3", "--mark: '5-3' runs backwards: write 3-5"},
             {"--mark x", "--mark: 'x' is not a line number (from 0 to 999999999)"},
             {"--mark 1-2000000000", "--mark: '1-2000000000' is not a line number (from 0 to "
                                     "999999999) or a range such as 3-5"},
             {"--mark 1,,2", "--mark: '' is an empty entry"},
             {"--first-line -1", "--first-line: '-1' is not a line number (from 0 to 999999999)"},
             {"--first-line 1000000000", "--first-line: '1000000000' is not a line number"},
             {"--mark-color FFF", "--mark-color: 'FFF' is not a colour (RRGGBB)"},
             {"--mark-color GGGGGG", "--mark-color: 'GGGGGG' is not a colour (RRGGBB)"},
             {"--mark", "missing value after '--mark'"},
             {"-d pages --mark 9-1 in.txt", "--mark: '9-1' runs backwards"}}) {
        const Outcome bad = Convert(args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_TRUE(bad.out.empty()) << args;
        EXPECT_NE(bad.err.find("tarvo-convert: " + message), std::string::npos)
            << args << ": " << bad.err;
    }
    WriteWholeFile("s.cpp", kSource);
    EXPECT_EQ(Shell(std::string("'") + TARVO_CONVERT + "' -q -n --mark 2 -d pages s.cpp"), 0);
    const std::string page = ReadWholeFile("pages/s.cpp.html");
    EXPECT_NE(page.find(".cpp_line_number::before {"), std::string::npos);
    EXPECT_NE(page.find("<span class=\"cpp_marked\"><span class=\"cpp_line_number\" "
                        "data-line=\" 2\"></span>"),
              std::string::npos);
}

// Needs Chromium (Debian's chromium package, which scripts/test installs); skipped without it.
TEST_F(LineOptions, ABrowsersTextOfANumberedPageIsTheSource) {
    const std::string chromium = Chromium();
    if (chromium.empty()) {
        GTEST_SKIP() << "chromium is not installed";
    }
    for (const bool table : {true, false}) {
        for (const int font_size : {13, 31}) {
            SCOPED_TRACE("table " + std::to_string(table) + ", size " + std::to_string(font_size));
            // Without the table: CR LF line ends, no line break at the end, and the code in a box
            // that scrolls sideways, as many sites make it.
            std::string source = kSource;
            if (!table) {
                source.pop_back();
                for (std::size_t at = 0; (at = source.find('\n', at)) != std::string::npos;
                     at += 2) {
                    source.insert(at, 1, '\r');
                }
            }
            WriteWholeFile("s.cpp", source);
            std::string shown;
            for (const char c : source) {
                shown += c == '\t' ? std::string(4, ' ') : c == '\r' ? "" : std::string(1, c);
            }
            ProfileSettings s;
            SetCppDefaults(s);
            s.b_use_table = table;
            s.n_font_size = font_size;
            ASSERT_EQ(WriteProfileFile("p.ini", s), 1);
            std::filesystem::remove_all("pages");
            ASSERT_EQ(Shell(std::string("'") + TARVO_CONVERT +
                            "' -q --profile-file p.ini -n --mark 2-3,6,8-9 -d pages s.cpp"),
                      0);
            const std::string page = ReadWholeFile("pages/s.cpp.html");
            const std::string scrolling = table ? "" : "<style>pre { overflow-x: auto; }</style>\n";
            WriteWholeFile("pages/probe.html", scrolling + page + kProbe);
            const std::string flags =
                " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                " --disable-background-networking --disable-component-update --disable-sync"
                " --user-data-dir=\"$PWD/profile\" --window-size=900,420 ";
            ASSERT_EQ(Shell(chromium + flags +
                            "--virtual-time-budget=3000 --dump-dom \"file://$PWD/" +
                            "pages/probe.html\" > dom.txt 2> chromium.log"),
                      0)
                << ReadWholeFile("chromium.log");
            const std::string dom = ReadWholeFile("dom.txt");
            EXPECT_EQ(Attribute(dom, "data-inner"), shown);
            EXPECT_EQ(Attribute(dom, "data-problems"), "checked 10"); // the empty line has no text
            if (font_size == 13) {
                // For a person to look at: numbers beside their lines, marked lines.
                const std::string shot =
                    std::string(TARVO_SCREENSHOT_DIR) +
                    (table ? "/tarvo-line-numbers.png" : "/tarvo-line-numbers-scrolling.png");
                std::filesystem::remove(shot);
                EXPECT_EQ(Shell(chromium + flags + "--screenshot=\"" + shot + "\" \"file://$PWD/" +
                                "pages/probe.html\" 2> chromium.log"),
                          0);
                EXPECT_TRUE(std::filesystem::exists(shot));
            }
            std::filesystem::remove_all("profile");
        }
    }
}

// What the command line refuses, a profile cannot slip in: its values that cannot be used are
// named with their keys, and the run ends without converting.
TEST_F(LineOptions, AProfilesValuesThatCannotBeUsedFailTheRunNamed) {
    ProfileSettings s;
    SetCppDefaults(s);
    ASSERT_EQ(WriteProfileFile("p.ini", s), 1);
    const std::string text = ReadWholeFile("p.ini");
    for (const auto& [lines, said] : std::vector<std::pair<std::string, std::string>>{
             {"b_line_numbers = 1; p_s_marked_lines = \"1-3,x\";",
              "p.ini: p_s_marked_lines: 'x' is not a line number (from 0 to 999999999) or a "
              "range such as 3-5\n"},
             {"n_first_line = -1; n_mark_color = 0x1000000;",
              "p.ini: n_first_line: '-1' is not a line number (from 0 to 999999999)\n"
              "tarvo-convert: p.ini: n_mark_color: '0x1000000' is not a colour (RRGGBB)\n"},
             {"n_font_size = 0x;",
              "p.ini: n_font_size: '0x' has no digits after 0x (read as 0)\n"}}) {
        WriteWholeFile("p.ini", lines + "\n" + text);
        const Outcome run = Convert("--profile-file p.ini");
        EXPECT_EQ(run.status, 1) << lines;
        EXPECT_EQ(run.out, "") << lines;
        EXPECT_EQ(run.err, "tarvo-convert: " + said) << lines;
    }
}
