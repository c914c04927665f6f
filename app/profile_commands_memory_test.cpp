// The long command sequences, and two windows on one folder, on a disk in memory.

#include "app/profile_commands_fixture.h"

TEST_F(ProfileCommandsInMemory, TheFiftyFirstProfileGrowsTheListAndSurvivesRunningOutOfMemory) {
    Start();
    std::vector<Entry> entries;
    Strings names;
    for (int i = 0; i < 50; ++i) {
        names.push_back(tarvo::Format("p%d", 100 + i));
        dlg.SetDlgItemInt(IDC_TAB_SIZE, i, true); // no keywords: they would take memory too
        Name(names.back());
        Click(IDC_SAVE);
        entries.push_back({names.back(), FileOf(names.back())});
    }
    messages.clear();
    const Files before = OnDisk();
    Name("p150");
    for (long fail_at = 0;; ++fail_at) {
        messages.clear();
        tarvo::InjectAllocationFailure(fail_at);
        Click(IDC_SAVE);
        tarvo::InjectAllocationFailure(-1);
        if (messages.empty()) {
            EXPECT_EQ(fail_at, 3) << "the name, the file name and the grown list";
            break;
        }
        ASSERT_EQ(Texts(), Strings{"Not enough memory"}) << fail_at;
        ASSERT_EQ(OnDisk(), before) << fail_at;
        ASSERT_EQ(Items(dlg), names);
    }
    entries.push_back({"p150", FileOf("p150")});
    names.push_back("p150");
    EXPECT_EQ(Text("profiles.ini"), ListText(entries, 0));
    CTarvoDlg again;
    again.SetProfileFolder(ProfileFolder{m_memory, ""});
    Open(again);
    EXPECT_EQ(Items(again), names);
    EXPECT_EQ(again.GetDlgItemText(IDC_PROFILE_NAME), "p100");
}

TEST_F(ProfileCommandsInMemory, NewFileNamesAvoidEveryFileOnDiskAndInTheList) {
    ProfileNumberSequence numbers;
    Strings candidates;
    for (int32_t i = 0; i < ProfileNumberSequence::kRange; ++i) {
        char name[kProfileFileNameSize];
        std::snprintf(name, sizeof name, "profile_%08x.ini", unsigned(numbers.Next()));
        candidates.push_back(name);
    }
    // The first name is listed in capitals, its file gone; the second is on disk, left behind.
    std::string listed = candidates[0];
    std::transform(listed.begin(), listed.end(), listed.begin(),
                   [](char ch) { return ch >= 'a' && ch <= 'z' ? char(ch - 'a' + 'A') : ch; });
    m_disk.Put("profiles.ini", ListText({{"Old", listed}}, 0));
    m_disk.Put(candidates[1], "left behind");
    Start();
    messages.clear();
    SaveAs("New", 4);
    EXPECT_EQ(FileOf("New"), candidates[2]);
    EXPECT_EQ(Text(candidates[1]), "left behind");

    // Every name taken but the very last one that the sequence gives.
    for (std::size_t i = 3; i + 1 < candidates.size(); ++i) {
        m_disk.Put(candidates[i], "");
    }
    SaveAs("Last", 4);
    EXPECT_EQ(FileOf("Last"), candidates.back());
    const std::string list = Text("profiles.ini");
    SaveAs("None", 4);
    EXPECT_EQ(Texts(), Strings{"Error saving profile !"});
    EXPECT_EQ(Text("profiles.ini"), list);
    EXPECT_EQ(Items(dlg), (Strings{"Last", "New", "Old"}));
}

