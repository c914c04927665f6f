// LibreOffice Writer as the judge of the rich renditions: it imports the RTF and the clipboard's
// HTML of real headers, and its plain text is the source with the tabs replaced, spaces and
// empty lines included; its own HTML of them keeps the keyword and comment colours. Skipped
// where soffice is not installed; it starts three times, each time on many files.

#include "render/converter.h"
#include "render/rich_text.h"
#include "render/rtf_text.h"
#include "settings/cpp_defaults.h"
#include "style/theme_style.h"
#include "text/box_text.h"
#include "themes/builtin_themes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

constexpr uint32_t kKeywordColour = 0x1F3A9C;
constexpr uint32_t kCommentColour = 0x2E8B57;

std::string FindOnPath(const char* name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = folders.find(':', start);
        end = end == std::string::npos ? folders.size() : end;
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / name;
        if (!candidate.parent_path().empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
        start = end + 1;
    }
    return {};
}

// Real sources: a few headers of the newest C++ library installed, and C's stdio.h; a made-up
// one with what the real ones may lack.
std::vector<std::pair<std::string, std::string>> Sources() {
    std::vector<std::pair<std::string, std::string>> sources{
        {"made_up",
         "\r\n  \t// caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 {braces} \\back\\\r\n"
         "int main()   \r\n{\r\n\r\n\r\n\tif (a<b && c>d) /* x\r\n\t\t y */ return 1;\r\n"
         "    \r\n\t\"\\\\\" \\par {\\rtf1}\r\n}\r\n\r\n"}};
    fs::path library;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/usr/include/c++", ec)) {
        if (fs::exists(e.path() / "bits/stl_vector.h") && e.path() > library) {
            library = e.path();
        }
    }
    std::vector<fs::path> files{"/usr/include/stdio.h"};
    if (!library.empty()) {
        for (const char* name : {"bits/stl_vector.h", "bits/stl_list.h", "bits/stl_tree.h"}) {
            files.push_back(library / name);
        }
    }
    for (const fs::path& file : files) {
        if (fs::exists(file)) {
            sources.emplace_back(file.filename().string(), OpenedInTextBox(ReadWholeFile(file)));
        }
    }
    return sources;
}

// What a reader shows of the box's `text`: tabs replaced, line breaks as LF.
std::string Visible(const std::string& text, int32_t tab_size) {
    std::string shown;
    for (const char c : text) {
        if (c == '\t') {
            shown.append(std::size_t(tab_size), ' ');
        } else if (c != '\r') {
            shown += c;
        }
    }
    return shown;
}

// The first three characters, spaces left out, of the text that Writer's HTML export shows in
// `colour`.
std::string FirstTextIn(const std::string& page, uint32_t colour) {
    char attribute[32];
    std::snprintf(attribute, sizeof attribute, "color=\"#%06x\">", unsigned(colour));
    std::size_t at = page.find(attribute);
    if (at == std::string::npos) {
        return "(colour missing)";
    }
    at += std::strlen(attribute);
    std::string text;
    for (; at < page.size() && text.size() < 3; ++at) {
        if (page[at] == '<') {
            at = page.find('>', at);
        } else if (page[at] != '\n' && page[at] != ' ') {
            text += page[at];
        }
    }
    return text;
}

// Works in a folder of its own, Writer's profile included.
class OfficeImport : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvo-office-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_previous = fs::current_path();
        fs::current_path(m_dir);
    }
    void TearDown() override {
        fs::current_path(m_previous);
        fs::remove_all(m_dir);
    }

    static constexpr const char* kUtf8Text = "txt:Text (encoded):UTF8";

    // Runs soffice once on `inputs`, converting them to `format` into out/.
    void Convert(const std::string& soffice, const std::vector<std::string>& inputs,
                 const std::string& format, const std::string& filter = "") {
        std::string command = "timeout 300 '" + soffice + "' -env:UserInstallation=file://" +
                              (m_dir / "profile").string() + " --headless";
        if (!filter.empty()) {
            command += " --infilter='" + filter + "'";
        }
        command += " --convert-to '" + format + "' --outdir out";
        for (const std::string& input : inputs) {
            command += " " + input;
        }
        command += " > soffice.log 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadWholeFile("soffice.log");
    }

    // The text of out/<name>.txt, without the byte-order mark that Writer puts first.
    static std::string Text(const std::string& name) {
        std::string text = ReadWholeFile("out/" + name + ".txt");
        return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
    }

    fs::path m_dir;
    fs::path m_previous;
};

