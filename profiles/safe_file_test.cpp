#include "profiles/safe_file.h"
#include "profiles/test_support.h"

#include <sys/stat.h>

namespace {

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
