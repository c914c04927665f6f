// tarvo-convert -d: random trees against the one-file form, the same tree whatever -j, the
// index, and a run with failures as a user who cannot read everything.

#include "cli/convert_command.h"
#include "cli/index_page.h"
#include "files/test_support.h"
#include "render/html_page.h"
#include "render/style_sheet.h"
#include "settings/cpp_defaults.h"
#include "text/box_text.h"
#include "text/line_ends.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstring>
#include <map>
#include <random>
#include <set>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadStream(std::FILE* f) {
    std::rewind(f);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
        text.append(buffer, n);
    }
    std::fclose(f);
    return text;
}

// Runs the command in this process with `args` and `input` on standard input.
Outcome RunHere(const std::vector<std::string>& args, const std::string& input = "") {
    std::vector<const char*> argv{"tarvo-convert"};
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    Outcome run;
    run.status = RunConvertCommand(int(argv.size()), argv.data(), in, out, err);
    std::fclose(in);
    run.out = ReadStream(out);
    run.err = ReadStream(err);
    return run;
}

// Every regular file below `root` with its bytes; links are not followed.
std::map<std::string, std::string> Files(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_regular_file() && !e.is_symlink()) {
            files[e.path().lexically_relative(root).string()] = ReadWholeFile(e.path().string());
        }
    }
    return files;
}

std::string RandomSource(std::mt19937& random) {
    static const char* const kPieces[] = {"int main() {\n",
                                          "\treturn 0; // done\r\n",
                                          "/* block\r comment */",
                                          "\"s \\\" t\"",
                                          "#include <map>\n",
                                          "caf\xE9 ",
                                          "gr\xC3\xB6\xC3\x9F",
                                          "\xE2\x80\xA8",
                                          "a && b < c",
                                          "template <class T>\n",
                                          "\xEF\xBB\xBF",
                                          "\r"};
    std::string text;
    for (int n = int(random() % 12); n > 0; --n) {
        text += kPieces[random() % std::size(kPieces)];
    }
    return text;
}

// A tree of odd names: spaces, quotes, non-ASCII (UTF-8 and not), leading dashes, empty files,
// a file that is not text, a link to itself and a link to its own folder.
void MakeTree(std::mt19937& random, const fs::path& folder, int depth) {
    static const char* const kFiles[] = {"main.cpp",  "sp ace.h",  "quo\"te's.cc", "\xC3\xBCml.hpp",
                                         "lat\xE9.c", "-dash.cpp", "x.tcc",        "notes.txt"};
    static const char* const kFolders[] = {"src", "sub dir", "\xC3\xBCnic", "-lead"};
    fs::create_directories(folder);
    for (const char* name : kFiles) {
        if (random() % 2 != 0) {
            WriteWholeFile((folder / name).string(), random() % 5 == 0 ? "" : RandomSource(random));
        }
    }
    if (random() % 3 == 0) {
        WriteWholeFile((folder / "bin.h").string(), std::string("int\0x", 5));
    }
    if (random() % 3 == 0) {
        fs::create_symlink("loop.h", folder / "loop.h");
        fs::create_directory_symlink(".", folder / "up");
    }
    for (const char* name : kFolders) {
        if (depth < 3 && random() % 3 == 0) {
            MakeTree(random, folder / name, depth + 1);
        }
    }
}

bool IsSource(const std::string& name) {
    for (const char* ending : {".cpp", ".h", ".cc", ".hpp", ".c", ".tcc"}) {
        if (name.size() > std::strlen(ending) &&
            name.compare(name.size() - std::strlen(ending), std::string::npos, ending) == 0) {
            return true;
        }
    }
    return false;
}

// What the one-file form writes for `bytes` on its standard input.
std::string OneFileOutput(const std::string& bytes, const std::vector<std::string>& options) {
    Outcome run = RunHere(options, bytes);
    EXPECT_EQ(run.status, 0);
    return run.out;
}

