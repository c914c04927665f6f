// LaTeX: every line of the fragment stands on its own and reads back as the source's line; a
// document of one's own that takes the preamble and \inputs a fragment compiles with pdflatex,
// gives the source's text back through pdftotext and has the keywords in their colour.

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#include "render/converter_test_support.h"
#pragma GCC diagnostic pop
#include "render/latex_text.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

// The source's text of one fragment line: the class macros' braces dropped, the escapes read.
std::string ReadLine(const std::string& line) {
    std::string text;
    int depth = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '}') {
            EXPECT_GT(depth--, 0) << line;
            continue;
        }
        EXPECT_NE(line[i], '{') << line;
        if (line[i] != '\\') {
            text += line[i];
            continue;
        }
        const std::size_t brace = line.find('{', i);
        const std::string name = line.substr(i + 1, brace - i - 1);
        i = brace;
        if (name == "TVbs" || name == "TVob" || name == "TVcb" || name == "TVsq" ||
            name == "TVbq") {
            EXPECT_EQ(line[i + 1], '}') << line;
            text += name == "TVbs"   ? '\\'
                    : name == "TVob" ? '{'
                    : name == "TVcb" ? '}'
                    : name == "TVsq" ? '\''
                                     : '`';
            ++i;
        } else if (name == "TVu") {
            const std::size_t code_end = line.find('}', i);
            const std::size_t end = line.find('}', code_end + 1);
            EXPECT_EQ(line[code_end + 1], '{');
            text += line.substr(code_end + 2, end - code_end - 2);
            i = end;
        } else {
            EXPECT_TRUE(name.starts_with("TV")) << name;
            ++depth;
        }
    }
    EXPECT_EQ(depth, 0) << "a span left open at its line's end: " << line;
    return text;
}

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            out.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return out;
}

// A scratch folder, removed with its files.
struct TempFolder {
    TempFolder() {
        char pattern[] = "/tmp/tarvo-latex-XXXXXX";
        path = ::mkdtemp(pattern) != nullptr ? pattern : "";
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

std::string NoWhiteSpace(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f') {
            out += c;
        }
    }
    return out;
}

} // namespace

TEST(Latex, EachLineStandsOnItsOwnAndReadsBackAsTheSource) {
    std::mt19937 rng(27);
    const std::vector<std::string> words = {
        "int", "/*", "*/",      "//", "\n", "\r\n", "\"",      "'a'",         "`",    "{",
        "}",   "\\", "$&#^_%~", " ",  "\t", "0x1F", "#define", "caf\xC3\xA9", "\xFF", "\x01"};
    for (int round = 0; round < 600; ++round) {
        ProfileSettings s;
        SetDefaults(s);
        s.n_tab_size = int32_t(rng() % 6) - 1;
        if (rng() % 2 != 0) {
            SetSuggestedClassColours(s);
        }
        s.b_line_numbers = int32_t(rng() % 2);
        ASSERT_EQ(s.SetMarkedLines(rng() % 2 != 0 ? "2-3" : ""), 1);
        const std::string source = RandomText(rng, rng() % 200, words);
        std::string latex;
        ASSERT_EQ(BuildLatex(source, s, latex), 1);
        std::istringstream lines(latex);
        std::string line;
        std::getline(lines, line);
        ASSERT_EQ(line, s.b_line_numbers ? "\\begin{TarvoCode}[numbers=left,firstnumber=1]"
                                         : "\\begin{TarvoCode}");
        std::string text;
        std::size_t number = 0;
        while (std::getline(lines, line) && line != "\\end{TarvoCode}") {
            ++number;
            const bool marked = s.MarkedLines()[0] != '\0' && (number == 2 || number == 3);
            if (marked) {
                ASSERT_TRUE(line.starts_with("\\TVmark{") && line.ends_with("}")) << line;
                line = line.substr(8, line.size() - 9);
            }
            text += ReadLine(line) + "\n";
        }
        ASSERT_EQ(line, "\\end{TarvoCode}");
        ASSERT_FALSE(std::getline(lines, line));
        // The source's lines, tabs replaced, a lone CR or a control character as its code,
        // a byte that is not UTF-8 as its Latin-1 character.
        std::string expected;
        for (std::size_t i = 0; i < source.size(); ++i) {
            const char c = source[i];
            if (c == '\t') {
                expected += s.n_tab_size < 0 ? std::string("\t")
                                             : std::string(std::size_t(s.n_tab_size), ' ');
            } else if (c == '\r' && i + 1 < source.size() && source[i + 1] == '\n') {
            } else if (const auto* p = reinterpret_cast<const unsigned char*>(source.data());
                       p[i] >= 0x80) {
                const std::size_t length = DecodeUtf8(p + i, p + source.size()).length;
                if (length == 0) {
                    expected += char(0xC0 | (p[i] >> 6)); // Latin-1
                    expected += char(0x80 | (p[i] & 0x3F));
                } else {
                    expected.append(source, i, length);
                    i += length - 1;
                }
            } else if ((c >= 0 && c < 0x20 && c != '\n') || c == 0x7F) {
                // read back as the empty text of its \TVu
            } else {
                expected += c;
            }
        }
        if (!expected.empty() && expected.back() != '\n') {
            expected += '\n';
        }
        ASSERT_EQ(text, expected) << source << "\n" << latex;
    }
}

