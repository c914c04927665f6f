// The profile commands through the real dialog, each test in an empty directory of its own:
// what ends up on disk, in the profile box and in the controls.

#include "app/dialog_fixture.h"
#include "convert/format.h"
#include "profiles/memory_disk.h"
#include "profiles/profile_file.h"
#include "profiles/profile_file_name.h"
#include "profiles/profile_list_file.h"

#include <QAbstractItemView>
#include <QComboBox>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <random>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using platform::MessageAnswer;
using platform::MessageStyle;
using Files = std::map<std::string, std::string>;
using Strings = std::vector<std::string>;

const std::string kDefaultList = std::string(kProfileListHeading) +
                                 "\n//\n// here profile name/file settings are stored\n//\n\n"
                                 "n_profile_num = 0;\nn_default_profile = -1;\n\n// end of file";
const std::string kDeletedReport = "Profile succesfully erased !\nIn case you needed it again, "
                                   "you can find it's .ini file and activate it manually.";

std::string Question(const std::string& name) {
    return "Do you really want to delete profile named '" + name + "' ?";
}

struct Entry {
    std::string name;
    std::string file;
};

// profiles.ini as it must read for these entries.
std::string ListText(const std::vector<Entry>& entries, int32_t default_profile) {
    ProfileList list;
    for (const Entry& e : entries) {
        EXPECT_EQ(list.Add(tarvo::DuplicateString(e.name.data(), e.name.size()),
                           tarvo::DuplicateString(e.file.data(), e.file.size())),
                  1);
    }
    list.n_default_profile = default_profile;
    return ProfileListText(list);
}

Strings Items(const CTarvoDlg& d) {
    Strings items;
    for (int i = 0; i < d.ComboGetCount(IDC_PROFILE_NAME); ++i) {
        items.push_back(d.ComboGetItemText(IDC_PROFILE_NAME, i));
    }
    return items;
}

std::string Controls(CTarvoDlg& d) {
    ProfileSettings s;
    d.ControlsToSettings(s);
    return Fields(s);
}

class ProfileCommands : public DialogTest {
protected:
    // The files come first; Start() opens the dialog on them.
    void SetUp() override { InTempDir::SetUp(); }
    void Start() {
        if (m_memory != nullptr) {
            dlg.SetProfileFolder(ProfileFolder{m_memory, ""});
        }
        Open(dlg);
    }
    Disk& TheDisk() const { return m_memory != nullptr ? *m_memory : RealDisk(); }
    std::string Text(const std::string& path) const {
        return m_memory != nullptr ? m_memory->Text(path) : ReadWholeFile(path);
    }
    std::string InFile(const std::string& path) const {
        ProfileSettings s;
        return ReadProfileFile(TheDisk(), path.c_str(), s) ? Fields(s) : "unreadable";
    }