TEST_F(OfficeImport, WriterKeepsTheTextAndTheColoursOfRtfAndHtml) {
    const std::string soffice = FindOnPath("soffice");
    if (soffice.empty()) {
        GTEST_SKIP() << "soffice is not installed (Debian: libreoffice-writer-nogui)";
    }
    const auto sources = Sources();
    std::vector<std::string> rtf_files;
    std::vector<std::string> html_files;
    for (const auto& [name, text] : sources) {
        for (const int variant : {0, 1}) {
            // CSS classes with the table, as the defaults; font markup without.
            ProfileSettings s;
            ASSERT_EQ(SetCppDefaults(s), 1);
            s.n_keyword_color = kKeywordColour;
            s.n_comment_color = kCommentColour;
            s.b_use_table = variant == 0 ? 1 : 0;
            // Writer names its output after the input without the extension.
            const std::string base = name + (variant == 0 ? "-table" : "-plain");
            WriteWholeFile(base + ".html", BuildRichText(text, s, 1 - variant));
            html_files.push_back(base + ".html");
            if (variant == 0) {
                std::string rtf;
                ASSERT_EQ(BuildRtf(text, s, 1, rtf), 1);
                WriteWholeFile(name + "-rtf.rtf", rtf);
                rtf_files.push_back(name + "-rtf.rtf");
            }
        }
    }
    // The made-up source once more with line numbers from 98 (so that they change width) and
    // two marked lines, in both renditions (CSS, no table).
    ProfileSettings numbered;
    ASSERT_EQ(SetCppDefaults(numbered), 1);
    numbered.b_use_table = 0;
    numbered.b_line_numbers = 1;
    numbered.n_first_line = 98;
    ASSERT_EQ(numbered.SetMarkedLines("99-100"), 1);
    std::string rtf;
    ASSERT_EQ(BuildRtf(sources[0].second, numbered, 1, rtf), 1);
    WriteWholeFile("numbered-rtf.rtf", rtf);
    WriteWholeFile("numbered-html.html", BuildRichText(sources[0].second, numbered, 1));
    rtf_files.push_back("numbered-rtf.rtf");
    html_files.push_back("numbered-html.html");

    // The text in UTF-8 whatever the locale: plain "txt:Text" writes the locale's encoding,
    // which is ASCII where none is set, as in a minimal container.
    Convert(soffice, rtf_files, kUtf8Text);
    Convert(soffice, html_files, kUtf8Text, "HTML (StarWriter)");

    // Each line after its number, right-aligned to the widest; the empty piece after the last
    // line end is no line of its own.
    std::string lines;
    const std::string made_up = Visible(sources[0].second, kCppDefaultTabSize);
    int number = 98;
    for (std::size_t start = 0; start < made_up.size(); ++number) {
        const std::size_t end = made_up.find('\n', start);
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a chain of joins here.
        lines.append(number < 100 ? 1 : 0, ' ');
        lines.append(std::to_string(number));
        lines.append(1, ' ');
        lines.append(made_up, start, end == std::string::npos ? std::string::npos : end - start);
        lines.append(1, '\n');
        start = end == std::string::npos ? made_up.size() : end + 1;
    }
    lines += made_up.ends_with('\n') ? "\n" : "";
    EXPECT_EQ(Text("numbered-rtf"), lines);
    EXPECT_EQ(Text("numbered-html"), lines);

    for (const auto& [name, text] : sources) {
        // Writer ends every paragraph, the last one too; a document does not end with a table,
        // so Writer puts an empty paragraph after it.
        const std::string visible = Visible(text, kCppDefaultTabSize) + "\n";
        EXPECT_EQ(Text(name + "-rtf"), visible) << name;
        EXPECT_EQ(Text(name + "-table"), visible + "\n") << name << " in a table";
        EXPECT_EQ(Text(name + "-plain"), visible) << name;
    }

    // A dark theme's RTF: its background and its italic comments.
    ProfileSettings plain;
    ASSERT_EQ(SetCppDefaults(plain), 1);
    StyleRecord dark;
    ASSERT_EQ(BuildStyle(plain, dark), 1);
    ApplyTheme(*FindBuiltInTheme("gruvbox-dark"), dark);
    ASSERT_EQ(BuildRtf(sources[0].second, plain, dark, 1, rtf), 1);
    WriteWholeFile("dark-rtf.rtf", rtf);

    // The colours, as Writer's own HTML states them: one start for both kinds of input.
    Convert(soffice,
            {rtf_files[0], html_files[0], html_files[1], "numbered-rtf.rtf", "numbered-html.html",
             "dark-rtf.rtf"},
            "html:HTML (StarWriter)");
    const std::string dark_page = ReadWholeFile("out/dark-rtf.html");
    EXPECT_NE(dark_page.find("background: #282828"), std::string::npos) << dark_page;
    EXPECT_NE(dark_page.find("<i>"), std::string::npos) << dark_page;
    for (const char* page :
         {"out/made_up-rtf.html", "out/made_up-table.html", "out/made_up-plain.html"}) {
        const std::string exported = ReadWholeFile(page);
        EXPECT_EQ(FirstTextIn(exported, kKeywordColour), "int") << page << "\n" << exported;
        EXPECT_EQ(FirstTextIn(exported, kCommentColour), "//c") << page << "\n" << exported;
    }
    // The marked lines' background.
    char mark[32];
    std::snprintf(mark, sizeof mark, "#%06x", unsigned(numbered.n_mark_color));
    for (const char* page : {"out/numbered-rtf.html", "out/numbered-html.html"}) {
        const std::string exported = ReadWholeFile(page);
        EXPECT_NE(exported.find(mark), std::string::npos) << page << "\n" << exported;
    }
}

} // namespace
