#pragma once
// Tarvo's one window: the settings controls, the profile buttons, Go and View CSS, and the big
// box that holds the source and then its HTML.

#include "app/line_number_section.h"
#include "files/disk.h"
#include "files/temp_files.h"
#include "platform/dialog.h"
#include "platform/temp_folder.h"
#include "profiles/profile_file_name.h"
#include "profiles/profile_folder.h"
#include "profiles/profile_list.h"
#include "profiles/profile_list_file.h"
#include "settings/profile_settings.h"
#include "style/style_record.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
struct IconResource;
}

// A conversion as the commands that hand the result on use it.
struct Conversion {
    std::string source; // the source text, CR LF
    std::string html;   // ConvertSource's result for it
    int b_css = 0;
    ProfileSettings settings; // what it was made with
    StyleRecord style;        // its looks: the settings' in the profile's theme
    StyleRecord dark;         // the profile's dark theme's, when `dual`
    bool dual = false;
};

class CTarvoDlg : public platform::Dialog {
public:
    CTarvoDlg();

    // Where profiles.ini and the profile files live; the current directory on the real disk
    // unless this is called before the dialog is created.
    void SetProfileFolder(ProfileFolder folder);
    // With `seed`, a profile folder without profiles.ini at start gets one holding the profile
    // kSeedProfileName with the first profile's settings (SetFirstProfileSettings), saved as Save
    // does and made the default, so that the first window shows working settings. Call before the
    // dialog is created.
    void SeedNewProfileFolder(bool seed) { m_seed_new_folder = seed; }
    static constexpr const char* kSeedProfileName = "C++";

    // The settings controls into a record, and a record into the controls.
    void ControlsToSettings(ProfileSettings& settings);
    void SettingsToControls(const ProfileSettings& settings);

    // Command handlers.
    void OnCppDefaults();
    void OnGo();
    void OnViewCss();
    void OnLoad();
    void OnSave();
    void OnSetDefault();
    void OnDelete();
    void OnSelEndOkProfile();
    // The profile box's list is about to open: it shows what profiles.ini lists now.
    void OnDropDownProfile();
    // The source box's tabs stand as wide as Go will make them.
    void OnTabSizeChanged();

    // Context menu commands, which hand the result on and bring text in.
    void OnCopyRichText();
    void OnPreviewInBrowser();
    void OnSaveHtmlPage();
    void OnOpenSourceFile();
    // The "Colours" dialog for the optional classes; OK keeps its choices for the next
    // ControlsToSettings.
    void OnColours();
    // The Colours dialog, which opens with `problem` (when not empty) named under its boxes.
    void ShowColours(const std::string& problem);
    // The colour picker for colour box `id`; its choice replaces the box's text.
    void PickColour(int id);
    // Replaces the keyword box's text with keyword set `index` of TarvoKeywordSets().
    void OnInsertKeywords(std::size_t index);
    // The text of the file at `path` into the source box, as if pasted; a file that is not text
    // is refused with a message.
    void LoadSourceFile(const std::string& path);

    // profiles.ini into the list and the profile box, with the default selected; creates the
    // file when there is none. Returns 1, or 0 after an error that it reported. Takes no lock:
    // every write renames a whole new file into place.
    int ReadProfileList();
    // The list into profiles.ini, whole. Returns 0, showing nothing, when the file could not be
    // written or must not be: after a failed read the list lacks entries that the file holds.
    int WriteProfileList();
    const ProfileList& GetProfileList() const { return m_profileList; }

    // How long Go's keyword scan must have run before the box shows the escaped text: a quicker
    // scan's result replaces it before it could be seen, and filling the box costs more than the
    // scan. A quarter second unless set (tests set 0 to see it every time).
    void SetEscapedTextDelay(std::chrono::milliseconds delay) { m_escaped_delay = delay; }

