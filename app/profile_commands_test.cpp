// The profile commands on the real disk.

#include "app/first_profile.h"
#include "app/profile_commands_fixture.h"
#include "profiles/profile_file.h"
#include "profiles/profile_folder.h"
#include "render/converter.h"

#include <cstdlib>

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
    EXPECT_EQ(Controls(dlg), "0 0 0 0 0 0 0 0 0 -1 -1 -1 -1")
        << "toggles released, no keywords, classes off";
    EXPECT_EQ(dlg.GetCheck(IDC_W3C_CORRECT), 1);

    CTarvoDlg again; // the default list reads quietly
    Open(again);
    EXPECT_EQ(Texts(), (Strings{"Can't find profile !", "Can't find profile !"}));
    EXPECT_EQ(OnDisk(), (Files{{"profiles.ini", kDefaultList}}));
}

// A profile folder named on the command line starts with a working profile that shows the code
// as a current editor would; "C++ defaults" keeps the built-in settings.
TEST_F(ProfileCommands, ANewFolderOfTheUsersGetsTheFirstProfileAsCxx) {
    dlg.SeedNewProfileFolder(true);
    Start();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "4");
    EXPECT_EQ(Shown(), "C++");
    const std::string file = FileOf("C++");
    EXPECT_EQ(ReadWholeFile("profiles.ini"), ListText({{"C++", file}}, 0));
    ProfileSettings first;
    ASSERT_TRUE(SetFirstProfileSettings(first));
    EXPECT_EQ(InFile(file), Fields(first));
    // Go converts as those settings do.
    const std::string source = "#include <x>\r\n\tint main() { return 0; } // done\r\n";
    std::string html;
    ProfileSettings sorted; // the conversion sorts its keywords
    ASSERT_TRUE(SetFirstProfileSettings(sorted));
    ASSERT_EQ(ConvertSource(sorted, source, 1, html), 1);
    dlg.SetDlgItemText(IDC_SOURCE, source);
    Click(IDC_GO);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), html);
    ProfileSettings builtin;
    ASSERT_TRUE(SetCppDefaults(builtin));
    Click(IDC_CPP_DEFAULTS);
    EXPECT_EQ(Controls(dlg), Fields(builtin));

    // The next start loads it and adds nothing; a folder whose list exists is left as it is.
    const Files files = OnDisk();
    CTarvoDlg again;
    again.SeedNewProfileFolder(true);
    again.OnCppDefaults();
    Open(again);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(again.GetDlgItemText(IDC_PROFILE_NAME), "C++");
    EXPECT_EQ(Controls(again), Fields(first));
    EXPECT_EQ(OnDisk(), files);
    std::filesystem::remove(file);
    CTarvoDlg broken;
    broken.SeedNewProfileFolder(true);
    Open(broken);
    EXPECT_EQ(Texts(), Strings{"Error loading profile !"});
    EXPECT_EQ(OnDisk().size(), 1u);
}

// The desktop's first start, in an empty configuration folder: the first Go marks the words of
// current C++.
TEST_F(ProfileCommands, AFirstStartInAnEmptyConfigFolderMarksCurrentCpp) {
    const std::string config = (m_dir / "config").string();
    std::filesystem::create_directory(config);
    const std::string kept = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::string folder;
    std::string error;
    EXPECT_TRUE(ResolveProfileFolder(nullptr, true, folder, error)) << error;
    kept.empty() ? ::unsetenv("XDG_CONFIG_HOME") : ::setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
    dlg.SetProfileFolder(ProfileFolder{&RealDisk(), folder});
    dlg.SeedNewProfileFolder(true);
    Start();
    dlg.SetDlgItemText(IDC_SOURCE, "namespace a { constexpr bool b = nullptr; }");
    Click(IDC_GO);
    const std::string html = dlg.GetDlgItemText(IDC_SOURCE);
    for (const std::string word : {"namespace ", "constexpr ", "bool ", "nullptr"}) {
        EXPECT_NE(html.find("<code class=\"cpp_keyword\">" + word), std::string::npos) << word;
    }
    EXPECT_TRUE(messages.empty());
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
    // Each save is said in the status line for a moment, never in a message box.
    EXPECT_EQ(Status(), "Saved profile 'We'");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Status().empty(); }, 30000));
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

TEST_F(ProfileCommands, TheDefaultIsSelectedByItsWholeName) {
    for (int tab : {1, 2}) {
        ProfileSettings s;
        s.n_tab_size = tab;
        ASSERT_EQ(WriteProfileFile(tab == 1 ? "abcd.ini" : "abc.ini", s), 1);
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
    ASSERT_EQ(WriteProfileFile("a.ini", a_settings), 1);
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
    EXPECT_NE(Status(), "Saved profile 'New'") << "no sign of a save that failed";
    Click(IDC_LOAD);
    EXPECT_EQ(Texts(), (Strings{"Error saving profile !", "Error loading profile !"}));
    SaveAs("New", 3);
    EXPECT_EQ(InFile(FileOf("New")), Controls(dlg)) << "saved once there is room";
    EXPECT_EQ(Status(), "Saved profile 'New'");
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
