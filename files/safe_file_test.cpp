// The write rules on the real disk: links, devices, permissions, owners, names and signals.

#include "files/safe_file.h"
#include "files/temp_files.h"
#include "files/test_support.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

namespace {

using WriteFileWholeTest = InTempDir;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

bool IsLink(const std::string& path) {
    return std::filesystem::is_symlink(std::filesystem::symlink_status(path));
}

} // namespace

TEST_F(WriteFileWholeTest, ReplacesTheFileOrLeavesItAlone) {
    ASSERT_EQ(WriteFileWhole("a.ini", "first\n"), 1);
    EXPECT_EQ(ReadWholeFile("a.ini"), "first\n");
    ::chmod("a.ini", 0640);
    ASSERT_EQ(WriteFileWhole("a.ini", "second, longer\n"), 1);
    EXPECT_EQ(ReadWholeFile("a.ini"), "second, longer\n");
    EXPECT_EQ(StatOf("a.ini").st_mode & 0777, 0640u); // a replaced file keeps its permissions

    // The disk fills half-way through the new text.
    {
        FileSizeLimit limit(8);
        EXPECT_EQ(WriteFileWhole("a.ini", std::string(4096, 'x')), 0);
        EXPECT_EQ(errno, EFBIG);
    }
    EXPECT_EQ(ReadWholeFile("a.ini"), "second, longer\n");

    // Reasons as the shell gives them.
    struct Refused {
        const char* path;
        int error;
    };
    std::filesystem::create_directory("dir.ini");
    for (const Refused& r :
         {Refused{"a.ini/b.ini", ENOTDIR}, Refused{"dir.ini", EISDIR}, Refused{"dir.ini/", EISDIR},
          Refused{".", EISDIR}, Refused{"missing/", EISDIR}, Refused{"missing/b.ini", ENOENT},
          Refused{"", ENOENT}}) {
        errno = 0;
        EXPECT_EQ(WriteFileWhole(r.path, "text"), 0) << r.path;
        EXPECT_EQ(errno, r.error) << r.path << ": " << std::strerror(errno);
    }
    EXPECT_EQ(WriteFileWhole(nullptr, "text"), 0);
    EXPECT_TRUE(std::filesystem::is_directory("dir.ini"));

    // Any valid name works, the longest one and line breaks included: the temporary file has a
    // short name of its own.
    const std::string longest(255, 'n');
    ASSERT_EQ(WriteFileWhole(longest.c_str(), "long"), 1);
    ASSERT_EQ(WriteFileWhole(longest.c_str(), "longer"), 1);
    EXPECT_EQ(ReadWholeFile(longest), "longer");
    ASSERT_EQ(WriteFileWhole("line\nbreak\r.ini", "x"), 1);
    std::filesystem::remove(longest);
    std::filesystem::remove("line\nbreak\r.ini");

    // No half-written file is left behind by any of the failures.
    EXPECT_EQ(Listing(), "a.ini\ndir.ini\n");
}

TEST_F(WriteFileWholeTest, FollowsLinksAndKeepsThemLinks) {
    std::filesystem::create_directory("real");
    WriteWholeFile("real/target.ini", "old");
    ::chmod("real/target.ini", 0604);
    std::filesystem::create_symlink("real/target.ini", "link.ini");
    std::filesystem::create_symlink("link.ini", "link-to-link.ini");
    std::filesystem::create_symlink("target.ini", "real/relative.ini"); // relative to its folder
    for (const char* via : {"link.ini", "link-to-link.ini", "real/relative.ini"}) {
        ASSERT_EQ(WriteFileWhole(via, via), 1) << via;
        EXPECT_TRUE(IsLink(via)) << via;
        EXPECT_EQ(ReadWholeFile("real/target.ini"), via);
    }
    EXPECT_EQ(StatOf("real/target.ini").st_mode & 0777, 0604u);

    // A dangling link creates the file it names, where that folder exists.
    std::filesystem::create_symlink("real/new.ini", "dangling.ini");
    ASSERT_EQ(WriteFileWhole("dangling.ini", "new"), 1);
    EXPECT_TRUE(IsLink("dangling.ini"));
    EXPECT_EQ(ReadWholeFile("real/new.ini"), "new");
    std::filesystem::create_symlink("nowhere/new.ini", "nowhere.ini");
    EXPECT_EQ(WriteFileWhole("nowhere.ini", "x"), 0);
    EXPECT_EQ(errno, ENOENT);
    std::filesystem::create_symlink("loop.ini", "loop.ini");
    EXPECT_EQ(WriteFileWhole("loop.ini", "x"), 0);
    EXPECT_EQ(errno, ELOOP);

    // Other hard links keep the old text: the file is split from them.
    std::filesystem::create_hard_link("real/target.ini", "hard.ini");
    ASSERT_EQ(WriteFileWhole("hard.ini", "split"), 1);
    EXPECT_EQ(ReadWholeFile("hard.ini"), "split");
    EXPECT_EQ(ReadWholeFile("real/target.ini"), "real/relative.ini");
    EXPECT_EQ(TempFilesIn(m_dir) + TempFilesIn(m_dir / "real"), 0);
}

