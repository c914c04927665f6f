// What a profiles.ini from elsewhere may name, and what may lie where a profile is expected:
// only bare names in the profile folder are used, and special files answer at once.

#include "files/test_support.h"
#include "profiles/profile_file.h"
#include "profiles/profile_folder.h"
#include "profiles/profile_list_file.h"

namespace {

using UntrustedProfileFiles = InTempDir;

} // namespace

TEST(ProfileFolderTest, OnlyBareNamesLeadToAFile) {
    for (const char* bad : {"", ".", "..", "../victim.txt", "/etc/passwd", "a/b.ini", "x/", "/"}) {
        EXPECT_FALSE(IsBareFileName(bad)) << bad;
        EXPECT_EQ(InProfileFolder("store", bad), "") << bad;
        EXPECT_EQ(InProfileFolder("", bad), "") << bad;
    }
    EXPECT_FALSE(IsBareFileName(nullptr));
    for (const char* good : {"profile_00000001.ini", "...", ".hidden", "a b", "..x"}) {
        EXPECT_TRUE(IsBareFileName(good)) << good;
        EXPECT_EQ(InProfileFolder("store", good), std::string("store/") + good);
        EXPECT_EQ(InProfileFolder("store/", good), std::string("store/") + good);
        EXPECT_EQ(InProfileFolder("", good), good);
    }
}

// A FIFO or endless zeros as a profile file or as profiles.ini: an error at once, in little
// memory, and the special file left as it is.
TEST_F(UntrustedProfileFiles, SpecialFilesAnswerAtOnce) {
    MakeSpecialFiles(m_dir);
    WriteWholeFile("big.ini", "");
    ASSERT_EQ(::truncate("big.ini", off_t(Disk::kReadLimit) + 1), 0);
    for (const char* name : {"fifo", "zero", "big.ini"}) {
        const CallCost profile = MeasureCall([&] {
            ProfileSettings settings;
            return ReadProfileFile(RealDisk(), name, settings);
        });
        EXPECT_EQ(profile.result, 0) << name;
        const CallCost list = MeasureCall([&] {
            ProfileList entries;
            return int(ReadProfileListFile(RealDisk(), name, entries, WhenMissing::Create));
        });
        EXPECT_EQ(list.result, int(ProfileListRead::ErrorInFile)) << name;
        TellCost(std::string("profile file: ") + name, profile);
        TellCost(std::string("profiles.ini: ") + name, list);
        for (const CallCost& cost : {profile, list}) {
            EXPECT_LT(cost.seconds, 2.0) << name;
            EXPECT_LT(cost.peak_growth_mb, 100) << name;
        }
    }
    EXPECT_TRUE(std::filesystem::is_fifo("fifo"));
    EXPECT_TRUE(std::filesystem::is_symlink("zero"));
}