    // Every entry of the directory (or the memory disk) with its bytes.
    Files OnDisk() const {
        if (m_memory != nullptr) {
            return m_memory->Files();
        }
        Files files;
        for (const auto& e : std::filesystem::directory_iterator(m_dir)) {
            const std::string name = e.path().filename().string();
            files[name] = e.is_regular_file() ? ReadWholeFile(name) : "(not a file)";
        }
        return files;
    }
    std::string Shown() const { return dlg.GetDlgItemText(IDC_PROFILE_NAME); }
    void Name(const std::string& name) { dlg.SetDlgItemText(IDC_PROFILE_NAME, name); }
    // The built-in settings with a tab size of their own, so that profiles differ.
    void Settings(int tab_size) {
        dlg.OnCppDefaults();
        dlg.SetDlgItemInt(IDC_TAB_SIZE, tab_size, true);
    }
    void SaveAs(const std::string& name, int tab_size) {
        Settings(tab_size);
        Name(name);
        Click(IDC_SAVE);
    }
    std::string FileOf(const std::string& name) const {
        const ProfileList& list = dlg.GetProfileList();
        const ProfileEntry* e = list.GetAt(list.FindByName(name.c_str()));
        return e != nullptr ? e->p_s_file_name : "";
    }
    void Pick(const std::string& item) {
        auto* combo = static_cast<QComboBox*>(Widget(IDC_PROFILE_NAME));
        const Strings items = Items(dlg);
        const auto at = std::find(items.begin(), items.end(), item);
        ASSERT_NE(at, items.end()) << item;
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(int(at - items.begin()), 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
    }

    MemoryDisk* m_memory = nullptr; // null: the real disk, in the test's own directory
};

// The long command sequences run on a disk in memory.
class ProfileCommandsInMemory : public ProfileCommands {
protected:
    void SetUp() override {
        ProfileCommands::SetUp();
        m_memory = &m_disk;
    }
    MemoryDisk m_disk;
};

TEST_F(ProfileCommands, FirstStartCreatesTheListAndFindsNoProfile) {
    Start();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Can't find profile !");
    EXPECT_EQ(messages[0].caption, "Tarvo");
    EXPECT_EQ(messages[0].style, MessageStyle::Stop);
    EXPECT_EQ(OnDisk(), (Files{{"profiles.ini", kDefaultList}}));
    EXPECT_EQ(dlg.GetProfileList().n_default_profile, 0);
    EXPECT_TRUE(Items(dlg).empty());
    for (int id : {IDC_TAB_SIZE, IDC_KEYWORD_COLOR, IDC_TABLE_WIDTH, IDC_KEYWORD_LIST}) {
        EXPECT_EQ(dlg.GetDlgItemText(id), "") << id;
    }
    EXPECT_EQ(Controls(dlg), "0 0 0 0 0 0 0 0 0") << "toggles released, no keywords";
    EXPECT_EQ(dlg.GetCheck(IDC_W3C_CORRECT), 1);

    CTarvoDlg again; // the default list reads quietly
    Open(again);
    EXPECT_EQ(Texts(), (Strings{"Can't find profile !", "Can't find profile !"}));
    EXPECT_EQ(OnDisk(), (Files{{"profiles.ini", kDefaultList}}));
}

TEST_F(ProfileCommands, SaveTakesATypedNameAndRewritesOnlyTheFileOfAListedOne) {
    Start();
    messages.clear();
    Settings(4);
    dlg.SetItemFocus(IDC_PROFILE_NAME);
    QTest::keyClicks(QApplication::focusWidget(), "Web");
    Click(IDC_SAVE);
    const std::string web = FileOf("Web");
    EXPECT_EQ(web.rfind("profile_0000", 0), 0u) << web;
    // Written with the default index held since the start, 0.
    EXPECT_EQ(ReadWholeFile("profiles.ini"), ListText({{"Web", web}}, 0));
    EXPECT_EQ(InFile(web), Controls(dlg));
    EXPECT_EQ(OnDisk().size(), 2u);
    EXPECT_EQ(Items(dlg), Strings{"Web"});

    // The name in other case: that file alone changes, and the listed name keeps its case.
    Files before = OnDisk();
    SaveAs("WEB", 8);
    Files after = OnDisk();
    EXPECT_EQ(InFile(web), Controls(dlg));
    before.erase(web);
    after.erase(web);
    EXPECT_EQ(after, before);
    EXPECT_EQ(Items(dlg), Strings{"Web"});

    // A new name that begins a listed one is not completed to it; Enter adds nothing.
    dlg.SetItemFocus(IDC_PROFILE_NAME);
    Key(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "We");
    Key(Qt::Key_Return);
    EXPECT_EQ(Items(dlg), Strings{"Web"});
    Click(IDC_SAVE);
    EXPECT_EQ(ReadWholeFile("profiles.ini"), ListText({{"Web", web}, {"We", FileOf("We")}}, 0));
    EXPECT_EQ(Items(dlg), (Strings{"We", "Web"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ProfileCommands, LoadPickAndSetDefaultShowAProfile) {
    Start();
    SaveAs("Plain", 4);
    const std::string plain = Controls(dlg);
    SaveAs("Web", 8);
    const std::string web = Controls(dlg);
    messages.clear();
    const Files saved = OnDisk();

    Settings(2);
    Name("plain");
    Click(IDC_LOAD);
    EXPECT_EQ(Controls(dlg), plain);
    Pick("Web");
    EXPECT_EQ(Controls(dlg), web);
    EXPECT_EQ(OnDisk(), saved);

    Settings(2);
    Name("web");
    Click(IDC_SET_DEFAULT);
    EXPECT_EQ(Controls(dlg), web);
    EXPECT_EQ(ReadWholeFile("profiles.ini"),
              ListText({{"Plain", FileOf("Plain")}, {"Web", FileOf("Web")}}, 1));
    CTarvoDlg again;
    Open(again);
    EXPECT_EQ(again.GetDlgItemText(IDC_PROFILE_NAME), "Web");
    EXPECT_EQ(Controls(again), web);
    EXPECT_TRUE(messages.empty());

    // A profile file broken by hand, or gone: reported, the controls and the file kept; Set
    // default still writes the list.
    const char* broken[] = {"n_tab_size = 4.0;", "n_tab_size = ", ""};
    for (const char* text : broken) {
        WriteWholeFile(FileOf("Plain"), text);
        Pick("Plain");
        EXPECT_EQ(Controls(dlg), web) << text;
        EXPECT_EQ(ReadWholeFile(FileOf("Plain")), text);
    }
    std::filesystem::remove(FileOf("Plain"));
    Name("Plain");
    Click(IDC_SET_DEFAULT);
    EXPECT_EQ(Controls(dlg), web);
    EXPECT_EQ(ReadWholeFile("profiles.ini"),
              ListText({{"Plain", FileOf("Plain")}, {"Web", FileOf("Web")}}, 0));
    Name("nobody");
    Click(IDC_SET_DEFAULT); // nothing at all
    Click(IDC_LOAD);
    EXPECT_EQ(Texts(), (Strings{"Error loading profile !", "Error loading profile !",
                                "Error loading profile !", "Error loading profile !",
                                "Can't find profile !"}));
}

TEST_F(ProfileCommands, DeleteAsksListsTheRestAndKeepsTheDefaultOnItsProfile) {
    Start();
    std::vector<Entry> entries;
    for (const char* name : {"A", "B", "C", "D"}) {
        SaveAs(name, 1);
        entries.push_back({name, FileOf(name)});
    }
    Name("C");
    Click(IDC_SET_DEFAULT);
    Settings(7); // the controls keep this through every delete
    const std::string controls = Controls(dlg);
    const Files saved = OnDisk();
    messages.clear();

    answer = MessageAnswer::No;
    Name("B");
    Click(IDC_DELETE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, Question("B"));
    EXPECT_EQ(messages[0].style, MessageStyle::Question);
    EXPECT_EQ(OnDisk(), saved);

    struct Step {
        const char* name;
        std::vector<int> left; // indices into entries
        int32_t default_profile;
        const char* shown;
    };
    const Step steps[] = {
        {"b", {0, 2, 3}, 1, "C"}, // listed before the default
        {"C", {0, 3}, 0, "A"},    // the default: the first entry takes over
        {"D", {0}, 0, "A"},       // listed after it
        {"A", {}, 0, ""},         // the only one
        {"gone", {}, 0, "gone"},  // no such profile: nothing after the question
    };
    answer = MessageAnswer::Yes;
    for (const Step& step : steps) {
        messages.clear();
        Name(step.name);
        Click(IDC_DELETE);
        std::vector<Entry> left;
        Strings names;
        for (int i : step.left) {
            left.push_back(entries[std::size_t(i)]);
            names.push_back(entries[std::size_t(i)].name);
        }
        Files expected = saved; // every profile file stays
        expected["profiles.ini"] = ListText(left, step.default_profile);
        EXPECT_EQ(OnDisk(), expected) << step.name;
        EXPECT_EQ(Items(dlg), names);
        EXPECT_EQ(Shown(), step.shown);
        EXPECT_EQ(Controls(dlg), controls);
        if (std::string(step.name) == "gone") {
            EXPECT_EQ(Texts(), Strings{Question("gone")});
        } else {
            ASSERT_EQ(messages.size(), 2u) << step.name;
            EXPECT_EQ(messages[1].text, kDeletedReport);
            EXPECT_EQ(messages[1].style, MessageStyle::Information);
        }
    }
}

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
    EXPECT_EQ(dlg.GetProfileList().GetCapacity(), 100);
    EXPECT_EQ(Text("profiles.ini"), ListText(entries, 0));
    CTarvoDlg again;
    again.SetProfileFolder(ProfileFolder{m_memory, ""});
    Open(again);
    EXPECT_EQ(Items(again), names);
    EXPECT_EQ(again.GetDlgItemText(IDC_PROFILE_NAME), "p100");
}

TEST_F(ProfileCommands, TheDefaultIsSelectedByItsWholeName) {
    for (int tab : {1, 2}) {
        ProfileSettings s;
        s.n_tab_size = tab;
        ASSERT_EQ(s.WriteProfileFile(tab == 1 ? "abcd.ini" : "abc.ini"), 1);
    }
    WriteWholeFile("profiles.ini", ListText({{"Abcd", "abcd.ini"}, {"Abc", "abc.ini"}}, 1));
    Start();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Items(dlg), (Strings{"Abc", "Abcd"}));
    EXPECT_EQ(Shown(), "Abc");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "2");

    WriteWholeFile("profiles.ini", ListText({{"Abcd", "abcd.ini"}, {"Abc", "abc.ini"}}, -1));
    CTarvoDlg again;
    Open(again);
    EXPECT_EQ(again.GetDlgItemText(IDC_PROFILE_NAME), "") << "a default outside the list";
    EXPECT_EQ(Texts(), Strings{"Can't find profile !"});
}

TEST_F(ProfileCommands, AListThatCannotBeReadIsNeverOverwritten) {
    ProfileSettings a_settings;
    a_settings.n_tab_size = 3;
    ASSERT_EQ(a_settings.WriteProfileFile("a.ini"), 1);
    const std::string a = "p_profile_name[0].p_s_name = \"A\";\n"
                          "p_profile_name[0].p_s_file_name = \"a.ini\";\n";
    const std::string error = "Error in main ini file !";
    struct Case {
        const char* what;
        std::string text;
        Strings items;
        std::string message;
    };
    const Case cases[] = {
        {"empty", "", {}, error},
        {"syntax", "n_profile_num = ;", {}, error},
        {"entry missing", "n_profile_num = 2;\nn_default_profile = 0;\n" + a, {"A"}, error},
        {"no default", "n_profile_num = 1;\n" + a, {"A"}, error},
        {"directory", "", {}, error},
        {"memory", "n_profile_num = 1;\nn_default_profile = 0;\n" + a, {}, "Not enough memory"},
    };
    answer = MessageAnswer::Yes;
    for (const Case& c : cases) {
        std::filesystem::remove_all("profiles.ini");
        if (std::string(c.what) == "directory") {
            std::filesystem::create_directory("profiles.ini");
        } else {
            WriteWholeFile("profiles.ini", c.text);
        }
        const Files before = OnDisk();
        // Out of memory: the reader's own allocations come first, and running out there is an
        // error in the file; allow more until the list's first one fails.
        const bool memory = std::string(c.what) == "memory";
        std::unique_ptr<CTarvoDlg> dialog;
        for (long allowed = memory ? 0 : -1;; ++allowed) {
            messages.clear();
            dialog = std::make_unique<CTarvoDlg>();
            tarvo::InjectAllocationFailure(allowed);
            Open(*dialog);
            tarvo::InjectAllocationFailure(-1);
            if (!memory || messages.empty() || Texts().front() != error) {
                break;
            }
        }
        CTarvoDlg& d = *dialog;
        EXPECT_EQ(Texts(), (Strings{c.message, "Can't find profile !"})) << c.what;
        EXPECT_EQ(Items(d), c.items) << c.what;

        // Commands that would write the list refuse to, and change nothing.
        messages.clear();
        d.SetDlgItemText(IDC_PROFILE_NAME, "New");
        d.OnSave();
        d.SetDlgItemText(IDC_PROFILE_NAME, "A");
        d.OnSetDefault();
        d.OnDelete();
        EXPECT_EQ(d.GetDlgItemText(IDC_TAB_SIZE), c.items.empty() ? "" : "3") << c.what;
        EXPECT_EQ(Items(d), c.items) << c.what;
        EXPECT_EQ(OnDisk(), before) << c.what;
        const Strings said = c.items.empty()
                                 ? Strings{"Error saving profile !", Question("A")}
                                 : Strings{"Error saving profile !", "Error saving profile !",
                                           Question("A"), "Error deleting profile !", c.message};
        EXPECT_EQ(Texts(), said) << c.what;
    }
}

TEST_F(ProfileCommands, FailedListWritesAreReportedAndLeaveMemoryAsTheDiskIs) {
    Start();
    SaveAs("A", 1);
    SaveAs("B", 2);
    Name("B");
    Click(IDC_SET_DEFAULT);
    messages.clear();
    const Files before = OnDisk();
    {
        FileSizeLimit full(16);
        SaveAs("New", 3);
        EXPECT_EQ(Items(dlg), (Strings{"A", "B"}));
        EXPECT_EQ(Shown(), "New") << "the typed name stays";
        Name("A");
        Click(IDC_SET_DEFAULT);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "1") << "loaded all the same";
        EXPECT_EQ(dlg.GetProfileList().n_default_profile, 1);
        answer = MessageAnswer::Yes;
        Click(IDC_DELETE);
        EXPECT_EQ(Items(dlg), (Strings{"A", "B"}));
        EXPECT_EQ(Shown(), "B") << "read back from the file";
        EXPECT_EQ(OnDisk(), before);
    }
    EXPECT_EQ(Texts(), (Strings{"Error saving profile !", "Error saving profile !", Question("A"),
                                "Error deleting profile !"}));
    EXPECT_EQ(dlg.GetProfileList().GetCount(), 2);

