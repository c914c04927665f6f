// The profile commands of the dialog: the list of profiles at start, Load, Save, Set default
// and Delete. Built into the dialog's library: the profiles library itself stays free of the
// toolkit.

#include "app/tarvo_dlg.h"

#include "base/memory.h"
#include "profiles/profile_file.h"
#include "profiles/profile_list_file.h"
#include "profiles/theme_files.h"
#include "res/resource.h"
#include "settings/profile_settings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using platform::MessageAnswer;
using platform::MessageStyle;

namespace {

// Whether a load's problem is with a value that the Colours dialog shows.
bool IsColoursDialogs(const std::string& problem) {
    static constexpr const char* kKeys[] = {"b_line_numbers", "n_first_line", "p_s_marked_lines",
                                            "n_mark_color"};
    const auto named = [&](const char* key) {
        return problem.rfind(std::string(key) + ":", 0) == 0;
    };
    return std::any_of(std::begin(kKeys), std::end(kKeys), named) ||
           std::any_of(std::begin(kClassColourFields), std::end(kClassColourFields),
                       [&](const ClassColourField& c) { return named(c.key); });
}

// What stands in the way of the themes that `settings` names, a line each after a line break;
// "" when both can be used.
std::string ThemeProblems(const ProfileFolder& folder, const ProfileSettings& settings) {
    std::string text;
    for (const char* name : {settings.p_s_theme, settings.p_s_dark_theme}) {
        Theme theme;
        std::string problems;
        if (*name != '\0' && FindTheme(folder, name, theme, problems) != ThemeFileRead::Ok) {
            while (!problems.empty() && problems.back() == '\n') {
                problems.pop_back();
            }
            text.append("\n").append(problems.empty() ? "Not enough memory" : problems.c_str());
        }
    }
    return text;
}

using tarvo::Block;

constexpr const char* kNoMemory = "Not enough memory";
constexpr const char* kSaveError = "Error saving profile !";
constexpr const char* kDeleteError = "Error deleting profile !";

// "succesfully" and "it's" as users have always read them: the report stays as it is.
constexpr const char* kDeletedReport = "Profile succesfully erased !\nIn case you needed it "
                                       "again, you can find it's .ini file and activate it "
                                       "manually.";

} // namespace

void CTarvoDlg::SetProfileFolder(ProfileFolder folder) {
    m_profile_folder = std::move(folder);
}

std::string CTarvoDlg::ProfileListPath() const {
    return m_profile_folder.PathOf(kProfileListFileName);
}

int CTarvoDlg::ReadProfileList() {
    return ReadProfileListFrom(WhenMissing::Create);
}

int CTarvoDlg::ReadProfileListFrom(WhenMissing missing) {
    ComboResetContent(IDC_PROFILE_NAME);
    const ProfileListRead read = ReadProfileListFile(
        *m_profile_folder.disk, ProfileListPath().c_str(), m_profileList, missing, &m_list_stamp);
    // Entries read before a failure stay listed, as in the list.
    for (int32_t i = 0; i < m_profileList.GetCount(); ++i) {
        ComboAddString(IDC_PROFILE_NAME, m_profileList.GetAt(i)->p_s_name);
    }
    m_list_writable = read != ProfileListRead::ErrorInFile && read != ProfileListRead::OutOfMemory;
    if (read == ProfileListRead::ErrorInFile) {
        Report("Error in main ini file !");
        return 0;
    }
    if (read == ProfileListRead::OutOfMemory) {
        Report(kNoMemory);
        return 0;
    }
    SelectDefaultProfile();
    return 1;
}

void CTarvoDlg::SelectDefaultProfile() {
    const ProfileEntry* entry = m_profileList.GetAt(m_profileList.n_default_profile);
    if (entry == nullptr) {
        return;
    }
    // Exact text: a search by prefix would pick "Abcd" for the default "Abc".
    for (int i = 0; i < ComboGetCount(IDC_PROFILE_NAME); ++i) {
        if (ComboGetItemText(IDC_PROFILE_NAME, i) == entry->p_s_name) {
            ComboSetCurSel(IDC_PROFILE_NAME, i);
            return;
        }
    }
}