    // Every message box of the program has this caption.
    static constexpr const char* kCaption = "Tarvo";
    // How long a note stays in the status line.
    static constexpr int kStatusMilliseconds = 4000;

protected:
    bool OnInitDialog() override;
    void OnPaint() override;
    void OnOK() override;
    bool OnCommand(int id, platform::Notification code) override;
    void OnDropFiles(int id, const std::vector<std::string>& paths) override;

private:
    // Writes a colour as six upper-case hexadecimal digits; false when memory ran out.
    bool ColourToControl(int id, uint32_t colour);
    // Reads a colour box; leaves `colour` as it was when the box holds no hexadecimal number.
    void ControlToColour(int id, uint32_t& colour) const;
    // The first profile of a new profile folder, saved and made the default.
    void SeedFirstProfile();
    // Selects the item whose text is the default entry's name, exactly; none when there is none.
    void SelectDefaultProfile();
    // Lists `name` as a new profile with a newly claimed file name, in the list, the profile box
    // and profiles.ini. Returns its index, or -1 after a reported failure, everything as it was.
    int32_t AddNewProfile(const std::string& name);
    // Converts the source box's text with the controls' settings and style, as Go does: wait
    // cursor, progress bar, notices. With `show`, the escaped text and then the result go into
    // the box. Returns 1, or 0 when memory ran out (nothing reported yet).
    int ConvertBox(Conversion& conversion, bool show);
    // The looks of `settings` in the themes it names (built in, or in the profile folder's
    // themes); a theme that is not there leaves the profile's own colours. 0 when memory ran out.
    int LooksOf(const ProfileSettings& settings, StyleRecord& style, StyleRecord& dark,
                bool& dual) const;
    // The conversion that the source box stands for: Go's, while the box still shows its result;
    // else the box's text converted as Go would, the box left as it is. Null when memory ran out,
    // which it reported.
    std::shared_ptr<const Conversion> ConversionOfBox();

    // Every change of profiles.ini (Save of a new name, Set default, Delete) happens between
    // these two, under the profile folder's lock. Begin takes the lock and, when profiles.ini is
    // no longer the version this dialog last read or wrote, reads it again into the list and the
    // profile box, keeping the box's text. False when the lock cannot be had. Messages raised
    // meanwhile wait for End, which releases the lock.
    bool BeginListChange(FolderLock& lock);
    void EndListChange(FolderLock& lock);
    int ReadProfileListFrom(WhenMissing missing);
    // Reads profiles.ini again into the list and the profile box, keeping the box's text, when it
    // is no longer the version this dialog last read or wrote: another window may have saved a
    // profile since.
    void RefreshProfileList();
    // A stop message, shown now or, while the lock is held, at EndListChange.
    void Report(const char* text);
    std::string ProfileListPath() const;

    const platform::IconResource* m_hIcon; // shared resource, never freed
    int32_t m_bFocusSource = 0;            // set until the first paint moved the focus
    ProfileList m_profileList;
    ProfileNumberSequence m_file_numbers; // numbers for new profile files' names
    bool m_list_writable = true;          // false while the list lacks what profiles.ini holds
    ProfileFolder m_profile_folder;
    bool m_seed_new_folder = false;
    FileStamp m_list_stamp; // the version of profiles.ini that the list reflects
    bool m_hold_reports = false;
    std::vector<std::string> m_held_reports;
    std::shared_ptr<const Conversion> m_last_go; // the last Go's, null before any
    platform::TempFolder m_preview_folder;       // preview pages, gone with the dialog
    SignalRemovedPath m_preview_guard;           // ... and with a signal that ends the program
    std::string m_source_path;                   // the file last opened into the source box
    // The optional classes' colours (kClassColourFields order), which template 102 has no
    // controls for: the Colours dialog shows them, the transfer moves them like a control.
    std::array<int32_t, kClassCount> m_class_colours = [] {
        std::array<int32_t, kClassCount> off;
        off.fill(kClassOff);
        return off;
    }();
    // The line-number settings, which template 102 has no controls for either: the Colours
    // dialog shows them, the transfer moves them like a control.
    LineNumberSettings m_line_numbers;
    // The profile's theme names, which no control shows: kept from a load to the next save.
    char m_theme[kThemeNameField + 1] = {};
    char m_dark_theme[kThemeNameField + 1] = {};
    std::chrono::milliseconds m_escaped_delay{250};
};
