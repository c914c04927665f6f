// tarvo-convert's LaTeX and terminal renditions on real headers: -d --latex documents that
// pdflatex compiles and pdftotext reads back as the sources, and --ansi that is the source
// once its escapes are gone.

#include "files/test_support.h"
#include "render/ansi_text.h"
#include "render/latex_text.h"
#include "settings/cpp_defaults.h"

#include <sys/wait.h>

namespace {

using Renditions = InTempDir;

// The standard library's headers that the tests read, from the newest version installed.
std::vector<std::filesystem::path> Headers(std::size_t count) {
    std::filesystem::path library;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/usr/include/c++", ec)) {
        if (std::filesystem::exists(e.path() / "bits/stl_pair.h") && e.path() > library) {
            library = e.path();
        }
    }
    std::vector<std::filesystem::path> files;
    for (const char* name : {"bits/stl_pair.h", "bits/move.h", "utility", "bits/stl_algobase.h"}) {
        if (!library.empty() && files.size() < count) {
            files.push_back(library / name);
        }
    }
    return files;
}

int Shell(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string NoWhiteSpace(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\f') {
            out += c;
        }
    }
    return out;
}

std::string TabsReplaced(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '\t' ? std::string(4, ' ') : std::string(1, c);
    }
    return out;
}

// `ansi` without its SGR sequences (ESC [ digits and semicolons m).
std::string WithoutEscapes(const std::string& ansi) {
    std::string out;
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        if (ansi[i] == '\x1b' && ansi.compare(i, 2, "\x1b[") == 0) {
            i = ansi.find('m', i);
        } else {
            out += ansi[i];
        }
    }
    return out;
}

} // namespace

TEST_F(Renditions, LatexDocumentsOfRealHeadersCompileAndReadBackAsTheSources) {
    const auto headers = Headers(3);
    if (headers.empty() || Shell("command -v pdflatex >/dev/null && "
                                 "command -v pdftotext >/dev/null") != 0) {
        GTEST_SKIP() << "no C++ headers, or pdflatex or pdftotext is not installed (Debian: "
                        "texlive-latex-base, texlive-latex-recommended, poppler-utils)";
    }
    std::filesystem::create_directory("src");
    for (const auto& header : headers) {
        std::filesystem::copy_file(header, "src" / header.filename());
    }
    ASSERT_EQ(Shell(std::string("'") + TARVO_CONVERT +
                    "' -q --all-classes --mark 3-9 --latex --include '*' -d out src"),
              0);
    const std::string index = ReadWholeFile("out/index.html");
    for (const auto& header : headers) {
        const std::string name = header.filename().string();
        EXPECT_NE(index.find("href=\"" + name + ".tex\""), std::string::npos) << index;
        ASSERT_EQ(Shell("cd out && pdflatex -interaction=nonstopmode -halt-on-error "
                        "-no-shell-escape '" +
                        name + ".tex' > '" + name + ".log' 2>&1"),
                  0)
            << ReadWholeFile("out/" + name + ".log");
        ASSERT_EQ(
            Shell("pdftotext -layout -enc UTF-8 'out/" + name + ".pdf' 'out/" + name + ".txt'"), 0);
        EXPECT_EQ(NoWhiteSpace(ReadWholeFile("out/" + name + ".txt")),
                  NoWhiteSpace(TabsReplaced(ReadWholeFile(header.string()))))
            << name;
    }
}

TEST_F(Renditions, AnsiWithoutItsEscapesIsTheSourceWithItsTabsReplaced) {
    const auto headers = Headers(4);
    if (headers.empty()) {
        GTEST_SKIP() << "no C++ headers";
    }
    for (const auto& header : headers) {
        ASSERT_EQ(Shell(std::string("'") + TARVO_CONVERT + "' --all-classes --ansi '" +
                        header.string() + "' > out.ansi"),
                  0);
        const std::string ansi = ReadWholeFile("out.ansi");
        EXPECT_EQ(WithoutEscapes(ansi), TabsReplaced(ReadWholeFile(header.string()))) << header;
        // A keyword is preceded by its colour, the default keyword blue.
        EXPECT_NE(ansi.find("\x1b[0;38;2;0;0;255mtemplate"), std::string::npos) << header;
    }
}

TEST_F(Renditions, OptionsOfTheFormsAndWhatTheyWrite) {
    const std::string program = std::string("'") + TARVO_CONVERT + "' ";
    WriteWholeFile("a.cpp", "int a;\n");
    for (const char* bad :
         {"--rtf --latex a.cpp", "--ansi --font-markup a.cpp", "--latex --font-markup a.cpp",
          "--ansi --style-sheet", "-d out --ansi a.cpp", "--ansi --rtf a.cpp"}) {
        EXPECT_EQ(Shell(program + bad + " 2>/dev/null >/dev/null"), 2) << bad;
    }
    // The same bytes as the library gives, from the built-in settings.
    ProfileSettings defaults;
    ASSERT_EQ(SetCppDefaults(defaults), 1);
    ASSERT_EQ(Shell(program + "--style-sheet --latex > preamble.tex"), 0);
    EXPECT_EQ(ReadWholeFile("preamble.tex"), BuildLatexPreamble(defaults));
    ASSERT_EQ(Shell(program + "--latex a.cpp > a.tex && " + program + "--ansi a.cpp > a.ansi"), 0);
    std::string latex, ansi;
    ASSERT_EQ(BuildLatex("int a;\r\n", defaults, latex), 1);
    ASSERT_EQ(BuildAnsi("int a;\r\n", defaults, ansi), 1);
    EXPECT_EQ(ReadWholeFile("a.tex"), latex);
    EXPECT_EQ(ReadWholeFile("a.ansi"), ansi);
}