TEST_F(WriteFileWholeTest, WritesDevicesAndFifosInPlace) {
    // Devices of this folder's own, reached through links (where devices can be made): neither
    // the link nor the device is replaced.
    if (MakeDeviceNode("null-device", 3) && MakeDeviceNode("full-device", 7)) {
        std::filesystem::create_symlink("null-device", "null");
        std::filesystem::create_symlink("full-device", "full");
        ASSERT_EQ(WriteFileWhole("null", "gone"), 1);
        EXPECT_TRUE(IsLink("null"));
        EXPECT_TRUE(S_ISCHR(StatOf("null-device").st_mode));
        EXPECT_EQ(WriteFileWhole("full", "no room"), 0);
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_TRUE(S_ISCHR(StatOf("full-device").st_mode));
    }

    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    const std::string text(100000, 'f'); // more than a pipe holds
    std::string got;
    std::thread reader([&] { got = ReadWholeFile("fifo"); });
    EXPECT_EQ(WriteFileWhole("fifo", text), 1);
    reader.join();
    EXPECT_EQ(got, text);
    EXPECT_TRUE(S_ISFIFO(StatOf("fifo").st_mode));
    EXPECT_EQ(TempFilesIn(m_dir), 0);
}

TEST_F(WriteFileWholeTest, RefusesWhatTheUserMayNotWriteAndKeepsTheOwner) {
    ASSERT_EQ(::chmod(m_dir.c_str(), 0777), 0); // an unprivileged user may make files here
    WriteWholeFile("ro.ini", "read-only");
    ASSERT_EQ(::chmod("ro.ini", 0444), 0);
    const int refused = AsUnprivilegedUser([] {
        const int written = WriteFileWhole("ro.ini", "changed");
        return written == 0 && errno == EACCES ? 0 : 1;
    });
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(ReadWholeFile("ro.ini"), "read-only");
    EXPECT_EQ(StatOf("ro.ini").st_mode & 0777, 0444u);

    if (::geteuid() != 0) {
        GTEST_SKIP() << "owners can be kept only by root";
    }
    // Root is not stopped by permission bits, and gives the file back to its owner.
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::chown("ro.ini", nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(WriteFileWhole("ro.ini", "by root"), 1);
    EXPECT_EQ(ReadWholeFile("ro.ini"), "by root");
    EXPECT_EQ(StatOf("ro.ini").st_uid, nobody->pw_uid);
    EXPECT_EQ(StatOf("ro.ini").st_gid, nobody->pw_gid);
    EXPECT_EQ(StatOf("ro.ini").st_mode & 0777, 0444u);
}

TEST_F(WriteFileWholeTest, SignalsLeaveNoTemporaryFileWhileThreadsWrite) {
    constexpr int kWriters = 4;
    for (int i = 0; i < kWriters; ++i) {
        WriteWholeFile("out" + std::to_string(i), "old");
    }
    for (std::size_t bytes = 16 << 20;; bytes *= 2) {
        ASSERT_LE(bytes, std::size_t(512) << 20) << "the writes always ended first";
        TempFileWatch watch(m_dir);
        const pid_t child = ::fork();
        if (child == 0) {
            const std::string text(bytes, 'x');
            std::vector<std::thread> writers;
            for (int i = 0; i < kWriters; ++i) {
                writers.emplace_back([&, i] {
                    for (;;) {
                        WriteFileWhole(("out" + std::to_string(i)).c_str(), text);
                    }
                });
            }
            for (std::thread& t : writers) {
                t.join();
            }
            ::_exit(0);
        }
        if (!watch.StopWithTempFiles(child, kWriters)) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            continue;
        }
        ::kill(child, SIGTERM);
        ::kill(child, SIGCONT);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGTERM) << "ended by the signal, as without the handler";
        EXPECT_EQ(TempFilesIn(m_dir), 0);
        break;
    }
}

