#include "base/memory.h"
#include "files/test_support.h"
#include "profiles/profile_file_name.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

using ProfileFileName = InTempDir;

// The names that a fresh sequence offers first.
std::vector<std::string> FirstCandidates(int count) {
    ProfileNumberSequence numbers;
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[kProfileFileNameSize];
        std::snprintf(name, sizeof name, "profile_%08x.ini", unsigned(numbers.Next()));
        names.push_back(name);
    }
    return names;
}

char* Copy(const std::string& s) {
    return tarvo::DuplicateString(s.data(), s.size());
}

} // namespace

TEST(ProfileNumberSequenceTest, GivesEveryNumberOnceAndThenTheSameOrderAgain) {
    ProfileNumberSequence numbers;
    std::vector<int32_t> first;
    std::vector<bool> seen(ProfileNumberSequence::kRange, false);
    for (int32_t i = 0; i < ProfileNumberSequence::kRange; ++i) {
        const int32_t n = numbers.Next();
        ASSERT_TRUE(n >= 0 && n < ProfileNumberSequence::kRange) << n;
        ASSERT_FALSE(seen[std::size_t(n)]) << n << " again after " << i << " draws";
        seen[std::size_t(n)] = true;
        first.push_back(n);
    }
    for (int32_t i = 0; i < ProfileNumberSequence::kRange; ++i) {
        ASSERT_EQ(numbers.Next(), first[std::size_t(i)]) << i;
    }
    ProfileNumberSequence another_run;
    EXPECT_EQ(another_run.Next(), first[0]);
}

TEST_F(ProfileFileName, ClaimsTheFirstNameThatNeitherTheDiskNorTheListHolds) {
    const std::vector<std::string> c = FirstCandidates(9);
    WriteWholeFile(c[0], "kept");
    std::filesystem::create_directory(c[1]);
    std::filesystem::create_symlink("nowhere", c[2]);
    std::string upper = c[3];
    for (char& ch : upper) {
        ch = char(std::toupper(static_cast<unsigned char>(ch)));
    }
    ProfileList list;
    ASSERT_EQ(list.Add(Copy("listed, file missing"), Copy(upper)), 1);

    const ProfileFolder here;
    ProfileNumberSequence numbers;
    char name[kProfileFileNameSize];
    ASSERT_TRUE(ClaimProfileFileName(list, numbers, 5, here, name));
    EXPECT_EQ(std::string(name), c[4]);
    EXPECT_TRUE(std::filesystem::is_regular_file(c[4])) << "claimed by an empty file";
    EXPECT_FALSE(std::filesystem::exists(c[2])) << "the link still dangles";
    ASSERT_TRUE(ClaimProfileFileName(list, numbers, 1, here, name));
    EXPECT_EQ(std::string(name), c[5]) << "the next search goes on in the sequence";

    WriteWholeFile(c[6], "");
    WriteWholeFile(c[7], "");
    EXPECT_FALSE(ClaimProfileFileName(list, numbers, 2, here, name));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(std::string(name), "");
    EXPECT_EQ(ReadWholeFile(c[0]), "kept");
    ASSERT_TRUE(ClaimProfileFileName(list, numbers, 1, here, name));
    EXPECT_EQ(std::string(name), c[8]);

    // A folder that takes no file at all ends the search at the first draw, with its reason.
    ProfileFolder below_a_file;
    below_a_file.path = c[0];
    EXPECT_FALSE(ClaimProfileFileName(list, numbers, 1000, below_a_file, name));
    EXPECT_EQ(errno, ENOTDIR);
    ProfileNumberSequence fresh;
    for (int i = 0; i < 10; ++i) {
        fresh.Next();
    }
    EXPECT_EQ(numbers.Next(), fresh.Next()) << "one draw only";
}
