#include "base/memory.h"
#include "profiles/profile_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

static_assert(!std::is_copy_constructible_v<ProfileEntry> &&
                  !std::is_copy_assignable_v<ProfileEntry>,
              "an entry owns its strings");
static_assert(std::is_nothrow_move_constructible_v<ProfileEntry> &&
              std::is_nothrow_move_assignable_v<ProfileEntry>);

namespace {

char* Copy(const std::string& s) {
    return tarvo::DuplicateString(s.data(), s.size());
}

void Fill(ProfileList& list, int n, int first = 0) {
    for (int i = first; i < first + n; ++i) {
        ASSERT_EQ(list.Add(Copy("name" + std::to_string(i)), Copy("file" + std::to_string(i))), 1);
    }
}

} // namespace

TEST(ProfileList, KeepsEveryEntryInOrderAsItGrowsAndRemovesInOrder) {
    ProfileList list;
    EXPECT_EQ(list.GetAt(0), nullptr);
    EXPECT_EQ(list.RemoveAt(0), 0);
    Fill(list, 50);
    Fill(list, 1, 50);
    EXPECT_EQ(list.GetCount(), 51);
    for (int i = 0; i < 50; ++i) {
        ASSERT_STREQ(list.GetAt(i)->p_s_name, ("name" + std::to_string(i)).c_str());
        ASSERT_STREQ(list.GetAt(i)->p_s_file_name, ("file" + std::to_string(i)).c_str());
    }
    EXPECT_EQ(list.GetAt(51), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);

    EXPECT_EQ(list.RemoveAt(51), 0);
    EXPECT_EQ(list.RemoveAt(-1), 0);
    ASSERT_EQ(list.RemoveAt(0), 1);
    ASSERT_EQ(list.RemoveAt(10), 1); // was name11
    EXPECT_EQ(list.GetCount(), 49);
    EXPECT_STREQ(list.GetAt(0)->p_s_name, "name1");
    EXPECT_STREQ(list.GetAt(9)->p_s_name, "name10");
    EXPECT_STREQ(list.GetAt(10)->p_s_name, "name12");
    EXPECT_STREQ(list.GetAt(48)->p_s_name, "name50");

    Fill(list, 52, 100); // 101 entries
    Fill(list, 50, 200);
    EXPECT_STREQ(list.GetAt(150)->p_s_file_name, "file249");
    EXPECT_STREQ(list.GetAt(48)->p_s_name, "name50");

    // Moving an entry moves its strings.
    ProfileEntry moved = std::move(*list.GetAt(0));
    EXPECT_STREQ(moved.p_s_name, "name1");
    EXPECT_EQ(list.GetAt(0)->p_s_name, nullptr);

    list.n_default_profile = 7;
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.n_default_profile, 7);
}

TEST(ProfileList, FindsTheFirstNameIgnoringTheCaseOfAToZOnly) {
    ProfileList list;
    ASSERT_EQ(list.Add(Copy("Web"), Copy("1")), 1);
    ASSERT_EQ(list.Add(Copy("WEB"), Copy("2")), 1);
    ASSERT_EQ(list.Add(Copy("\xC4pfel"), Copy("3")), 1);
    ASSERT_EQ(list.Add(Copy(""), Copy("4")), 1);
    ASSERT_EQ(list.Add(Copy("[x]"), Copy("5")), 1);
    EXPECT_EQ(list.FindByName("web"), 0);
    EXPECT_EQ(list.FindByName("wEb"), 0);
    EXPECT_EQ(list.FindByName("We"), -1);
    EXPECT_EQ(list.FindByName("Webs"), -1);
    EXPECT_EQ(list.FindByName("\xC4PFEL"), 2);
    EXPECT_EQ(list.FindByName("\xE4pfel"), -1); // bytes above 127 do not fold
    EXPECT_EQ(list.FindByName(""), 3);
    EXPECT_EQ(list.FindByName("{X}"), -1); // [ and { differ by the same bit as A and a
    EXPECT_EQ(list.FindByName("[X]"), 4);
    EXPECT_EQ(list.FindByName(nullptr), -1);
}

TEST(ProfileList, OutOfMemoryLeavesTheListAsItWas) {
    ProfileList list;
    Fill(list, 50);
    char* name = Copy("new");
    char* file = Copy("new.ini");
    tarvo::InjectAllocationFailure(0);
    EXPECT_EQ(list.Add(name, file), 0);
    tarvo::InjectAllocationFailure(-1);
    EXPECT_EQ(list.GetCount(), 50);
    EXPECT_STREQ(list.GetAt(49)->p_s_name, "name49");
    // The caller still owns the strings.
    ASSERT_EQ(list.Add(name, file), 1);
    EXPECT_EQ(list.FindByName("NEW"), 50);
}