    // Room for the list but not for the profile file: the profile stays listed, unreadable, its
    // claimed file empty.
    messages.clear();
    {
        FileSizeLimit nearly_full(1024);
        SaveAs("New", 3);
    }
    EXPECT_EQ(Items(dlg), (Strings{"A", "B", "New"}));
    EXPECT_EQ(OnDisk().at(FileOf("New")), "");
    Click(IDC_LOAD);
    EXPECT_EQ(Texts(), (Strings{"Error saving profile !", "Error loading profile !"}));
    SaveAs("New", 3);
    EXPECT_EQ(InFile(FileOf("New")), Controls(dlg)) << "saved once there is room";
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

        ASSERT_EQ(Text("profiles.ini"),
                  written ? ListText(model, default_profile) : kDefaultList)
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

} // namespace

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
        const ProfileEntry* e = w.GetProfileList().GetAt(w.GetProfileList().FindByName(name.c_str()));
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
    EXPECT_EQ(Texts(), (Strings{"Error saving profile !", "Error saving profile !",
                                "Error saving profile !", Question("Web"),
                                "Error deleting profile !"}));
}

TEST_F(ProfileCommands, ALinkedListFileStaysALink) {
    std::filesystem::create_directory("shared");
    std::filesystem::create_symlink("shared/profiles.ini", "profiles.ini");
    Start(); // the dangling link creates the file it names
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status("profiles.ini")));
    EXPECT_EQ(ReadWholeFile("shared/profiles.ini"), kDefaultList);
    SaveAs("Web", 4);
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status("profiles.ini")));
    EXPECT_EQ(ReadWholeFile("shared/profiles.ini"), ListText({{"Web", FileOf("Web")}}, 0));
}