int CTarvoDlg::WriteProfileList() {
    if (!m_list_writable) {
        return 0;
    }
    const std::string path = ProfileListPath();
    if (!WriteProfileListFile(*m_profile_folder.disk, path.c_str(), m_profileList)) {
        return 0;
    }
    m_list_stamp = m_profile_folder.disk->Stamp(path.c_str());
    return 1;
}

void CTarvoDlg::Report(const char* text) {
    if (m_hold_reports) {
        m_held_reports.emplace_back(text);
    } else {
        MessageBox(text, kCaption, MessageStyle::Stop);
    }
}

bool CTarvoDlg::BeginListChange(FolderLock& lock) {
    if (!lock.Take(*m_profile_folder.disk, m_profile_folder.path.c_str())) {
        return false;
    }
    // No message box while the lock is held: the other windows would wait for the user.
    m_hold_reports = true;
    if (m_profile_folder.disk->Stamp(ProfileListPath().c_str()) == m_list_stamp) {
        return true;
    }
    // Another window wrote profiles.ini since: this command's change goes into what it wrote.
    RefreshProfileList();
    return true;
}

void CTarvoDlg::RefreshProfileList() {
    if (m_profile_folder.disk->Stamp(ProfileListPath().c_str()) == m_list_stamp) {
        return;
    }
    const std::string shown = GetDlgItemText(IDC_PROFILE_NAME);
    ReadProfileListFrom(WhenMissing::Leave);
    SetDlgItemText(IDC_PROFILE_NAME, shown);
}

void CTarvoDlg::OnDropDownProfile() {
    RefreshProfileList();
}

void CTarvoDlg::EndListChange(FolderLock& lock) {
    lock.Release();
    m_hold_reports = false;
    std::vector<std::string> reports;
    reports.swap(m_held_reports);
    for (const std::string& text : reports) {
        MessageBox(text, kCaption, MessageStyle::Stop);
    }
}

void CTarvoDlg::OnLoad() {
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    RefreshProfileList(); // a profile saved by another window is found too
    const ProfileEntry* entry = m_profileList.GetAt(m_profileList.FindByName(name.c_str()));
    if (entry == nullptr) {
        MessageBox("Can't find profile !", kCaption, MessageStyle::Stop);
        return;
    }
    ProfileSettings settings;
    const std::string path = m_profile_folder.PathOf(entry->p_s_file_name);
    std::vector<std::string> problems;
    if (!ReadProfileFile(*m_profile_folder.disk, path.c_str(), settings, &problems)) {
        MessageBox("Error loading profile !", kCaption, MessageStyle::Stop);
        return;
    }
    SettingsToControls(settings);
    // A theme that is not there: Go uses the profile's own colours, and the Colours dialog's list
    // keeps the name until the user picks another.
    const std::string theme_problems = ThemeProblems(m_profile_folder, settings);
    if (!problems.empty() || !theme_problems.empty()) {
        // Kept as read, so that a save keeps them; named, and shown where they are put right.
        std::string text = "The profile holds values that cannot be used:";
        for (const std::string& problem : problems) {
            text += "\n" + problem;
        }
        text += theme_problems;
        MessageBox(text, kCaption, MessageStyle::Stop);
        // Under the boxes, the first that the Colours dialog puts right.
        const auto theirs = std::find_if(problems.begin(), problems.end(), IsColoursDialogs);
        ShowColours(theirs != problems.end() ? *theirs
                    : problems.empty()       ? std::string()
                                             : problems.front());
    }
}

void CTarvoDlg::OnSelEndOkProfile() {
    OnLoad();
}

void CTarvoDlg::OnSave() {
    ProfileSettings settings;
    ControlsToSettings(settings); // reports its own trouble; what it read is saved
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    std::string file_name;
    FolderLock lock;
    if (!BeginListChange(lock)) {
        MessageBox(kSaveError, kCaption, MessageStyle::Stop);
        return;
    }
    int32_t index = m_profileList.FindByName(name.c_str());
    if (index < 0) {
        index = AddNewProfile(name);
    }
    if (index >= 0) {
        file_name = m_profileList.GetAt(index)->p_s_file_name;
    }
    EndListChange(lock);
    if (index < 0) {
        return;
    }
    const std::string path = m_profile_folder.PathOf(file_name.c_str());
    if (!WriteProfileFile(*m_profile_folder.disk, path.c_str(), file_name.c_str(), settings)) {
        MessageBox(kSaveError, kCaption, MessageStyle::Stop);
        return;
    }
    // A sign that it happened, which needs no answer.
    ShowStatus("Saved profile '" + name + "'", kStatusMilliseconds);
}

