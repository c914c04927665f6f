#include "safe_file.h"
#include "test_support.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Lets the process write files of at most `bytes` bytes, as a full disk would; later writes
// fail with EFBIG instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

using WriteFileWholeTest = InTempDir;

} // namespace

TEST_F(WriteFileWholeTest, ReplacesTheFileOrLeavesItAlone) {
    ASSERT_EQ(WriteFileWhole("a.ini", "first\n"), 1);
    EXPECT_EQ(ReadWholeFile("a.ini"), "first\n");
    ::chmod("a.ini", 0640);
    ASSERT_EQ(WriteFileWhole("a.ini", "second, longer\n"), 1);
    EXPECT_EQ(ReadWholeFile("a.ini"), "second, longer\n");
    struct stat st;
    ASSERT_EQ(::stat("a.ini", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // a replaced file keeps its permissions

    // The disk fills half-way through the new text.
    {
        FileSizeLimit limit(8);
        EXPECT_EQ(WriteFileWhole("a.ini", std::string(4096, 'x')), 0);
    }
    EXPECT_EQ(ReadWholeFile("a.ini"), "second, longer\n");

    // A directory that cannot hold files: here, a path below a regular file.
    EXPECT_EQ(WriteFileWhole("a.ini/b.ini", "text"), 0);
    // A target that is a directory cannot be replaced.
    std::filesystem::create_directory("dir.ini");
    EXPECT_EQ(WriteFileWhole("dir.ini", "text"), 0);
    EXPECT_TRUE(std::filesystem::is_directory("dir.ini"));
    EXPECT_EQ(WriteFileWhole("", "text"), 0);
    EXPECT_EQ(WriteFileWhole(nullptr, "text"), 0);

    // No half-written file is left behind by any of the failures.
    EXPECT_EQ(Listing(), "a.ini\ndir.ini\n");
}
