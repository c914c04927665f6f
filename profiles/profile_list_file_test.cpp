#include "base/format.h"
#include "base/memory.h"
#include "files/memory_disk.h"
#include "files/test_support.h"
#include "profiles/profile_list_file.h"

#include <random>

namespace {

using ProfileListFile = InTempDir;

char* Copy(const std::string& s) {
    return tarvo::DuplicateString(s.data(), s.size());
}

const std::string kDefaultText = std::string(kProfileListHeading) +
                                 "\n//\n// here profile name/file settings are stored\n//\n\n"
                                 "n_profile_num = 0;\nn_default_profile = -1;\n\n// end of file";

} // namespace

TEST_F(ProfileListFile, WritesTheKnownText) {
    ProfileList list;
    ASSERT_EQ(list.Add(Copy("Plain"), Copy("profile_00000029.ini")), 1);
    ASSERT_EQ(list.Add(Copy("Web"), Copy("profile_00004823.ini")), 1);
    list.n_default_profile = 1;
    ASSERT_EQ(WriteProfileListFile("profiles.ini", list), 1);
    EXPECT_EQ(ReadWholeFile("profiles.ini"),
              std::string(kProfileListHeading) +
                  "\n"
                  "//\n"
                  "// here profile name/file settings are stored\n"
                  "//\n"
                  "\n"
                  "n_profile_num = 2;\n"
                  "n_default_profile = 1;\n"
                  "p_profile_name[0].p_s_name = \"Plain\";\n"
                  "p_profile_name[0].p_s_file_name = \"profile_00000029.ini\";\n"
                  "p_profile_name[1].p_s_name = \"Web\";\n"
                  "p_profile_name[1].p_s_file_name = \"profile_00004823.ini\";\n"
                  "\n"
                  "// end of file");
    // The heading is one comment line that names the program and its author.
    const std::string heading = kProfileListHeading;
    EXPECT_EQ(heading.rfind("//", 0), 0u);
    EXPECT_EQ(heading.find('\n'), std::string::npos);
    EXPECT_NE(heading.find("Tarvo"), std::string::npos);
    EXPECT_NE(heading.find("Kesmund"), std::string::npos);

    ProfileList empty;
    empty.n_default_profile = -1;
    EXPECT_EQ(ProfileListText(empty), kDefaultText);
}

TEST_F(ProfileListFile, MissingFileIsCreatedOnlyWhenAsked) {
    ProfileList list;
    list.n_default_profile = 5;
    EXPECT_EQ(ReadProfileListFile("profiles.ini", list, WhenMissing::Leave),
              ProfileListRead::Missing);
    EXPECT_EQ(Listing(), "");
    EXPECT_EQ(list.n_default_profile, 0);
    EXPECT_EQ(ReadProfileListFile("profiles.ini", list, WhenMissing::Create),
              ProfileListRead::Created);
    EXPECT_EQ(ReadWholeFile("profiles.ini"), kDefaultText);
    EXPECT_EQ(std::count(kDefaultText.begin(), kDefaultText.end(), '\n'), 8); // nine lines
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.n_default_profile, 0);
    // The default file reads as an empty list; its -1 is not even looked at.
    EXPECT_EQ(ReadProfileListFile("profiles.ini", list, WhenMissing::Create),
              ProfileListRead::Read);
    EXPECT_EQ(list.n_default_profile, 0);
    // Nowhere to create it.
    EXPECT_EQ(ReadProfileListFile("profiles.ini/x.ini", list, WhenMissing::Create),
              ProfileListRead::Missing);
}