// The links of an index page, decoded.
std::set<std::string> Links(const std::string& page) {
    std::set<std::string> links;
    for (std::size_t at = page.find("href=\""); at != std::string::npos;
         at = page.find("href=\"", at + 1)) {
        const std::size_t end = page.find('"', at + 6);
        std::string link;
        for (std::size_t i = at + 6; i < end; ++i) {
            link += page[i] != '%' ? page[i] : char(std::stoi(page.substr(i + 1, 2), nullptr, 16));
            i += page[i] == '%' ? 2 : 0;
        }
        links.insert(link);
    }
    return links;
}

using BatchCommand = InMemoryTempDir;

} // namespace

TEST_F(BatchCommand, PagesHoldWhatTheOneFileFormWritesWhateverTheJobs) {
    std::mt19937 random(5);
    for (int tree = 0; tree < 3; ++tree) {
        for (const char* old : {"in", "out1", "out4"}) {
            fs::remove_all(old);
        }
        MakeTree(random, "in", 0);
        // The third tree as RTF documents, which have no bare form.
        const bool rtf = tree == 2;
        const std::vector<std::string> style = rtf ? std::vector<std::string>{"--rtf"}
                                               : tree % 2
                                                   ? std::vector<std::string>{}
                                                   : std::vector<std::string>{"--font-markup"};
        const std::string extension = rtf ? ".rtf" : ".html";
        std::map<std::string, std::string> pages;
        std::string first_err;
        for (const char* jobs : {"1", "4"}) {
            const std::string out = std::string("out") + jobs;
            std::vector<std::string> args = style;
            args.insert(args.end(), {"-j", jobs, "-d", out, "in"});
            if (!rtf) {
                args.push_back("--fragment");
            }
            const Outcome run = RunHere(args);
            const std::map<std::string, std::string> files = Files(out);
            if (pages.empty()) {
                pages = files;
                first_err = run.err;
            }
            EXPECT_EQ(files, pages) << "-j " << jobs;
            EXPECT_EQ(run.err, first_err) << "failures in the order of the sources";
        }
        // Every source but those that are not text or cannot be read, each once.
        std::size_t converted = 0;
        std::size_t failed = 0;
        std::size_t skipped = 0; // files, and links to files, that are not sources by name
        std::set<std::string> expected_links;
        std::error_code ec;
        for (fs::recursive_directory_iterator it("in", ec), end; it != end; it.increment(ec)) {
            const fs::directory_entry& e = *it;
            const std::string relative = e.path().lexically_relative("in").string();
            const std::string name = e.path().filename().string();
            if (!IsSource(name) || fs::is_directory(e.symlink_status())) {
                skipped += !IsSource(name) && !fs::is_directory(e.status(ec)) ? 1 : 0;
                continue;
            }
            if (e.is_symlink() || name == "bin.h") {
                ++failed;
                EXPECT_EQ(pages.count(relative + extension), 0u) << relative;
                continue;
            }
            ++converted;
            expected_links.insert(relative + extension);
            ASSERT_EQ(pages[relative + extension], OneFileOutput(ReadWholeFile(e.path()), style))
                << relative;
        }
        EXPECT_EQ(pages.size(), converted + 1) << "the pages and the index";
        const std::string passed_over =
            skipped == 0 ? "" : ", " + std::to_string(skipped) + " skipped (not C or C++ by name)";
        EXPECT_NE(first_err.find("tarvo-convert: " + std::to_string(converted) + " converted, " +
                                 std::to_string(failed) + " failed" + passed_over + "\n"),
                  std::string::npos)
            << first_err;
        EXPECT_EQ(Links(pages["index.html"]), expected_links);
    }

    // Whole pages: the same text in a page titled with the path, the style sheet for CSS.
    const Outcome run = RunHere({"-q", "-d", "pages", "in"});
    EXPECT_EQ(run.status, RunHere({"-q", "--fragment", "-d", "out", "in"}).status);
    ProfileSettings defaults;
    SetCppDefaults(defaults);
    std::string sheet = BuildStyleSheet(defaults);
    ToLf(sheet);
    for (const auto& [relative, page] : Files("pages")) {
        if (relative != "index.html") {
            const std::string source = relative.substr(0, relative.size() - 5);
            EXPECT_EQ(page,
                      BuildHtmlPage(NameAsText(source), ReadWholeFile("out/" + relative), sheet));
        }
    }
}

