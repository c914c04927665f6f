// tarvo-convert's theme options: a theme reaches every rendition, bad names are usage errors,
// and in a real browser a page for both schemes shows the theme that the reader's system asks
// for.

#include "files/test_support.h"
#include "profiles/profile_file.h"
#include "render/converter.h"
#include "settings/cpp_defaults.h"
#include "style/theme_style.h"
#include "text/line_ends.h"
#include "themes/builtin_themes.h"
#include "themes/theme_file.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <tuple>

namespace {

using ThemeOptions = InTempDir;

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};
Outcome Tarvo(const std::string& args) {
    std::string command = "'";
    command.append(TARVO_CONVERT).append("' ").append(args).append(" > out.txt 2> err.txt");
    return {Shell(command), ReadWholeFile("out.txt"), ReadWholeFile("err.txt")};
}

const char* const kSource = "#include <cstdio>\n"
                            "// Prints a greeting.\n"
                            "int main() {\n"
                            "    std::printf(\"hi %c\\n\", 'x');\n"
                            "    return 0;\n"
                            "}\n";

// "rgb(13, 17, 23)", as a browser gives a computed colour.
std::string Rgb(uint32_t colour) {
    char text[32];
    std::snprintf(text, sizeof text, "rgb(%u, %u, %u)", colour >> 16 & 0xFF, colour >> 8 & 0xFF,
                  colour & 0xFF);
    return text;
}

std::string UrlDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Each class's computed colour, the code box's and the marked line's backgrounds.
const char* const kProbe = R"(<script>
const look = (s, p) => getComputedStyle(document.querySelector(s))[p];
document.documentElement.setAttribute('data-looks', encodeURIComponent([
    look('.cpp_text', 'color'), look('.cpp_text', 'backgroundColor'),
    look('.cpp_keyword', 'color'), look('.cpp_comment', 'color'), look('.cpp_string', 'color'),
    look('.cpp_char', 'color'), look('.cpp_number', 'color'), look('.cpp_preproc', 'color'),
    look('.cpp_line_number', 'color'), look('.cpp_marked', 'backgroundColor')].join(' ')));
</script>
)";

// The code box's colour and background and the first keyword's colour, in a snippet.
const char* const kInlineProbe = R"(<script>
const box = getComputedStyle(document.querySelector('pre'));
const word = [...document.querySelectorAll('code')].find(e => e.textContent.trim() === 'return');
document.documentElement.setAttribute('data-looks', encodeURIComponent([
    box.color, box.backgroundColor, getComputedStyle(word).color].join(' ')));
</script>
)";

std::string Expected(const Theme& t) {
    std::string text;
    const auto add = [&](uint32_t colour) {
        text.append(text.empty() ? "" : " ").append(Rgb(colour));
    };
    add(ShownColour(t, ThemeClass::Text));
    add(ShownBackground(t));
    for (const ThemeClass c : {ThemeClass::Keyword, ThemeClass::Comment, ThemeClass::String,
                               ThemeClass::Char, ThemeClass::Number, ThemeClass::Preproc}) {
        add(ShownColour(t, c));
    }
    add(t.line_number_colour);
    add(t.mark_colour);
    return text;
}

} // namespace

TEST_F(ThemeOptions, AThemeReachesTheConversionAndBadNamesAreUsageErrors) {
    WriteWholeFile("s.cpp", kSource);
    ProfileSettings s;
    SetCppDefaults(s);
    StyleRecord style;
    ASSERT_EQ(BuildStyle(s, style), 1);
    ApplyTheme(*FindBuiltInTheme("nord"), style);
    std::string expected;
    ASSERT_EQ(ConvertSource(s, style, WithCrLf(kSource), 1, expected), 1);
    ToLf(expected);
    EXPECT_EQ(Tarvo("--theme nord s.cpp").out, expected);
    // The same theme as a file of one's own.
    Theme mine = *FindBuiltInTheme("nord");
    std::snprintf(mine.name, sizeof mine.name, "my-nord");
    WriteWholeFile("my.theme", ThemeFileText(mine));
    EXPECT_EQ(Tarvo("--theme-file my.theme s.cpp").out, expected);
    // The classic theme is the default, byte for byte.
    EXPECT_EQ(Tarvo("--theme classic --rtf s.cpp").out, Tarvo("--rtf s.cpp").out);

    // A snippet that needs no style sheet: no class, the theme's looks in style attributes.
    const std::string snippet = Tarvo("--inline-styles --theme nord s.cpp").out;
    EXPECT_EQ(snippet.find("class="), std::string::npos) << snippet;
    EXPECT_NE(snippet.find("color:#9BBCDD\">int"), std::string::npos) << snippet;
    EXPECT_NE(snippet.find("background-color:#2E3440"), std::string::npos) << snippet;

    const Outcome list = Tarvo("--list-themes");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), long(BuiltInThemes().size()));
    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"--theme nope s.cpp", "unknown theme 'nope'"},
             {"--dark-theme ../x s.cpp", "unknown theme '../x'"},
             {"--theme nord --theme-file my.theme s.cpp", "--theme and --theme-file exclude"},
             {"--theme", "missing name after '--theme'"},
             {"--inline-styles --font-markup s.cpp", "--inline-styles takes no --font-markup"}}) {
        const Outcome bad = Tarvo(args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_EQ(bad.out, "") << args;
        EXPECT_TRUE(bad.err.starts_with("tarvo-convert: " + message)) << args << ": " << bad.err;
    }
}