int32_t CTarvoDlg::AddNewProfile(const std::string& name) {
    Block name_copy(tarvo::DuplicateString(name.c_str(), std::strlen(name.c_str())));
    Block file_copy(name_copy ? static_cast<char*>(tarvo::TryAllocate(kProfileFileNameSize))
                              : nullptr);
    if (!file_copy) {
        Report(kNoMemory);
        return -1;
    }
    if (!m_list_writable) {
        Report(kSaveError); // the new entry could not be written into profiles.ini
        return -1;
    }
    // Claimed on disk under the folder's lock: no other window can take the same name.
    char file_name[kProfileFileNameSize];
    if (!ClaimProfileFileName(m_profileList, m_file_numbers, ProfileNumberSequence::kRange,
                              m_profile_folder, file_name)) {
        Report(kSaveError);
        return -1;
    }
    const std::string path = m_profile_folder.PathOf(file_name);
    std::memcpy(file_copy.get(), file_name, sizeof file_name);
    if (!m_profileList.Add(name_copy.get(), file_copy.get())) {
        m_profile_folder.disk->Remove(path.c_str());
        Report(kNoMemory);
        return -1;
    }
    name_copy.release(); // the list owns both now
    file_copy.release();
    const int32_t index = m_profileList.GetCount() - 1;
    const int item = ComboAddString(IDC_PROFILE_NAME, m_profileList.GetAt(index)->p_s_name);
    if (!WriteProfileList()) {
        // profiles.ini does not list the profile, so the next start would not know it: take it
        // back out, and give back the file name that was claimed for it.
        m_profileList.RemoveAt(index);
        ComboDeleteString(IDC_PROFILE_NAME, item);
        m_profile_folder.disk->Remove(path.c_str());
        Report(kSaveError);
        return -1;
    }
    return index;
}

void CTarvoDlg::OnSetDefault() {
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    FolderLock lock;
    if (!BeginListChange(lock)) {
        MessageBox(kSaveError, kCaption, MessageStyle::Stop);
        return;
    }
    const int32_t index = m_profileList.FindByName(name.c_str());
    bool written = true;
    if (index >= 0) {
        const int32_t previous = m_profileList.n_default_profile;
        m_profileList.n_default_profile = index;
        written = WriteProfileList() != 0;
        if (!written) {
            m_profileList.n_default_profile = previous; // what profiles.ini still says
        }
    }
    EndListChange(lock);
    if (index < 0) {
        return;
    }
    OnLoad(); // the new default is written whether it loads or not
    if (!written) {
        MessageBox(kSaveError, kCaption, MessageStyle::Stop);
    }
}

void CTarvoDlg::OnDelete() {
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    const std::string question = "Do you really want to delete profile named '" + name + "' ?";
    if (MessageBox(question, kCaption, MessageStyle::Question) != MessageAnswer::Yes) {
        return;
    }
    FolderLock lock;
    if (!BeginListChange(lock)) {
        MessageBox(kDeleteError, kCaption, MessageStyle::Stop);
        return;
    }
    const int32_t index = m_profileList.FindByName(name.c_str());
    if (index < 0) {
        EndListChange(lock);
        return;
    }
    // The default stays on the same profile; when it is the one deleted, the first entry
    // takes its place.
    int32_t& default_profile = m_profileList.n_default_profile;
    if (index == default_profile) {
        default_profile = 0;
    } else if (index < default_profile) {
        --default_profile;
    }
    if (!m_profileList.RemoveAt(index)) {
        EndListChange(lock);
        MessageBox(kDeleteError, kCaption, MessageStyle::Stop);
        return;
    }
    const bool written = WriteProfileList() != 0;
    EndListChange(lock);
    if (!written) {
        MessageBox(kDeleteError, kCaption, MessageStyle::Stop);
        ReadProfileList(); // the file still lists the profile; so does the dialog again
        return;
    }
    MessageBox(kDeletedReport, kCaption, MessageStyle::Information);
    ReadProfileList();
}
