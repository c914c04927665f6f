// tarvo-convert against what an attacker or an unlucky user puts in its way: profile entries
// that lead out of the profile folder, special files, an output folder among the inputs, few
// descriptors, many jobs, signals and little memory.

#include "cli/batch_command.h"
#include "files/test_support.h"
#include "profiles/profile_list_file.h"
#include "settings/cpp_defaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <atomic>
#include <cstring>
#include <map>
#include <memory>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1; // the exit status, or 128 + the signal
    std::string err;
    std::string out;
    double seconds = 0;
    long peak_mb = 0; // the child's peak resident memory
};

struct Limits {
    rlim_t address_space = RLIM_INFINITY;
    rlim_t files = RLIM_INFINITY;
};

// Runs the program with `args`, standard input from `input` ("" for /dev/null), under `limits`.
Outcome Start(const std::vector<std::string>& args, const Limits& limits = {},
              const std::string& input = "") {
    std::vector<const char*> argv{TARVO_CONVERT};
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        const int err = ::open(".err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int out = ::open(".out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        const rlimit space{limits.address_space, limits.address_space};
        const rlimit files{limits.files, limits.files};
        if (limits.address_space != RLIM_INFINITY) {
            ::setrlimit(RLIMIT_AS, &space);
        }
        if (limits.files != RLIM_INFINITY) {
            ::setrlimit(RLIMIT_NOFILE, &files);
        }
        ::alarm(60);
        ::execv(TARVO_CONVERT, const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    Outcome run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peak_mb = usage.ru_maxrss / 1024;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.err = ReadWholeFile(".err");
    run.out = ReadWholeFile(".out");
    fs::remove(".err");
    fs::remove(".out");
    return run;
}

// Every name below `root` that begins with ".tarvo-".
int TempFilesBelow(const fs::path& root) {
    int count = 0;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        count += e.path().filename().string().rfind(".tarvo-", 0) == 0 ? 1 : 0;
    }
    return count;
}

// `count` sources of `lines` lines in folders of `per_folder`.
void MakeTree(const fs::path& root, int count, int per_folder, int lines = 1) {
    std::string source;
    for (int i = 0; i < lines; ++i) {
        source += "int f(int a) { return a << 1; } // twice\n";
    }
    for (int i = 0; i < count; ++i) {
        char folder[32];
        char name[32];
        std::snprintf(folder, sizeof folder, "d%d", i / per_folder);
        std::snprintf(name, sizeof name, "f%d.c", i);
        fs::create_directories(root / folder);
        WriteWholeFile((root / folder / name).string(), source);
    }
}

// The real disk, whose page groups tell `ready` once `count` pages wait in their temporary files
// across all groups, and then never commit: the run stops there, caught in the state a test
// wants, whatever the machine's speed.
class StoppingDisk final : public Disk {
public:
    // The first `free` groups commit; the others wait until `count` pages wait with them.
    StoppingDisk(std::size_t count, int ready, int free = 0)
        : m_count(count), m_ready(ready), m_free(free) {}

    std::FILE* OpenRead(const char* p, FileStamp* s) override { return Real().OpenRead(p, s); }
    FileStamp Stamp(const char* p) override { return Real().Stamp(p); }
    int WriteWhole(const char* p, std::string_view t) override { return Real().WriteWhole(p, t); }
    int CreateNew(const char* p) override { return Real().CreateNew(p); }
    int Remove(const char* p) override { return Real().Remove(p); }
    int LockFolder(const char* f) override { return Real().LockFolder(f); }
    void UnlockFolder(int h) override { Real().UnlockFolder(h); }
    std::unique_ptr<PageTree> OpenPageTree(const char* root) override;

    // A group has `waiting` pages to commit: the last one that makes the count says so.
    void Waits(std::size_t waiting) {
        if (m_free.fetch_sub(1) > 0) {
            return;
        }
        const std::size_t before = m_waiting.fetch_add(waiting);
        if (before < m_count && before + waiting >= m_count) {
            const char ready = 'r';
            [[maybe_unused]] const ssize_t told = ::write(m_ready, &ready, 1);
        }
        for (;;) {
            ::pause(); // until the signal ends the process
        }
    }

private:
    static Disk& Real() { return RealDisk(); }
    std::size_t m_count;
    int m_ready;
    std::atomic<std::size_t> m_waiting{0};
    std::atomic<int> m_free;
};

class StoppingTree final : public PageTree {
public:
    StoppingTree(std::unique_ptr<PageTree> tree, StoppingDisk& disk)
        : m_tree(std::move(tree)), m_disk(disk) {}
    FileStamp RootStamp() const override { return m_tree->RootStamp(); }
    int MakeFolder(int parent, const char* name) override {
        return m_tree->MakeFolder(parent, name);
    }
    std::unique_ptr<PageGroup> NewGroup() override;

private:
    class Group final : public PageGroup {
    public:
        Group(std::unique_ptr<PageGroup> group, StoppingDisk& disk)
            : m_group(std::move(group)), m_disk(disk) {}
        int Write(int f, const char* n, std::string_view t) override {
            return m_group->Write(f, n, t);
        }
        std::size_t Waiting() const override { return m_group->Waiting(); }
        std::vector<Failure> Commit() override {
            m_disk.Waits(m_group->Waiting());
            return m_group->Commit();
        }

    private:
        std::unique_ptr<PageGroup> m_group;
        StoppingDisk& m_disk;
    };
    std::unique_ptr<PageTree> m_tree;
    StoppingDisk& m_disk;
};

std::unique_ptr<PageTree> StoppingDisk::OpenPageTree(const char* root) {
    std::unique_ptr<PageTree> tree = Real().OpenPageTree(root);
    return tree ? std::make_unique<StoppingTree>(std::move(tree), *this) : nullptr;
}

std::unique_ptr<PageGroup> StoppingTree::NewGroup() {
    return std::make_unique<Group>(m_tree->NewGroup(), m_disk);
}

// Prints what a run cost, for the record.
void Tell(const std::string& what, const Outcome& run) {
    std::printf("[ figures  ] %s: %.3f s, peak %ld MB\n", what.c_str(), run.seconds, run.peak_mb);
}

using UntrustedInput = InMemoryTempDir;

} // namespace