// A profile remembers its themes; one it names that is not there is named, and the profile's own
// colours are used.
TEST_F(ThemeOptions, AProfilesThemesAreUsedAndAnUnknownOneIsNamed) {
    WriteWholeFile("s.cpp", kSource);
    ProfileSettings s;
    SetCppDefaults(s);
    const std::string plain = ProfileFileText(s, "p.ini");
    std::snprintf(s.p_s_theme, sizeof s.p_s_theme, "nord");
    std::snprintf(s.p_s_dark_theme, sizeof s.p_s_dark_theme, "my-dark");
    ASSERT_EQ(WriteProfileFile("p.ini", s), 1);
    ProfileSettings back;
    ASSERT_EQ(ReadProfileFile("p.ini", back), 1);
    EXPECT_STREQ(back.p_s_theme, "nord");
    EXPECT_STREQ(back.p_s_dark_theme, "my-dark");
    EXPECT_EQ(ProfileFileText(back, "p.ini"), ReadWholeFile("p.ini"));
    // Without themes a profile's text is as it always was.
    *back.p_s_theme = *back.p_s_dark_theme = '\0';
    EXPECT_EQ(ProfileFileText(back, "p.ini"), plain);

    Outcome run = Tarvo("--profile-file p.ini s.cpp");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Tarvo("--theme nord s.cpp").out);
    EXPECT_EQ(run.err, "tarvo-convert: Unknown theme 'my-dark'\n");
    // Found in the profile folder's themes, the dark one joins the style sheet.
    Theme mine = *FindBuiltInTheme("nord");
    std::snprintf(mine.name, sizeof mine.name, "my-dark");
    std::filesystem::create_directory("themes");
    WriteWholeFile("themes/my-dark.theme", ThemeFileText(mine));
    // Listed after the built-in ones when the profile folder is given.
    const Outcome list = Tarvo("--list-themes --profile-dir .");
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), long(BuiltInThemes().size()) + 1);
    EXPECT_NE(list.out.find("\nmy-dark           dark   4.5:1"), std::string::npos) << list.out;
    run = Tarvo("--profile-file p.ini --style-sheet");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, Tarvo("--theme nord --dark-theme my-dark --style-sheet").out);
    EXPECT_NE(run.out.find("@media (prefers-color-scheme: dark)"), std::string::npos);
    std::snprintf(s.p_s_theme, sizeof s.p_s_theme, "No Such");
    ASSERT_EQ(WriteProfileFile("p.ini", s), 1);
    run = Tarvo("--profile-file p.ini s.cpp");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, Tarvo("s.cpp").out);
    EXPECT_EQ(run.err, "tarvo-convert: Unknown theme 'No Such'\n");
}

// Needs Chromium (Debian's chromium package, which scripts/test installs); skipped without it.
TEST_F(ThemeOptions, APageForBothSchemesShowsTheOneTheReadersSystemPrefers) {
    const char* chromium = ::access("/usr/bin/chromium", X_OK) == 0 ? "/usr/bin/chromium" : nullptr;
    if (chromium == nullptr) {
        GTEST_SKIP() << "chromium is not installed";
    }
    WriteWholeFile("s.cpp", kSource);
    ASSERT_EQ(Tarvo("-q --all-classes -n --mark 2 --theme github-light --dark-theme tokyo-night -d "
                    "pages s.cpp")
                  .status,
              0);
    WriteWholeFile("pages/probe.html", ReadWholeFile("pages/s.cpp.html") + kProbe);
    // A snippet for both schemes in a page with no style sheet: the code box's colours and a
    // keyword's, each a light-dark() of the two themes'.
    const Outcome snippet =
        Tarvo("--inline-styles --theme github-light --dark-theme tokyo-night s.cpp");
    ASSERT_EQ(snippet.status, 0) << snippet.err;
    WriteWholeFile("pages/inline.html",
                   "<!DOCTYPE html><html><body>" + snippet.out + kInlineProbe + "</body></html>");
    // Blink's preferredColorScheme: 0 dark, 1 light.
    for (const auto& [scheme, theme, page] :
         {std::tuple{0, "tokyo-night", "probe"}, std::tuple{1, "github-light", "probe"},
          std::tuple{0, "tokyo-night", "inline"}, std::tuple{1, "github-light", "inline"}}) {
        const bool inline_page = std::string_view(page) == "inline";
        std::string command = chromium;
        command
            .append(" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                    " --disable-background-networking --disable-component-update"
                    " --disable-sync --user-data-dir=\"$PWD/profile\" --virtual-time-budget=3000"
                    " --blink-settings=preferredColorScheme=")
            .append(std::to_string(scheme))
            .append(" --dump-dom \"file://$PWD/pages/")
            .append(page)
            .append(".html\" > dom.txt 2> chromium.log");
        ASSERT_EQ(Shell(command), 0) << ReadWholeFile("chromium.log");
        const std::string dom = ReadWholeFile("dom.txt");
        const std::size_t at = dom.find("data-looks=\"");
        ASSERT_NE(at, std::string::npos) << dom;
        const std::size_t start = at + 12;
        const Theme& t = *FindBuiltInTheme(theme);
        std::string inline_looks = Rgb(ShownColour(t, ThemeClass::Text));
        inline_looks.append(" ").append(Rgb(ShownBackground(t)));
        inline_looks.append(" ").append(Rgb(ShownColour(t, ThemeClass::Keyword)));
        EXPECT_EQ(UrlDecoded(dom.substr(start, dom.find('"', start) - start)),
                  inline_page ? inline_looks : Expected(t))
            << theme << " " << page;
    }
}