// Random Save, Load, Set default and Delete against a model of the list: the disk and the box
// agree with it after every command.
TEST_F(ProfileCommandsInMemory, RandomCommandsKeepDiskAndBoxInStepWithAModel) {
    Start();
    std::vector<Entry> model;
    int32_t default_profile = 0;
    bool written = false;
    std::map<std::string, std::string> saved; // file name, settings; deleted ones stay
    std::mt19937 random(11);
    const Strings names{"a", "A", "b", "Web", "web", "x y", ""};
    for (int step = 0; step < 200; ++step) {
        messages.clear();
        const std::string name = names[random() % names.size()];
        const auto at = std::find_if(model.begin(), model.end(), [&](const Entry& e) {
            return EqualIgnoringAsciiCase(e.name.c_str(), name.c_str());
        });
        const int found = at != model.end() ? int(at - model.begin()) : -1;
        Name(name);
        const unsigned command = random() % 4;
        if (command == 0) {
            Settings(int(random() % 20) - 1);
            Click(IDC_SAVE);
            if (found < 0) {
                const ProfileList& list = dlg.GetProfileList();
                ASSERT_EQ(list.GetCount(), int32_t(model.size() + 1));
                model.push_back({name, list.GetAt(list.GetCount() - 1)->p_s_file_name});
                ASSERT_EQ(saved.count(model.back().file), 0u) << "a file in use";
                written = true;
            }
            const std::string& file = model[found < 0 ? model.size() - 1 : std::size_t(found)].file;
            saved[file] = Controls(dlg);
            ASSERT_EQ(InFile(file), saved[file]);
            ASSERT_TRUE(messages.empty());
        } else if (command == 1 || command == 2) {
            Click(command == 1 ? IDC_LOAD : IDC_SET_DEFAULT);
            if (found >= 0) {
                ASSERT_EQ(Controls(dlg), saved[model[std::size_t(found)].file]);
                default_profile = command == 2 ? found : default_profile;
                written = written || command == 2;
            }
            ASSERT_EQ(messages.size(), found < 0 && command == 1 ? 1u : 0u);
        } else {
            answer = random() % 4 != 0 ? MessageAnswer::Yes : MessageAnswer::No;
            Click(IDC_DELETE);
            const bool deleted = answer == MessageAnswer::Yes && found >= 0;
            if (deleted) {
                default_profile = found == default_profile  ? 0
                                  : found < default_profile ? default_profile - 1
                                                            : default_profile;
                model.erase(model.begin() + found);
                written = true;
            }
            Strings said{Question(name)};
            if (deleted) {
                said.push_back(kDeletedReport);
            }
            ASSERT_EQ(Texts(), said);
        }

        ASSERT_EQ(Text("profiles.ini"), written ? ListText(model, default_profile) : kDefaultList)
            << step;
        Strings listed;
        for (const Entry& e : model) {
            listed.push_back(e.name);
        }
        std::sort(listed.begin(), listed.end(), [](const auto& x, const auto& y) {
            return QString::compare(QString::fromStdString(x), QString::fromStdString(y),
                                    Qt::CaseInsensitive) < 0;
        });
        ASSERT_EQ(Items(dlg), listed) << step;
        std::set<std::string> on_disk;
        std::set<std::string> expected{"profiles.ini"};
        for (const auto& [file, bytes] : OnDisk()) {
            on_disk.insert(file);
        }
        for (const auto& [file, settings] : saved) {
            expected.insert(file);
        }
        ASSERT_EQ(on_disk, expected) << step;
    }
    for (const auto& [file, settings] : saved) {
        EXPECT_EQ(InFile(file), settings) << file;
    }
    EXPECT_GT(model.size(), 2u);
}

namespace {

// Two windows on one folder, each command driven through its handler.
class TwoWindows : public ProfileCommandsInMemory {
protected:
    void SaveIn(CTarvoDlg& w, const std::string& name, int tab_size) {
        w.OnCppDefaults();
        w.SetDlgItemInt(IDC_TAB_SIZE, tab_size, true);
        w.SetDlgItemText(IDC_PROFILE_NAME, name);
        w.OnSave();
    }
    std::string ListedFile(const CTarvoDlg& w, const std::string& name) const {
        const ProfileEntry* e =
            w.GetProfileList().GetAt(w.GetProfileList().FindByName(name.c_str()));
        return e != nullptr ? e->p_s_file_name : "";
    }
};

} // namespace