TEST_F(UntrustedInput, ProfilesAreReadByBareNameAndSpecialFilesAnswerAtOnce) {
    fs::create_directory("store");
    MakeSpecialFiles(m_dir / "store");
    const std::string victim = "int victim;\n";
    WriteWholeFile("victim.cpp", victim);
    ProfileList list;
    for (const char* entry : {"../victim.cpp", "fifo", "zero", "", ".."}) {
        ASSERT_EQ(list.Add(strdup(entry[0] ? entry : "empty"), strdup(entry)), 1);
    }
    ASSERT_EQ(WriteProfileListFile("store/profiles.ini", list), 1);
    for (const char* name : {"../victim.cpp", "fifo", "zero", "empty", ".."}) {
        const Outcome run = Start({"--profile-dir", "store", "--profile", name});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err, "tarvo-convert: Error loading profile !\n") << name;
        EXPECT_LT(run.seconds, 2.0) << name;
        EXPECT_LT(run.peak_mb, 100) << name;
        Tell(std::string("--profile ") + name, run);
    }
    for (const char* special : {"fifo", "zero"}) {
        const std::string path = (m_dir / "store" / special).string();
        const Outcome file = Start({"--profile-file", path});
        EXPECT_EQ(file.err, "tarvo-convert: Error loading profile !\n") << special;
        // The same special file as profiles.ini.
        fs::create_directory(special);
        fs::rename(path, fs::path(special) / "profiles.ini");
        const Outcome listed = Start({"--profile-dir", special, "--profile", "x"});
        EXPECT_EQ(listed.err, "tarvo-convert: Error in main ini file !\n") << special;
        for (const Outcome& run : {file, listed}) {
            EXPECT_EQ(run.status, 1) << special;
            EXPECT_LT(run.seconds, 2.0) << special;
            EXPECT_LT(run.peak_mb, 100) << special;
        }
        Tell(std::string("--profile-file ") + special, file);
        Tell(std::string("profiles.ini as ") + special, listed);
    }
    EXPECT_EQ(ReadWholeFile("victim.cpp"), victim);
}

