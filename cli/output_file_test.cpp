// tarvo-convert -o on files that are not ours alone: read-only files, links, devices, FIFOs,
// standard output, odd names and an interrupt, each through the built program.

#include "files/test_support.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

namespace {

struct Outcome {
    int status = -1;
    std::string err;
};

// Runs the built program with `args` (shell words, redirections included) on `input`.
Outcome Convert(const std::string& args, const std::string& input = "int x;\n") {
    WriteWholeFile(".in", input);
    const std::string command = std::string("'") + TARVO_CONVERT + "' < .in 2> .err " + args;
    const int raw = std::system(command.c_str());
    Outcome run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(".err")};
    std::filesystem::remove(".in");
    std::filesystem::remove(".err");
    return run;
}

// What the program writes for "int x;\n".
std::string Html() {
    Convert("-o .expected");
    const std::string html = ReadWholeFile(".expected");
    std::filesystem::remove(".expected");
    return html;
}

bool IsLink(const std::string& path) {
    return std::filesystem::is_symlink(std::filesystem::symlink_status(path));
}

using OutputFile = InTempDir;

} // namespace

TEST_F(OutputFile, KeepsWhatTheUserMayNotWriteAndNamesTheReason) {
    const std::string html = Html();
    ASSERT_NE(html.find("cpp_keyword"), std::string::npos);
    ASSERT_EQ(::chmod(m_dir.c_str(), 0777), 0);
    WriteWholeFile("ro.html", "old");
    ASSERT_EQ(::chmod("ro.html", 0444), 0);
    // A copy in the test's own folder: the build folder may be closed to other users.
    std::filesystem::copy_file(TARVO_CONVERT, "tarvo-convert");
    const int status = AsUnprivilegedUser(
        [] { return WEXITSTATUS(std::system("./tarvo-convert -o ro.html < /dev/null 2> .err")); });
    std::filesystem::remove("tarvo-convert");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(ReadWholeFile(".err"), "tarvo-convert: cannot write 'ro.html': Permission denied\n");
    EXPECT_EQ(ReadWholeFile("ro.html"), "old");
    std::filesystem::remove(".err");

    std::filesystem::create_directory("sub");
    for (const char* folder : {"sub/", ".", "sub", "missing/"}) {
        const Outcome run = Convert(std::string("-o ") + folder);
        EXPECT_EQ(run.status, 1) << folder;
        EXPECT_EQ(run.err,
                  std::string("tarvo-convert: cannot write '") + folder + "': Is a directory\n");
    }
    const std::string longest(255, 'n');
    EXPECT_EQ(Convert("-o " + longest).status, 0);
    EXPECT_EQ(ReadWholeFile(longest), html);

    // A closed standard output is no error when the text goes to a file; it is when it does not.
    EXPECT_EQ(Convert("-o ok.html >&-").status, 0);
    EXPECT_EQ(ReadWholeFile("ok.html"), html);
    const Outcome closed = Convert(">&-");
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, "tarvo-convert: cannot write to standard output: Bad file descriptor\n");
    EXPECT_EQ(Listing(), longest + "\nok.html\nro.html\nsub\n");

    if (::geteuid() == 0) { // root writes it, and keeps its owner
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown("ro.html", nobody->pw_uid, nobody->pw_gid), 0);
        EXPECT_EQ(Convert("-o ro.html").status, 0);
        EXPECT_EQ(ReadWholeFile("ro.html"), html);
        struct stat st {};
        ASSERT_EQ(::stat("ro.html", &st), 0);
        EXPECT_EQ(st.st_uid, nobody->pw_uid);
        EXPECT_EQ(st.st_mode & 0777, 0444u);
    }
}

TEST_F(OutputFile, WritesThroughLinksDevicesFifosAndStandardOutput) {
    const std::string html = Html();
    std::filesystem::create_directory("site");
    WriteWholeFile("site/page.html", "old");
    std::filesystem::create_symlink("site/page.html", "page.html");
    EXPECT_EQ(Convert("-o page.html").status, 0);
    EXPECT_TRUE(IsLink("page.html"));
    EXPECT_EQ(ReadWholeFile("site/page.html"), html);

    // Devices of this folder's own, reached through links (where devices can be made).
    if (MakeDeviceNode("null-device", 3) && MakeDeviceNode("full-device", 7)) {
        std::filesystem::create_symlink("null-device", "null");
        std::filesystem::create_symlink("full-device", "full");
        EXPECT_EQ(Convert("-o null").status, 0);
        EXPECT_TRUE(IsLink("null"));
        const Outcome full = Convert("-o full");
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err, "tarvo-convert: cannot write 'full': No space left on device\n");
    }

    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    std::string got;
    std::thread reader([&] { got = ReadWholeFile("fifo"); });
    EXPECT_EQ(Convert("-o fifo").status, 0);
    reader.join();
    EXPECT_EQ(got, html);
    struct stat st {};
    ASSERT_EQ(::stat("fifo", &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // Standard output redirected to a file, and into a pipe.
    EXPECT_EQ(Convert("-o /dev/stdout > out.html").status, 0);
    EXPECT_EQ(ReadWholeFile("out.html"), html);
    EXPECT_EQ(Convert("-o /dev/stdout | cat > piped.html").status, 0);
    EXPECT_EQ(ReadWholeFile("piped.html"), html);
    EXPECT_EQ(TempFilesIn(m_dir) + TempFilesIn(m_dir / "site"), 0);
}

TEST_F(OutputFile, AnInterruptKeepsTheOldFileAndLeavesNoTemporaryFile) {
    WriteWholeFile("out.html", "old");
    std::string source;
    while (source.size() < (2 << 20)) {
        source += "int main() { return 0; } /* a comment */ \"a string\"\n";
    }
    for (int attempt = 0; attempt < 4; ++attempt, source += source) {
        WriteWholeFile("in.cpp", source);
        TempFileWatch watch(m_dir);
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(::open("/dev/null", O_WRONLY), 2); // the notice about the text's length
            ::execl(TARVO_CONVERT, TARVO_CONVERT, "-o", "out.html", "in.cpp", nullptr);
            ::_exit(127);
        }
        if (!watch.StopWithTempFiles(child, 1)) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            WriteWholeFile("out.html", "old");
            continue; // it was done before it could be stopped: more text
        }
        ::kill(child, SIGINT);
        ::kill(child, SIGCONT);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGINT);
        EXPECT_EQ(ReadWholeFile("out.html"), "old");
        EXPECT_EQ(Listing(), "in.cpp\nout.html\n");
        return;
    }
    FAIL() << "the conversion always ended before it could be interrupted";
}