TEST_F(TwoWindows, EveryChangeGoesIntoWhatTheOtherWindowWrote) {
    Start();
    CTarvoDlg other;
    other.SetProfileFolder(ProfileFolder{m_memory, ""});
    Open(other);
    messages.clear();
    SaveIn(dlg, "FromA", 1);
    SaveIn(other, "FromB", 2); // other has not seen FromA
    EXPECT_EQ(Items(other), (Strings{"FromA", "FromB"})) << "the merged list is shown";
    EXPECT_NE(ListedFile(other, "FromA"), ListedFile(other, "FromB")) << "one file each";
    EXPECT_EQ(Text("profiles.ini"), ListText({{"FromA", ListedFile(other, "FromA")},
                                              {"FromB", ListedFile(other, "FromB")}},
                                             0));

    // Random commands from both windows against one model of profiles.ini.
    std::vector<Entry> model = {{"FromA", ListedFile(other, "FromA")},
                                {"FromB", ListedFile(other, "FromB")}};
    int32_t default_profile = 0;
    std::set<std::string> ever_listed{"profiles.ini", model[0].file, model[1].file};
    std::mt19937 random(13);
    const Strings names{"a", "B", "b", "Web", "x y", "", "FromA"};
    answer = MessageAnswer::Yes;
    for (int step = 0; step < 150; ++step) {
        messages.clear();
        CTarvoDlg& w = random() % 2 ? static_cast<CTarvoDlg&>(dlg) : other;
        const std::string name = names[random() % names.size()];
        const auto at = std::find_if(model.begin(), model.end(), [&](const Entry& e) {
            return EqualIgnoringAsciiCase(e.name.c_str(), name.c_str());
        });
        const int found = at != model.end() ? int(at - model.begin()) : -1;
        const unsigned command = random() % 3;
        Strings said;
        if (command == 0) {
            SaveIn(w, name, int(random() % 9));
            if (found < 0) {
                model.push_back({name, ListedFile(w, name)});
                ever_listed.insert(model.back().file);
            }
        } else if (command == 1) {
            w.SetDlgItemText(IDC_PROFILE_NAME, name);
            w.OnSetDefault();
            default_profile = found >= 0 ? found : default_profile;
        } else {
            w.SetDlgItemText(IDC_PROFILE_NAME, name);
            w.OnDelete();
            said.push_back(Question(name));
            if (found >= 0) {
                default_profile = found == default_profile  ? 0
                                  : found < default_profile ? default_profile - 1
                                                            : default_profile;
                model.erase(model.begin() + found);
                said.push_back(kDeletedReport);
            }
        }
        ASSERT_EQ(Texts(), said) << step;
        ASSERT_EQ(Text("profiles.ini"), ListText(model, default_profile)) << step;
        Strings listed;
        std::set<std::string> files;
        for (const Entry& e : model) {
            listed.push_back(e.name);
            ASSERT_TRUE(files.insert(e.file).second) << "a file listed twice: " << e.file;
        }
        std::sort(listed.begin(), listed.end(), [](const auto& x, const auto& y) {
            return QString::compare(QString::fromStdString(x), QString::fromStdString(y),
                                    Qt::CaseInsensitive) < 0;
        });
        ASSERT_EQ(Items(w), listed) << step;
        // Every file on the disk is profiles.ini or a profile's, listed now or deleted.
        for (const auto& [file, bytes] : OnDisk()) {
            ASSERT_EQ(ever_listed.count(file), 1u) << file;
            ASSERT_FALSE(bytes.empty()) << file;
        }
        ASSERT_EQ(m_memory->LocksHeld(), 0);
    }
    EXPECT_GT(model.size(), 2u);
}

TEST_F(ProfileCommandsInMemory, ProfilesLiveInTheChosenFolderUnderTheirBareNames) {
    m_disk.AddFolder("store");
    dlg.SetProfileFolder(ProfileFolder{&m_disk, "store"});
    Open(dlg);
    messages.clear();
    SaveAs("Web", 3);
    const std::string file = FileOf("Web");
    EXPECT_EQ(file.find('/'), std::string::npos) << file;
    ProfileSettings saved;
    dlg.ControlsToSettings(saved);
    EXPECT_EQ(Text("store/profiles.ini"), ListText({{"Web", file}}, 0));
    EXPECT_EQ(Text("store/" + file), ProfileFileText(saved, file.c_str()));
    EXPECT_EQ(OnDisk().size(), 2u) << "nothing outside the folder";
    Settings(9);
    Click(IDC_LOAD);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "3");

    // Files that may not be written: reported, and left as they were.
    m_disk.SetReadOnly("store/" + file, true);
    SaveAs("Web", 5);
    EXPECT_EQ(Text("store/" + file), ProfileFileText(saved, file.c_str()));
    m_disk.SetReadOnly("store/profiles.ini", true);
    const Files before = OnDisk();
    SaveAs("New", 5);
    Name("Web");
    Click(IDC_SET_DEFAULT);
    answer = MessageAnswer::Yes;
    Click(IDC_DELETE);
    EXPECT_EQ(OnDisk(), before) << "no claimed file left behind";
    EXPECT_EQ(Items(dlg), Strings{"Web"});
    EXPECT_EQ(Texts(),
              (Strings{"Error saving profile !", "Error saving profile !", "Error saving profile !",
                       Question("Web"), "Error deleting profile !"}));
}

TEST_F(TwoWindows, AProfileSavedInOneWindowLoadsInTheOther) {
    Start();
    CTarvoDlg other;
    other.SetProfileFolder(ProfileFolder{m_memory, ""});
    Open(other);
    messages.clear();
    SaveIn(dlg, "FromA", 3);
    other.SetDlgItemInt(IDC_TAB_SIZE, 9, true);
    other.SetDlgItemText(IDC_PROFILE_NAME, "froma");
    other.OnLoad();
    EXPECT_TRUE(messages.empty()) << Texts()[0];
    EXPECT_EQ(other.GetDlgItemText(IDC_TAB_SIZE), "3");
    EXPECT_EQ(other.GetDlgItemText(IDC_PROFILE_NAME), "froma") << "the typed text stays";

    // The list shows a profile saved elsewhere as soon as it opens.
    SaveIn(dlg, "Second", 5);
    EXPECT_EQ(Items(other), Strings{"FromA"});
    auto* combo = static_cast<QComboBox*>(platform::ControlWidget(other, IDC_PROFILE_NAME));
    combo->showPopup();
    EXPECT_EQ(Items(other), (Strings{"FromA", "Second"}));
    combo->hidePopup();
    EXPECT_TRUE(messages.empty());
}
