// The profile commands of the dialog: the list of profiles at start, Load, Save, Set default
// and Delete. Built into the dialog's library: the profiles library itself stays free of the
// toolkit.

#include "app/tarvo_dlg.h"

#include "convert/memory.h"
#include "convert/profile_settings.h"
#include "profiles/profile_list_file.h"
#include "res/resource.h"

#include <cstdlib>
#include <cstring>
#include <memory>

using platform::MessageAnswer;
using platform::MessageStyle;

namespace {

struct FreeBlock {
    void operator()(char* p) const { std::free(p); }
};
using Block = std::unique_ptr<char, FreeBlock>;

constexpr const char* kDeletedReport = "Profile succesfully erased !\nIn case you needed it "
                                       "again, you can find it's .ini file and activate it "
                                       "manually.";

} // namespace

int CTarvoDlg::ReadProfileList() {
    ComboResetContent(IDC_PROFILE_NAME);
    const ProfileListRead read =
        ReadProfileListFile(kProfileListFileName, m_profileList, WhenMissing::Create);
    // Entries read before a failure stay listed, as in the list.
    for (int32_t i = 0; i < m_profileList.GetCount(); ++i) {
        ComboAddString(IDC_PROFILE_NAME, m_profileList.GetAt(i)->p_s_name);
    }
    m_bListWritable = read != ProfileListRead::ErrorInFile && read != ProfileListRead::OutOfMemory;
    if (read == ProfileListRead::ErrorInFile) {
        MessageBox("Error in main ini file !", kCaption, MessageStyle::Stop);
        return 0;
    }
    if (read == ProfileListRead::OutOfMemory) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
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
    if (!m_bListWritable) {
        return 0;
    }
    return WriteProfileListFile(kProfileListFileName, m_profileList);
}

void CTarvoDlg::OnLoad() {
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    const ProfileEntry* entry = m_profileList.GetAt(m_profileList.FindByName(name.c_str()));
    if (entry == nullptr) {
        MessageBox("Can't find profile !", kCaption, MessageStyle::Stop);
        return;
    }
    ProfileSettings settings;
    if (!settings.ReadProfileFile(entry->p_s_file_name)) {
        MessageBox("Error loading profile !", kCaption, MessageStyle::Stop);
        return;
    }
    SettingsToControls(settings);
}

void CTarvoDlg::OnSelEndOkProfile() {
    OnLoad();
}

void CTarvoDlg::OnSave() {
    ProfileSettings settings;
    ControlsToSettings(settings); // reports its own trouble; what it read is saved
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    int32_t index = m_profileList.FindByName(name.c_str());
    if (index < 0) {
        index = AddNewProfile(name);
        if (index < 0) {
            return;
        }
    }
    if (!settings.WriteProfileFile(m_profileList.GetAt(index)->p_s_file_name)) {
        MessageBox("Error saving profile !", kCaption, MessageStyle::Stop);
    }
}

int32_t CTarvoDlg::AddNewProfile(const std::string& name) {
    Block name_copy(tarvo::DuplicateString(name.c_str(), std::strlen(name.c_str())));
    if (!name_copy) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
        return -1;
    }
    char file_name[kProfileFileNameSize];
    if (!ChooseProfileFileName(m_profileList, m_fileNumbers, ProfileNumberSequence::kRange,
                               file_name)) {
        MessageBox("Error saving profile !", kCaption, MessageStyle::Stop);
        return -1;
    }
    Block file_copy(tarvo::DuplicateString(file_name, std::strlen(file_name)));
    if (!file_copy || !m_profileList.Add(name_copy.get(), file_copy.get())) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
        return -1;
    }
    name_copy.release(); // the list owns both now
    file_copy.release();
    const int32_t index = m_profileList.GetCount() - 1;
    const int item = ComboAddString(IDC_PROFILE_NAME, m_profileList.GetAt(index)->p_s_name);
    if (!WriteProfileList()) {
        // profiles.ini does not list the profile, so the next start would not know it: take it
        // back out, before any profile file is written for it.
        m_profileList.RemoveAt(index);
        ComboDeleteString(IDC_PROFILE_NAME, item);
        MessageBox("Error saving profile !", kCaption, MessageStyle::Stop);
        return -1;
    }
    return index;
}

void CTarvoDlg::OnSetDefault() {
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    const int32_t index = m_profileList.FindByName(name.c_str());
    if (index < 0) {
        return;
    }
    const int32_t previous = m_profileList.n_default_profile;
    m_profileList.n_default_profile = index;
    OnLoad(); // the new default is written whether it loads or not
    if (!WriteProfileList()) {
        m_profileList.n_default_profile = previous; // what profiles.ini still says
        MessageBox("Error saving profile !", kCaption, MessageStyle::Stop);
    }
}

void CTarvoDlg::OnDelete() {
    const std::string name = GetDlgItemText(IDC_PROFILE_NAME);
    const std::string question = "Do you really want to delete profile named '" + name + "' ?";
    if (MessageBox(question, kCaption, MessageStyle::Question) != MessageAnswer::Yes) {
        return;
    }
    const int32_t index = m_profileList.FindByName(name.c_str());
    if (index < 0) {
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
        MessageBox("Error deleting profile !", kCaption, MessageStyle::Stop);
        return;
    }
    if (!WriteProfileList()) {
        MessageBox("Error deleting profile !", kCaption, MessageStyle::Stop);
        ReadProfileList(); // the file still lists the profile; so does the dialog again
        return;
    }
    MessageBox(kDeletedReport, kCaption, MessageStyle::Information);
    ReadProfileList();
}