TEST_F(BatchCommand, OutputInsideTheInputIsNeverReadAndQuietMeansQuiet) {
    WriteWholeFile("a.cpp", "int a;");
    fs::create_directory("deep");
    WriteWholeFile("deep/b.h", "int b;");
    for (int round = 0; round < 2; ++round) {
        const Outcome run = RunHere({"--include", "*", "-d", "deep/out", "."});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "tarvo-convert: 2 converted, 0 failed\n");
    }
    EXPECT_EQ(Links(ReadWholeFile("deep/out/index.html")),
              (std::set<std::string>{"a.cpp.html", "deep/b.h.html"}));
    const Outcome quiet = RunHere({"-q", "--exclude", "deep", "-d", "deep/out", "."});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(Links(ReadWholeFile("deep/out/index.html")), std::set<std::string>{"a.cpp.html"});

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"-d", "o"},
                                                {"-d", "o", "-o", "x", "a.cpp"},
                                                {"-d", "o", "-"},
                                                {"--fragment", "a.cpp"},
                                                {"-j", "0", "-d", "o", "a.cpp"},
                                                {"-d", "o", "--style-sheet"}}) {
        const Outcome run = RunHere(bad);
        EXPECT_EQ(run.status, 2) << bad[0];
        EXPECT_NE(run.err.find("Usage: tarvo-convert "), std::string::npos);
    }
}

// Run as an unprivileged user, since CI runs as root and root reads every file.
TEST_F(BatchCommand, FailuresAreNamedSkippedAndCounted) {
    fs::create_directories("src/sub");
    fs::create_directories("a");
    fs::create_directories("b");
    fs::create_directories("out");
    WriteWholeFile("src/ok.cpp", "int ok;");
    WriteWholeFile("src/secret.cpp", "int secret;");
    WriteWholeFile("src/bin.c", std::string("\0", 1));
    WriteWholeFile("src/sub/x.cpp", "int x;");
    WriteWholeFile("out/sub", "a file where a folder of pages belongs");
    WriteWholeFile("a/same.cpp", "int a;");
    WriteWholeFile("b/same.cpp", "int b;");
    ASSERT_EQ(::mkfifo("fifo.h", 0644), 0);
    fs::permissions("src/secret.cpp", fs::perms::none);
    fs::permissions(".", fs::perms::all);
    fs::permissions("out", fs::perms::all);
    fs::copy_file(TARVO_CONVERT, "tarvo-convert");

    const int out = ::open("run.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(out, 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (::getuid() == 0 && (nobody == nullptr || ::setgroups(0, nullptr) != 0 ||
                                ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)) {
            ::_exit(99);
        }
        ::dup2(out, 2);
        ::execl("./tarvo-convert", "tarvo-convert", "-j", "2", "-d", "out", "src", "fifo.h",
                "a/same.cpp", "b/same.cpp", "missing.cpp", static_cast<char*>(nullptr));
        ::_exit(98);
    }
    ::close(out);
    int raw = 0;
    ASSERT_EQ(::waitpid(child, &raw, 0), child);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(ReadWholeFile("run.err"),
              "tarvo-convert: src/bin.c: not text (holds NUL bytes)\n"
              "tarvo-convert: src/secret.cpp: Permission denied\n"
              "tarvo-convert: src/sub/x.cpp: out/sub: Not a directory\n"
              "tarvo-convert: fifo.h: not a regular file\n"
              "tarvo-convert: b/same.cpp: its page would replace that of a/same.cpp\n"
              "tarvo-convert: missing.cpp: No such file or directory\n"
              "tarvo-convert: 2 converted, 6 failed\n");
    EXPECT_EQ(Links(ReadWholeFile("out/index.html")),
              (std::set<std::string>{"ok.cpp.html", "same.cpp.html"}));
    EXPECT_NE(ReadWholeFile("out/same.cpp.html").find("</code>a;"), std::string::npos);
}