// The one-file form reads what -d reads, by one rule; it still reads a pipe as a filter does.
TEST_F(UntrustedInput, OneFileAndFragmentsAgreeOnLatin1MarksAndNul) {
    fs::create_directory("in");
    const std::map<std::string, std::string> sources{
        {"latin1.c", "char* s = \"gr\xF6\xDF\";\r\n"},
        {"mark.c", "\xEF\xBB\xBFint x; // \xC3\xA4\n"},
        {"marks.c", "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBFint y;\r\r\n"},
        {"nul.c", std::string("int\0z;\n", 7)}};
    for (const auto& [name, bytes] : sources) {
        WriteWholeFile("in/" + name, bytes);
    }
    const Outcome batch = Start({"-q", "--fragment", "-d", "out", "in"});
    EXPECT_EQ(batch.status, 1);
    EXPECT_EQ(batch.err, "tarvo-convert: in/nul.c: not text (holds NUL bytes)\n"
                         "tarvo-convert: 3 converted, 1 failed\n");
    for (const auto& [name, bytes] : sources) {
        const Outcome file = Start({"in/" + name});
        const Outcome piped = Start({}, {}, "in/" + name);
        if (name == "nul.c") {
            EXPECT_EQ(file.status, 1);
            EXPECT_EQ(file.err,
                      "tarvo-convert: cannot read 'in/nul.c': not text (holds NUL bytes)\n");
            EXPECT_EQ(piped.err,
                      "tarvo-convert: cannot read 'standard input': not text (holds NUL bytes)\n");
            continue;
        }
        EXPECT_EQ(file.status, 0) << name;
        EXPECT_EQ(file.out, ReadWholeFile("out/" + name + ".html")) << name;
        EXPECT_EQ(piped.out, file.out) << name;
    }
    // A FIFO given by name is read as a filter reads it, NUL bytes refused at the first.
    ASSERT_EQ(::mkfifo("pipe.c", 0644), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        const int fd = ::open("pipe.c", O_WRONLY);
        const std::string text = "int piped;\n";
        ::_exit(::write(fd, text.data(), text.size()) == ssize_t(text.size()) ? 0 : 1);
    }
    const Outcome piped = Start({"pipe.c"});
    ::waitpid(writer, nullptr, 0);
    EXPECT_EQ(piped.status, 0);
    EXPECT_NE(piped.out.find("piped;"), std::string::npos);
    if (MakeDeviceNode("zero-device", 5)) { // endless NUL bytes
        fs::create_symlink("zero-device", "zero.c");
        const Outcome zero = Start({"zero.c"});
        EXPECT_EQ(zero.err, "tarvo-convert: cannot read 'zero.c': not text (holds NUL bytes)\n");
        EXPECT_LT(zero.seconds, 2.0);
        EXPECT_LT(zero.peak_mb, 100);
        Tell("one file like /dev/zero", zero);
    }
}

