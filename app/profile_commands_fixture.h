#pragma once
// The profile commands through the real dialog, each test in an empty directory of its own or on
// a disk in memory: what ends up on disk, in the profile box and in the controls.

#include "app/dialog_fixture.h"
#include "base/format.h"
#include "files/memory_disk.h"
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

} // namespace
