// Reading files whole: limits, NUL bytes, and special files that must never make a reader wait
// or fill its memory.

#include "files/read_file.h"
#include "files/test_support.h"

#include <cerrno>
#include <fcntl.h>

namespace {

using ReadFileTest = InTempDir;

} // namespace

TEST_F(ReadFileTest, ReadsWithinLimitsAndRefusesNulWhenAsked) {
    std::string bytes;
    WriteWholeFile("a.c", "int a;\n");
    EXPECT_EQ(ReadRegularFile("a.c", ReadRules{}, bytes), ReadStatus::Ok);
    EXPECT_EQ(bytes, "int a;\n");
    EXPECT_EQ(ReadRegularFile("a.c", ReadRules{7, false}, bytes), ReadStatus::Ok);
    EXPECT_EQ(ReadRegularFile("a.c", ReadRules{6, false}, bytes), ReadStatus::TooLarge);
    EXPECT_TRUE(bytes.empty());
    WriteWholeFile("nul.c", std::string("int\0", 4));
    EXPECT_EQ(ReadRegularFile("nul.c", ReadRules{}, bytes), ReadStatus::Ok);
    EXPECT_EQ(ReadRegularFile("nul.c", ReadRules{100, true}, bytes), ReadStatus::HoldsNul);
    EXPECT_EQ(ReadRegularFile("missing.c", ReadRules{}, bytes), ReadStatus::Failed);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(ReadRegularFile(".", ReadRules{}, bytes), ReadStatus::Failed);
    EXPECT_EQ(errno, EISDIR);
    // A file larger than the limit is refused by its size, before it is read.
    ASSERT_EQ(::truncate("a.c", off_t(1) << 40), 0);
    off_t size = 0;
    EXPECT_EQ(ReadRegularFile("a.c", ReadRules{1 << 20, false}, bytes, &size),
              ReadStatus::TooLarge);
    EXPECT_EQ(size, off_t(1) << 40);
    errno = 0;
    EXPECT_EQ(OpenRegularFile("a.c", 1 << 20, nullptr), nullptr);
    EXPECT_EQ(errno, EFBIG);
    std::FILE* small = OpenRegularFile("nul.c", 4, nullptr);
    ASSERT_NE(small, nullptr);
    std::fclose(small);
}

// A FIFO nobody writes to and endless zeros: each answers at once, in little memory.
TEST_F(ReadFileTest, SpecialFilesAnswerAtOnceInLittleMemory) {
    MakeSpecialFiles(m_dir);
    for (const char* name : {"fifo", "zero"}) {
        const CallCost read = MeasureCall([&] {
            std::string bytes;
            return int(ReadRegularFile(name, ReadRules{}, bytes));
        });
        EXPECT_EQ(read.result, int(ReadStatus::NotRegular)) << name;
        const CallCost open = MeasureCall([&] {
            std::FILE* file = OpenRegularFile(name, 1 << 20, nullptr);
            return file == nullptr ? errno : 0;
        });
        EXPECT_EQ(open.result, ENODEV) << name;
        TellCost(std::string("ReadRegularFile: ") + name, read);
        for (const CallCost& cost : {read, open}) {
            EXPECT_LT(cost.seconds, 2.0) << name;
            EXPECT_LT(cost.peak_growth_mb, 100) << name;
        }
    }
    // Read as a stream, as a filter reads its input: the first NUL ends it, and so does a limit
    // (where "zero" could be made a device, not a FIFO).
    if (!std::filesystem::is_character_file("zero")) {
        return;
    }
    for (const ReadRules rules : {ReadRules{std::size_t(-1), true}, ReadRules{1 << 20, false}}) {
        const CallCost cost = MeasureCall([&] {
            const int fd = ::open("zero", O_RDONLY);
            std::string bytes;
            return int(ReadToEnd(fd, rules, 0, bytes));
        });
        EXPECT_EQ(cost.result, int(rules.refuse_nul ? ReadStatus::HoldsNul : ReadStatus::TooLarge));
        EXPECT_LT(cost.seconds, 2.0);
        EXPECT_LT(cost.peak_growth_mb, 100);
    }
}