TEST_F(WriteFileWholeTest, AGroupPutsItsFilesInPlaceOnlyAtCommitAndEachOrNone) {
    WriteWholeFile("old.html", "old");
    ::chmod("old.html", 0640);
    std::filesystem::create_directory("site");
    std::filesystem::create_symlink("site/target.html", "link.html");
    {
        FileWriteGroup group;
        ASSERT_EQ(group.Write("old.html", "new"), 1);
        ASSERT_EQ(group.Write("site/a.html", "a"), 1);
        ASSERT_EQ(group.Write("link.html", "through the link"), 1);
        errno = 0;
        EXPECT_EQ(group.Write("old.html/x", "x"), 0); // refused at once, with the reason
        EXPECT_EQ(errno, ENOTDIR);
        ASSERT_EQ(group.Write("later.html", "later"), 1);
        EXPECT_EQ(group.Waiting(), 4u);
        // Nothing is in place before the commit: the texts wait beside their files.
        EXPECT_EQ(ReadWholeFile("old.html"), "old");
        EXPECT_FALSE(std::filesystem::exists("site/a.html"));
        EXPECT_EQ(TempFilesIn(m_dir) + TempFilesIn(m_dir / "site"), 4);
        // A file that turns into a folder before the commit fails alone.
        std::filesystem::create_directories("later.html/full");
        const std::vector<FileWriteGroup::Failure> failures = group.Commit();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].path, "later.html");
        EXPECT_EQ(group.Waiting(), 0u);

        // What waits when the group ends is removed, never put in place.
        ASSERT_EQ(group.Write("site/b.html", "b"), 1);
    }
    EXPECT_EQ(ReadWholeFile("old.html"), "new");
    EXPECT_EQ(StatOf("old.html").st_mode & 0777, 0640u);
    EXPECT_EQ(ReadWholeFile("site/a.html"), "a");
    EXPECT_TRUE(IsLink("link.html"));
    EXPECT_EQ(ReadWholeFile("site/target.html"), "through the link");
    EXPECT_TRUE(std::filesystem::is_directory("later.html"));
    EXPECT_FALSE(std::filesystem::exists("site/b.html"));
    EXPECT_EQ(TempFilesIn(m_dir) + TempFilesIn(m_dir / "site"), 0);
}

// The mode goes on after the last write: a write by anyone but root clears setuid and setgid.
TEST_F(WriteFileWholeTest, SetuidAndSetgidSurviveTheOwnersWrite) {
    ASSERT_EQ(::chmod(m_dir.c_str(), 0777), 0);
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    for (const mode_t mode : {mode_t(04755), mode_t(02755), mode_t(06750)}) {
        for (const bool grouped : {false, true}) {
            WriteWholeFile("tool", "old");
            ASSERT_EQ(::chown("tool", nobody->pw_uid, nobody->pw_gid), 0);
            ASSERT_EQ(::chmod("tool", mode), 0);
            EXPECT_EQ(AsUnprivilegedUser([&] {
                          if (!grouped) {
                              return WriteFileWhole("tool", "new") == 1 ? 0 : 1;
                          }
                          FileWriteGroup group;
                          return group.Write("tool", "new") == 1 && group.Commit().empty() ? 0 : 1;
                      }),
                      0);
            EXPECT_EQ(ReadWholeFile("tool"), "new");
            EXPECT_EQ(StatOf("tool").st_mode & 07777, mode) << std::oct << mode << grouped;
        }
    }
}

// Files waiting in a group hold no descriptor, and the signal table grows to hold them all.
TEST_F(WriteFileWholeTest, AGroupHoldsNoDescriptorsAndASignalRemovesAllItWrote) {
    std::filesystem::create_directory("site");
    constexpr int kFiles = 3000; // more than one block of the signal table
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        const rlimit few{64, 64};
        ::setrlimit(RLIMIT_NOFILE, &few);
        FileWriteGroup group;
        for (int i = 0; i < kFiles; ++i) {
            if (group.Write(("site/" + std::to_string(i)).c_str(), "page") != 1) {
                ::_exit(1);
            }
        }
        const char written = 'w';
        if (::write(ready[1], &written, 1) == 1) {
            ::pause(); // ended by the signal
        }
        ::_exit(2);
    }
    ::close(ready[1]);
    char written = 0;
    EXPECT_EQ(::read(ready[0], &written, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(TempFilesIn(m_dir / "site"), kFiles);
    ::kill(child, SIGHUP);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGHUP);
    EXPECT_EQ(TempFilesIn(m_dir / "site"), 0);
}