TEST_F(UntrustedInput, OutputFolderSpecialPagesAndTheIndexAreCheckedAndCounted) {
    fs::create_directories("src/sub");
    WriteWholeFile("src/a.c", "int a;");
    WriteWholeFile("src/sub/b.c", "int b;");
    WriteWholeFile("src/notes.txt", "notes");
    WriteWholeFile("src/vector", "#pragma once");
    // OUTDIR the input or above it: a usage error before anything is written.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-d", "src", "src"},
                                                 {"-d", ".", "src"},
                                                 {"-d", "src/", "src/sub/b.c"},
                                                 {"-d", "src/sub/..", "src/a.c"}}) {
        const Outcome run = Start(args);
        EXPECT_EQ(run.status, 2) << args[1] << " " << args[2];
        EXPECT_NE(run.err.find("Usage: tarvo-convert"), std::string::npos);
        EXPECT_EQ(TempFilesBelow("."), 0);
        EXPECT_FALSE(fs::exists("src/index.html"));
        EXPECT_FALSE(fs::exists("index.html"));
    }
    // A FIFO or a device where a page or the index goes: that page's failure, never waited on.
    fs::create_directories("out/sub");
    ASSERT_EQ(::mkfifo("out/a.c.html", 0644), 0);
    MakeDevice("out/sub/b.c.html");
    ASSERT_EQ(::mkfifo("out/index.html", 0644), 0);
    Outcome run = Start({"-d", "out", "src"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarvo-convert: out/a.c.html: not a regular file\n"
                       "tarvo-convert: out/sub/b.c.html: not a regular file\n"
                       "tarvo-convert: out/index.html: not a regular file\n"
                       "tarvo-convert: 0 converted, 3 failed, 2 skipped (not C or C++ by name)\n");
    EXPECT_LT(run.seconds, 2.0);
    Tell("-d with FIFO pages and index", run);
    // An index that cannot be written counts among the failures.
    fs::remove_all("out");
    fs::create_directories("out/index.html");
    run = Start({"--include", "*.c", "--include", "vector", "-d", "out", "src"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("tarvo-convert: 3 converted, 1 failed, 1 skipped (not matched by "
                           "--include)\n"),
              std::string::npos)
        << run.err;
}

TEST_F(UntrustedInput, ManyJobsStayWithinFewDescriptorsAndSignalsLeaveNoTemporaryFile) {
    MakeTree("tree", 3000, 50);
    const Limits few{RLIM_INFINITY, 256};
    const Outcome run = Start({"-j", "64", "-d", "site", "tree"}, few);
    EXPECT_EQ(run.status, 0) << run.err.substr(0, 500);
    EXPECT_EQ(run.err, "tarvo-convert: 3000 converted, 0 failed\n");
    Tell("-j 64 under 256 descriptors, 3000 files", run);
    // Caught while more than a thousand pages wait in their temporary files, in one folder, and
    // a few groups' pages are in place: the run in a child, whose groups stop before their
    // commits and say when that many wait. What the signal leaves is whole pages, no temporary.
    MakeTree("flat", 3000, 3000);
    ASSERT_EQ(Start({"-q", "-d", "whole", "flat"}).status, 0);
    ProfileSettings settings;
    ASSERT_TRUE(SetCppDefaults(settings));
    BatchOptions options;
    options.out_dir = "site";
    options.inputs = {"flat"};
    options.quiet = true;
    options.jobs = 64; // up to 32 pages wait in each group: 2048 at once
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        fs::remove_all("site");
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            ::alarm(300); // only should the count never come
            StoppingDisk disk(1100, ready[1], 4);
            RunBatch(options, settings, stderr, disk);
            ::_exit(127); // never here: the run stops before its end
        }
        ::close(ready[1]);
        char told = 0;
        const bool caught = ::read(ready[0], &told, 1) == 1;
        ::close(ready[0]);
        ASSERT_TRUE(caught) << "the run ended before it was caught";
        EXPECT_GE(TempFilesBelow("site"), 1100);
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(TempFilesBelow("site"), 0) << signal;
        int pages = 0;
        for (const auto& e : fs::recursive_directory_iterator("site")) {
            if (e.is_regular_file()) {
                const fs::path name = e.path().lexically_relative("site");
                EXPECT_EQ(ReadWholeFile(e.path().string()),
                          ReadWholeFile((fs::path("whole") / name).string()))
                    << name;
                ++pages;
            }
        }
        EXPECT_GT(pages, 0) << signal;
    }
}

// Running out of memory fails the file at hand, named, and the run goes on. Address-space limits
// cannot be tested under AddressSanitizer; the Release tests run these.
TEST_F(UntrustedInput, OutOfMemoryIsAFailureNotAnAbort) {
    if (kUnderAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit leaves";
    }
    fs::create_directory("src");
    std::string big;
    while (big.size() < (std::size_t(96) << 20)) {
        big += "int x = a < b && c > d; // \"why\"\n";
    }
    WriteWholeFile("src/big.c", big);
    std::string().swap(big);
    for (int i = 0; i < 8; ++i) {
        WriteWholeFile("src/small" + std::to_string(i) + ".c", "int small;\n");
    }
    const Limits little{rlim_t(320) << 20, RLIM_INFINITY};
    const Outcome one = Start({"-o", "big.html", "src/big.c"}, little);
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(one.err, "tarvo-convert: Not enough memory\n");
    EXPECT_EQ(TempFilesBelow("."), 0);
    const Outcome batch = Start({"-j", "2", "-d", "out", "src"}, little);
    EXPECT_EQ(batch.status, 1);
    EXPECT_EQ(batch.err, "tarvo-convert: src/big.c: Not enough memory\n"
                         "tarvo-convert: 8 converted, 1 failed\n");
    EXPECT_TRUE(fs::exists("out/index.html"));
    EXPECT_TRUE(fs::exists("out/small7.c.html"));
    EXPECT_EQ(TempFilesBelow("."), 0);
    Tell("-d under 320 MB of address space", batch);
}