TEST(Latex, ADocumentOfOnesOwnTakesThePreambleAndAFragment) {
    if (Shell("command -v pdflatex").empty() || Shell("command -v pdftotext").empty()) {
        GTEST_SKIP() << "pdflatex or pdftotext is not installed (Debian: texlive-latex-base, "
                        "texlive-latex-recommended, poppler-utils)";
    }
    const TempFolder dir;
    ASSERT_FALSE(dir.path.empty());
    ProfileSettings s;
    SetDefaults(s);
    SetSuggestedClassColours(s);
    ASSERT_EQ(s.SetMarkedLines("2"), 1);
    const std::string source =
        "#include <map> // all of ASCII's specials\r\n"
        "int main() { return x < 1 && y > 2 ? 'a' : \"b\"; } /* $ & # ^ _ % ~ ` \\ */\r\n"
        "\tcaf\xC3\xA9 -- --- << >> !` ?` ''\r\n";
    std::string fragment;
    ASSERT_EQ(BuildLatex(source, s, fragment), 1);
    std::ofstream(dir.path + "/code.tex") << fragment;
    std::ofstream(dir.path + "/paper.tex")
        << "\\documentclass{article}\n\\pagestyle{empty}\n\\pdfcompresslevel=0\n"
        << "\\pdfobjcompresslevel=0\n"
        << BuildLatexPreamble(s) << "\\begin{document}\nSome text.\n\n\\input{code}\n"
        << "\\end{document}\n";
    const std::string log = Shell("cd " + dir.path +
                                  " && pdflatex -interaction=nonstopmode -halt-on-error "
                                  "-no-shell-escape paper.tex 2>&1");
    ASSERT_NE(log.find("Output written on paper.pdf"), std::string::npos) << log;
    EXPECT_EQ(log.find("\n!"), std::string::npos) << log;
    const std::string text = Shell("pdftotext -layout -enc UTF-8 " + dir.path + "/paper.pdf -");
    std::string expected = "Some text.";
    for (const char c : source) {
        expected += c == '\t' ? std::string(4, ' ') : std::string(1, c);
    }
    // pdftotext gives an accent of the OT1 fonts as a combining one.
    std::string shown = NoWhiteSpace(text);
    if (const std::size_t e = shown.find("e\xCC\x81"); e != std::string::npos) {
        shown.replace(e, 3, "\xC3\xA9");
    }
    EXPECT_EQ(shown, NoWhiteSpace(expected)) << text;
    // The keyword colour (0000FF) set before the keyword's text.
    std::ifstream pdf(dir.path + "/paper.pdf", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(pdf)), {});
    const std::size_t blue = bytes.find("0 0 1 rg");
    ASSERT_NE(blue, std::string::npos);
    EXPECT_NE(bytes.find("(int)", blue), std::string::npos);
}