TEST_F(ProfileListFile, BrokenFilesAreReportedAndNeverOverwritten) {
    ProfileList list;
    auto read = [&](const std::string& text) {
        WriteWholeFile("profiles.ini", text);
        const ProfileListRead result =
            ReadProfileListFile("profiles.ini", list, WhenMissing::Create);
        EXPECT_EQ(ReadWholeFile("profiles.ini"), text);
        return result;
    };
    const std::string head = "n_profile_num = 3;\nn_default_profile = 1;\n"
                             "p_profile_name[0].p_s_name = \"A\";\n"
                             "p_profile_name[0].p_s_file_name = \"a.ini\";\n"
                             "p_profile_name[1].p_s_name = \"B\";\n"
                             "p_profile_name[1].p_s_file_name = \"b.ini\";\n";
    EXPECT_EQ(read(""), ProfileListRead::ErrorInFile);
    EXPECT_EQ(read("n_profile_num = 0"), ProfileListRead::ErrorInFile);
    EXPECT_EQ(read("n_profile_num = \"1\";"), ProfileListRead::ErrorInFile);
    // Fewer entries than announced: those before the gap stay.
    EXPECT_EQ(read(head), ProfileListRead::ErrorInFile);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.n_default_profile, 0);
    EXPECT_EQ(read(head + "p_profile_name[2].p_s_name = \"C\";\n"), ProfileListRead::ErrorInFile);
    EXPECT_EQ(list.GetCount(), 2);
    // A list without its default index.
    EXPECT_EQ(read("n_profile_num = 1;\np_profile_name[0].p_s_name = \"A\";\n"
                   "p_profile_name[0].p_s_file_name = \"a.ini\";\n"),
              ProfileListRead::ErrorInFile);
    EXPECT_EQ(list.GetCount(), 1);
    // A default outside the list is no error, and is kept as it was read.
    EXPECT_EQ(read("n_profile_num = 1;\nn_default_profile = -1;\np_profile_name[0].p_s_name = "
                   "\"A\";\np_profile_name[0].p_s_file_name = \"a.ini\";\n"),
              ProfileListRead::Read);
    EXPECT_EQ(list.n_default_profile, -1);
    ASSERT_EQ(WriteProfileListFile("again.ini", list), 1);
    EXPECT_NE(ReadWholeFile("again.ini").find("n_default_profile = -1;\n"), std::string::npos);

    // A profiles.ini that exists but cannot be read as a file.
    std::filesystem::remove("profiles.ini");
    std::filesystem::create_directory("profiles.ini");
    EXPECT_EQ(ReadProfileListFile("profiles.ini", list, WhenMissing::Create),
              ProfileListRead::ErrorInFile);
    EXPECT_TRUE(std::filesystem::is_directory("profiles.ini"));
}

TEST(ProfileListFileInMemory, RandomListsRoundTrip) {
    MemoryDisk disk;
    std::mt19937 rng(5);
    auto random_text = [&] {
        std::string s;
        for (std::size_t n = rng() % 7; n > 0; --n) {
            static const char often[] = "/*\"\\\n\r aZ";
            s += rng() % 2 ? often[rng() % 10] : char(1 + rng() % 255);
        }
        return s;
    };
    for (int round = 0; round < 2000; ++round) {
        ProfileList list;
        const int count = int(rng() % (round % 50 == 0 ? 120 : 6));
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(list.Add(Copy(random_text()), Copy(random_text())), 1);
        }
        list.n_default_profile = int32_t(rng() % 10) - 2;
        ASSERT_EQ(WriteProfileListFile(disk, "profiles.ini", list), 1);
        ProfileList back;
        FileStamp read;
        ASSERT_EQ(ReadProfileListFile(disk, "profiles.ini", back, WhenMissing::Create, &read),
                  ProfileListRead::Read)
            << "round " << round;
        ASSERT_EQ(read, disk.Stamp("profiles.ini"));
        ASSERT_EQ(back.GetCount(), count);
        EXPECT_EQ(back.n_default_profile, count == 0 ? 0 : list.n_default_profile);
        for (int i = 0; i < count; ++i) {
            ASSERT_STREQ(back.GetAt(i)->p_s_name, list.GetAt(i)->p_s_name) << round;
            ASSERT_STREQ(back.GetAt(i)->p_s_file_name, list.GetAt(i)->p_s_file_name) << round;
        }
    }
}

TEST_F(ProfileListFile, OutOfMemoryKeepsTheEntriesReadBefore) {
    ProfileList list;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(list.Add(Copy(tarvo::Format("n%d", i)), Copy(tarvo::Format("f%d", i))), 1);
    }
    list.n_default_profile = 2;
    ASSERT_EQ(WriteProfileListFile("profiles.ini", list), 1);
    bool read = false;
    int32_t previous_count = -1;
    for (long allowed = 0; allowed < 500 && !read; ++allowed) {
        ProfileList back;
        tarvo::InjectAllocationFailure(allowed);
        const ProfileListRead result =
            ReadProfileListFile("profiles.ini", back, WhenMissing::Create);
        tarvo::InjectAllocationFailure(-1);
        read = result == ProfileListRead::Read;
        if (!read) {
            // Out of memory in the reader is an unreadable file; in the list, OutOfMemory.
            EXPECT_TRUE(result == ProfileListRead::OutOfMemory ||
                        result == ProfileListRead::ErrorInFile);
            EXPECT_EQ(back.n_default_profile, 0);
            EXPECT_GE(back.GetCount(), previous_count); // more memory, never fewer entries
            previous_count = back.GetCount();
        } else {
            EXPECT_EQ(back.GetCount(), 3);
            EXPECT_EQ(back.n_default_profile, 2);
        }
    }
    EXPECT_TRUE(read);
}
