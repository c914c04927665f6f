// The profile commands against a profiles.ini from elsewhere: entries that name files outside
// the profile folder, and special files where a profile or the list is expected.

#include "app/profile_commands_fixture.h"

#include <chrono>

namespace {

double SecondsOf(const std::function<void()>& command) {
    const auto start = std::chrono::steady_clock::now();
    command();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class UntrustedProfiles : public ProfileCommands {};

} // namespace

TEST_F(UntrustedProfiles, EntriesThatAreNoBareNamesAreNeverOpenedReadOrWritten) {
    std::filesystem::create_directory("store");
    const std::string victim = "the victim's own bytes\n";
    WriteWholeFile("victim.txt", victim);
    const std::vector<Entry> entries{{"Up", "../victim.txt"},
                                     {"Abs", (m_dir / "victim.txt").string()},
                                     {"Empty", ""},
                                     {"Dot", "."},
                                     {"Parent", ".."}};
    WriteWholeFile("store/profiles.ini", ListText(entries, 0));
    dlg.SetProfileFolder(ProfileFolder{&RealDisk(), "store"});
    Open(dlg);
    EXPECT_EQ(Texts(), Strings{"Error loading profile !"}) << "the default, at the start";
    answer = MessageAnswer::Yes;
    for (const Entry& e : entries) {
        messages.clear();
        Name(e.name);
        Click(IDC_LOAD);
        SaveAs(e.name, 3);
        Name(e.name);
        Click(IDC_DELETE);
        EXPECT_EQ(Texts(), (Strings{"Error loading profile !", "Error saving profile !",
                                    Question(e.name), kDeletedReport}))
            << e.name;
        EXPECT_EQ(ReadWholeFile("victim.txt"), victim) << e.name;
    }
    // Only the entries went; the program deletes no file.
    EXPECT_EQ(ReadWholeFile("store/profiles.ini"), ListText({}, 0));
    EXPECT_EQ(Listing(), "store\nvictim.txt\n");
    EXPECT_EQ(OnDisk().size(), 2u);
}

TEST_F(UntrustedProfiles, SpecialFilesAsProfilesOrListAnswerAtOnce) {
    std::filesystem::create_directory("store");
    MakeSpecialFiles(m_dir / "store");
    WriteWholeFile("store/profiles.ini", ListText({{"Fifo", "fifo"}, {"Zero", "zero"}}, 0));
    dlg.SetProfileFolder(ProfileFolder{&RealDisk(), "store"});
    Open(dlg);
    messages.clear();
    Settings(7);
    const std::string shown = Controls(dlg);
    for (const char* name : {"Fifo", "Zero"}) {
        Name(name);
        EXPECT_LT(SecondsOf([&] { Click(IDC_LOAD); }), 2.0) << name;
    }
    EXPECT_EQ(Controls(dlg), shown) << "a failed load changes nothing";
    EXPECT_EQ(Texts(), (Strings{"Error loading profile !", "Error loading profile !"}));

    // profiles.ini itself: an error in the list, which is then never written.
    for (const char* special : {"fifo", "zero"}) {
        const std::filesystem::path folder = m_dir / special;
        std::filesystem::create_directory(folder);
        std::filesystem::rename(m_dir / "store" / special, folder / "profiles.ini");
        messages.clear();
        RecordingDlg window;
        window.SetProfileFolder(ProfileFolder{&RealDisk(), folder.string()});
        EXPECT_LT(SecondsOf([&] { Open(window); }), 2.0) << special;
        window.SetDlgItemText(IDC_PROFILE_NAME, "New");
        window.OnSave();
        EXPECT_EQ(Texts(), (Strings{"Error in main ini file !", "Can't find profile !",
                                    "Error saving profile !"}));
        EXPECT_EQ(std::filesystem::directory_iterator(folder)->path().filename(), "profiles.ini");
    }
    EXPECT_TRUE(std::filesystem::is_fifo("fifo/profiles.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink("zero/profiles.ini"));
}
