// tarvo-convert -d against what others put into OUTDIR and the source folders: links that would
// lead the pages out of OUTDIR (from outside, and through the in-memory disk), and FIFOs and
// devices below a source folder. RTF never gets the 64k note.

#include "cli/batch_command.h"
#include "convert/cpp_defaults.h"
#include "files/memory_disk.h"
#include "files/test_support.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string err;
};

// The program with `args` (a shell command line's words), standard error kept.
Outcome Shell(const std::string& args) {
    const int raw = std::system(
        (std::string("'") + TARVO_CONVERT + "' " + args + " </dev/null >/dev/null 2>err.txt")
            .c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile("err.txt")};
}

// Every name below `root`, with the bytes of each regular file and the target of each link.
std::map<std::string, std::string> Everything(const fs::path& root) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        all[e.path().lexically_relative(root).string()] =
            e.is_symlink()        ? std::string("-> ").append(fs::read_symlink(e.path()).string())
            : e.is_regular_file() ? ReadWholeFile(e.path().string())
                                  : "(folder or special)";
    }
    return all;
}

using OutDir = InMemoryTempDir;

} // namespace

TEST_F(OutDir, LinksInItAreNamedAndNothingOutsideIsTouched) {
    // The reproducer, word for word, then with the index's place taken as well.
    ASSERT_EQ(std::system("mkdir -p mr/src/sub mr/out mr/elsewhere; echo 'int b;' "
                          ">mr/src/sub/b.cpp; echo 'int a;' >mr/src/a.cpp; echo KEEP "
                          ">mr/elsewhere/victim.html; ln -s ../elsewhere mr/out/sub; ln -s "
                          "../elsewhere/victim.html mr/out/a.cpp.html"),
              0);
    const auto before = Everything("mr/elsewhere");
    Outcome run = Shell("-q -d mr/out mr/src");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarvo-convert: mr/out/a.cpp.html: a symbolic link, not followed\n"
                       "tarvo-convert: mr/src/sub/b.cpp: mr/out/sub: a symbolic link, not "
                       "followed\n"
                       "tarvo-convert: 0 converted, 2 failed\n");
    fs::remove("mr/out/index.html");
    fs::create_symlink("../elsewhere/victim.html", "mr/out/index.html");
    fs::create_symlink("../elsewhere/new.html", "mr/out/sub2");
    WriteWholeFile("mr/src/c.cpp", "int c;");
    run = Shell("-q -d mr/out mr/src");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("tarvo-convert: mr/out/index.html: a symbolic link, not followed\n"
                           "tarvo-convert: 1 converted, 3 failed\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Everything("mr/elsewhere"), before);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("mr/out/c.cpp.html")));
}

// The planner and the runner over the in-memory disk write what they write on the real one, and
// refuse the same places.
TEST_F(OutDir, TheRunnerWritesTheSameTreeInMemoryAndRefusesLinksThere) {
    fs::create_directories("src/sub/deeper");
    for (const char* name : {"a.cpp", "b.h", "sub/c.cc", "sub/deeper/d.hpp", "sub/deeper/e.c"}) {
        WriteWholeFile("src/" + std::string(name),
                       std::string("int ").append(1, name[0]).append(";\n"));
    }
    ProfileSettings settings;
    ASSERT_TRUE(SetCppDefaults(settings));
    BatchOptions options;
    options.out_dir = "out";
    options.inputs = {"src"};
    options.quiet = true;
    std::FILE* err = std::tmpfile();
    ASSERT_EQ(RunBatch(options, settings, err, RealDisk()), 0);
    MemoryDisk disk;
    ASSERT_EQ(RunBatch(options, settings, err, disk), 0);
    std::map<std::string, std::string> real;
    for (const auto& [name, text] : Everything("out")) {
        if (!fs::is_directory("out/" + name)) {
            real["out/" + name] = text;
        }
    }
    EXPECT_EQ(disk.Files(), real);

    // Links where a folder, a page and the index go, a FIFO where a page goes: refused, named.
    MemoryDisk taken;
    taken.AddFolder("out");
    taken.Put("elsewhere/victim.html", "KEEP");
    taken.AddLink("out/sub", "../elsewhere");
    taken.AddLink("out/a.cpp.html", "../elsewhere/victim.html");
    taken.AddLink("out/index.html", "../elsewhere/victim.html");
    taken.AddSpecial("out/b.h.html");
    std::rewind(err);
    EXPECT_EQ(RunBatch(options, settings, err, taken), 1);
    std::fflush(err);
    std::rewind(err);
    std::string said(4096, '\0');
    said.resize(std::fread(said.data(), 1, said.size(), err));
    std::fclose(err);
    EXPECT_EQ(said, "tarvo-convert: out/a.cpp.html: a symbolic link, not followed\n"
                    "tarvo-convert: out/b.h.html: not a regular file\n"
                    "tarvo-convert: src/sub/c.cc: out/sub: a symbolic link, not followed\n"
                    "tarvo-convert: src/sub/deeper/d.hpp: out/sub: a symbolic link, not followed\n"
                    "tarvo-convert: src/sub/deeper/e.c: out/sub: a symbolic link, not followed\n"
                    "tarvo-convert: out/index.html: a symbolic link, not followed\n"
                    "tarvo-convert: 0 converted, 6 failed\n");
    EXPECT_EQ(taken.Files(),
              (std::map<std::string, std::string>{{"elsewhere/victim.html", "KEEP"}}));
}

// FIFOs and devices below a source folder are named and counted, never opened; by name alone
// the others are skipped, as any file.
TEST_F(OutDir, SpecialFilesBelowAFolderAreNamedAndCounted) {
    fs::create_directories("src/sub");
    WriteWholeFile("src/a.cpp", "int a;");
    ASSERT_EQ(::mkfifo("src/pipe.cpp", 0644), 0);
    ASSERT_EQ(::mkfifo("src/pipe", 0644), 0);
    MakeDevice("src/sub/zero.h");
    fs::create_symlink("../pipe.cpp", "src/sub/link.cpp");
    const auto start = std::chrono::steady_clock::now();
    const Outcome run = Shell("-d out src");
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 30)
        << "nothing waited on";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarvo-convert: src/pipe.cpp: not a regular file\n"
                       "tarvo-convert: src/sub/link.cpp: not a regular file\n"
                       "tarvo-convert: src/sub/zero.h: not a regular file\n"
                       "tarvo-convert: 1 converted, 3 failed, 1 skipped (not C or C++ by name)\n");
}

// The note speaks of the HTML in the box; an RTF document is none.
TEST_F(OutDir, RtfGetsNoteOf64k) {
    std::string big;
    while (big.size() < 70000) {
        big += "int a; // a line of a big file\n";
    }
    fs::create_directory("src");
    WriteWholeFile("src/big.cpp", big);
    Outcome run = Shell("--rtf -o big.rtf src/big.cpp");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    run = Shell("--rtf -d out src");
    EXPECT_EQ(run.err, "tarvo-convert: 1 converted, 0 failed\n");
    run = Shell("-d out src");
    EXPECT_EQ(run.err, "tarvo-convert: 1 converted, 0 failed; \"Text lenght is over 64k !\" for 1 "
                       "file\n");
}