// Where only regular files are written, a FIFO or a device in a file's place is refused
// unopened: opening a FIFO for writing would wait for a reader.
TEST_F(WriteFileWholeTest, RegularOnlyRefusesSpecialFilesWithoutWaiting) {
    MakeSpecialFiles(m_dir);
    for (const char* name : {"fifo", "zero"}) {
        const CallCost alone = MeasureCall([&] {
            return WriteFileWhole(name, "text", WriteTarget::RegularOnly) == 0 ? errno : 0;
        });
        const CallCost grouped = MeasureCall([&] {
            FileWriteGroup group(WriteTarget::RegularOnly);
            return group.Write(name, "text") == 0 ? errno : 0;
        });
        for (const CallCost& cost : {alone, grouped}) {
            EXPECT_EQ(cost.result, ENODEV) << name;
            EXPECT_LT(cost.seconds, 2.0) << name;
        }
    }
    EXPECT_TRUE(std::filesystem::is_fifo("fifo"));
    EXPECT_TRUE(std::filesystem::is_symlink("zero"));
}

// A folder guarded against signals goes with the files in it, as the preview's folder does.
TEST_F(WriteFileWholeTest, ASignalRemovesAGuardedFolderWithItsFiles) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const std::filesystem::path folder = m_dir / ("preview" + std::to_string(signal));
        const pid_t child = ::fork();
        if (child == 0) {
            std::filesystem::create_directory(folder);
            SignalRemovedPath guard;
            if (!guard.Guard(folder.string(), true)) {
                ::_exit(1);
            }
            for (int i = 0; i < 20; ++i) {
                WriteFileWhole((folder / ("page" + std::to_string(i) + ".html")).c_str(), "p");
            }
            ::raise(signal);
            ::_exit(2);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(std::filesystem::exists(folder)) << signal;
    }
}

TEST_F(WriteFileWholeTest, AStreamedFileIsInPlaceWholeAtCommitOrNotAtAll) {
    ASSERT_EQ(WriteFileWhole("real.html", "old"), 1);
    ::chmod("real.html", 0640);
    std::filesystem::create_symlink("real.html", "out.html");
    // Pieces of every size, across the blocks that are sent to the disk on the way.
    std::string text;
    {
        StreamedFile file;
        ASSERT_EQ(file.Begin("out.html"), StreamedFile::Start::Streaming);
        uint32_t seed = 7;
        while (text.size() < (std::size_t(9) << 20)) {
            seed = seed * 1103515245u + 12345u;
            const std::string piece(seed % 300000, char('a' + seed % 26));
            ASSERT_TRUE(file.Write(piece));
            text += piece;
        }
        EXPECT_EQ(ReadWholeFile("real.html"), "old");
        ASSERT_EQ(file.Commit(), 1);
    }
    EXPECT_TRUE(ReadWholeFile("real.html") == text);
    EXPECT_TRUE(IsLink("out.html"));
    EXPECT_EQ(StatOf("real.html").st_mode & 0777, 0640u);

    // Given up before Commit, or failed half-way: the file keeps what it held.
    {
        StreamedFile file;
        ASSERT_EQ(file.Begin("real.html"), StreamedFile::Start::Streaming);
        EXPECT_TRUE(file.Write("abandoned"));
    }
    {
        StreamedFile file;
        ASSERT_EQ(file.Begin("real.html"), StreamedFile::Start::Streaming);
        FileSizeLimit limit(8);
        EXPECT_FALSE(file.Write(std::string(4096, 'x')));
        EXPECT_EQ(errno, EFBIG);
        EXPECT_FALSE(file.Write("more"));
        EXPECT_EQ(file.Commit(), 0);
        EXPECT_EQ(errno, EFBIG);
    }
    EXPECT_TRUE(ReadWholeFile("real.html") == text);

    // What is not replaced is not streamed; what cannot be written is refused at once.
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    std::filesystem::create_directory("dir.html");
    StreamedFile fifo, dir, missing;
    EXPECT_EQ(fifo.Begin("fifo"), StreamedFile::Start::NotStreamed);
    EXPECT_EQ(dir.Begin("dir.html"), StreamedFile::Start::Failed);
    EXPECT_EQ(errno, EISDIR);
    EXPECT_EQ(missing.Begin("missing/a.html"), StreamedFile::Start::Failed);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(TempFilesIn(m_dir), 0);
}
