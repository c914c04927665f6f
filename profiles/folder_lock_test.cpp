// Two processes change one profiles.ini at once, each as a dialog does: under the folder's lock,
// reading the file again when it changed, and claiming each new file name on disk.

#include "base/memory.h"
#include "files/test_support.h"
#include "profiles/profile_file_name.h"
#include "profiles/profile_list_file.h"

#include <cstring>
#include <set>

namespace {

using FolderLockTest = InTempDir;

constexpr int kEach = 20;

int AddProfiles(const std::string& prefix) {
    Disk& disk = RealDisk();
    const ProfileFolder here;
    ProfileList list;
    FileStamp stamp;
    ProfileNumberSequence numbers; // both processes draw the same names in the same order
    for (int i = 0; i < kEach; ++i) {
        FolderLock lock;
        if (!lock.Take(disk, "")) {
            return 1;
        }
        if (!(disk.Stamp("profiles.ini") == stamp) &&
            ReadProfileListFile(disk, "profiles.ini", list, WhenMissing::Leave, &stamp) !=
                ProfileListRead::Read) {
            return 2;
        }
        char file[kProfileFileNameSize];
        if (!ClaimProfileFileName(list, numbers, ProfileNumberSequence::kRange, here, file)) {
            return 3;
        }
        const std::string name = prefix + std::to_string(i);
        if (!list.Add(tarvo::DuplicateString(name.data(), name.size()),
                      tarvo::DuplicateString(file, std::strlen(file))) ||
            !WriteProfileListFile(disk, "profiles.ini", list)) {
            return 4;
        }
        stamp = disk.Stamp("profiles.ini");
    }
    return 0;
}

} // namespace

TEST_F(FolderLockTest, TwoProcessesAddingProfilesLoseNone) {
    ProfileList empty;
    ASSERT_EQ(WriteProfileListFile("profiles.ini", empty), 1);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(AddProfiles("B"));
    }
    EXPECT_EQ(AddProfiles("A"), 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    ProfileList list;
    ASSERT_EQ(ReadProfileListFile("profiles.ini", list, WhenMissing::Leave), ProfileListRead::Read);
    ASSERT_EQ(list.GetCount(), 2 * kEach);
    std::set<std::string> names;
    std::set<std::string> files;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        names.insert(list.GetAt(i)->p_s_name);
        files.insert(list.GetAt(i)->p_s_file_name);
        EXPECT_TRUE(std::filesystem::exists(list.GetAt(i)->p_s_file_name));
    }
    EXPECT_EQ(names.size(), std::size_t(2 * kEach)) << "every profile listed";
    EXPECT_EQ(files.size(), std::size_t(2 * kEach)) << "each file name once";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 2 * kEach + 1)
        << "no file unlisted";
}
