#include "app/tarvo_dlg.h"

#include "app/first_profile.h"
#include "base/colour.h"
#include "res/keyword_sets.h"
#include "res/resource.h"

#include <algorithm>
#include <utility>

using platform::Notification;

CTarvoDlg::CTarvoDlg() : Dialog(TarvoDialogTemplate()), m_hIcon(&TarvoIcon()) {}

namespace {

struct CommandEntry {
    int id;
    Notification code;
    void (CTarvoDlg::*handler)();
};

// Which handler runs for which control's notification.
constexpr CommandEntry kCommandMap[] = {
    {IDC_LOAD, Notification::Clicked, &CTarvoDlg::OnLoad},
    {IDC_CPP_DEFAULTS, Notification::Clicked, &CTarvoDlg::OnCppDefaults},
    {IDC_SAVE, Notification::Clicked, &CTarvoDlg::OnSave},
    {IDC_SET_DEFAULT, Notification::Clicked, &CTarvoDlg::OnSetDefault},
    {IDC_GO, Notification::Clicked, &CTarvoDlg::OnGo},
    {IDC_PROFILE_NAME, Notification::SelEndOk, &CTarvoDlg::OnSelEndOkProfile},
    {IDC_PROFILE_NAME, Notification::DropDown, &CTarvoDlg::OnDropDownProfile},
    {IDC_DELETE, Notification::Clicked, &CTarvoDlg::OnDelete},
    {IDC_VIEW_CSS, Notification::Clicked, &CTarvoDlg::OnViewCss},
    {IDC_TAB_SIZE, Notification::Changed, &CTarvoDlg::OnTabSizeChanged},
    {ID_COPY_RICH_TEXT, Notification::Menu, &CTarvoDlg::OnCopyRichText},
    {ID_PREVIEW_IN_BROWSER, Notification::Menu, &CTarvoDlg::OnPreviewInBrowser},
    {ID_SAVE_HTML_PAGE, Notification::Menu, &CTarvoDlg::OnSaveHtmlPage},
    {ID_OPEN_SOURCE_FILE, Notification::Menu, &CTarvoDlg::OnOpenSourceFile},
    {ID_COLOURS, Notification::Menu, &CTarvoDlg::OnColours},
};

// The colour boxes with a swatch and a picker, and their menus' picker entries.
constexpr std::pair<int, int> kPickedColours[] = {{IDC_KEYWORD_COLOR, ID_PICK_KEYWORD_COLOR},
                                                  {IDC_COMMENT_COLOR, ID_PICK_COMMENT_COLOR}};

// The source box's font: the whole cell 14 pixels high.
constexpr platform::FontSpec kSourceFont{"Courier", 14, true};

// Where Go keeps tabs, a browser shows them this wide; the source box does so too while the tab
// size box holds no number.
constexpr int kKeptTabColumns = 8;
constexpr int32_t kMaxTabSize = 255; // Go's limit

} // namespace

bool CTarvoDlg::OnCommand(int id, Notification code) {
    for (const CommandEntry& entry : kCommandMap) {
        if (entry.id == id && entry.code == code) {
            (this->*entry.handler)();
            return true;
        }
    }
    // The keyword and comment colours show a swatch that opens the picker, as their menus do.
    for (const auto& [box, pick] : kPickedColours) {
        if ((id == box && code == Notification::Clicked) ||
            (id == pick && code == Notification::Menu)) {
            PickColour(box);
            return true;
        }
        if (id == box && code == Notification::Changed) {
            int64_t colour = 0;
            const bool read = ReadColour(GetDlgItemText(box), ColourRule::Box, colour);
            SetItemSwatch(box, read ? int32_t(colour & 0xFFFFFF) : -1);
            return true;
        }
    }
    const std::size_t set = std::size_t(id - ID_KEYWORD_SET_FIRST);
    if (code == Notification::Menu && id >= ID_KEYWORD_SET_FIRST &&
        set < TarvoKeywordSets().size()) {
        OnInsertKeywords(set);
        return true;
    }
    return false;
}

bool CTarvoDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetIcon(m_hIcon);
    // Without the face or a fixed-pitch stand-in the box keeps the dialog's font.
    SetItemFont(IDC_SOURCE, kSourceFont);
    // What the template cannot say: the window grows, a status line, the context menus' entries,
    // files dropped on the source box, the tab size's "-1" typed, and tabs shown as Go makes
    // them.
    EnableResizing(TarvoDialogStretch());
    EnableStatusLine();
    AddContextMenu(IDC_SOURCE, TarvoSourceMenu());
    AddContextMenu(IDC_KEYWORD_LIST, TarvoKeywordMenu());
    for (const auto& [box, pick] : kPickedColours) {
        const platform::MenuItemTemplate entry[] = {{pick, "&Pick colour...", "", {}}};
        AddContextMenu(box, entry);
    }
    for (int box : {IDC_KEYWORD_COLOR, IDC_COMMENT_COLOR, IDC_TABLE_LT_COLOR, IDC_TABLE_DK_COLOR}) {
        AddContextMenu(box, TarvoColourMenu());
    }
    DragAcceptFiles(IDC_SOURCE);
    AllowTypedMinus(IDC_TAB_SIZE);
    OnTabSizeChanged();
    m_bFocusSource = 1;
    SetCheck(IDC_W3C_CORRECT, 1);
    const bool new_folder = !m_profile_folder.disk->Stamp(ProfileListPath().c_str()).exists;
    // Selects the default profile, which the load then shows.
    if (ReadProfileList() != 0 && new_folder && m_seed_new_folder &&
        m_profileList.GetCount() == 0) {
        SeedFirstProfile();
        return true;
    }
    OnLoad();
    return true; // the tab-size box takes the focus until the first paint
}

void CTarvoDlg::SeedFirstProfile() {
    ProfileSettings first;
    if (SetFirstProfileSettings(first) == 0) {
        MessageBox("Not enough memory !", kCaption, platform::MessageStyle::Stop);
        return;
    }
    // Through the controls and the buttons' own commands, so the seed is what a user's Save would
    // write.
    SettingsToControls(first);
    SetDlgItemText(IDC_PROFILE_NAME, kSeedProfileName);
    OnSave();
    OnSetDefault(); // loads it, too
}

void CTarvoDlg::OnTabSizeChanged() {
    bool number = false;
    const int32_t size = GetDlgItemInt(IDC_TAB_SIZE, &number, true);
    SetTabStops(IDC_SOURCE, !number || size < 0 ? kKeptTabColumns : std::min(size, kMaxTabSize));
}

void CTarvoDlg::OnPaint() {
    // A minimised window is not painted; the desktop shows the window icon instead.
    if (IsIconic() || m_bFocusSource == 0) {
        return;
    }
    SetItemFocus(IDC_SOURCE);
    m_bFocusSource = 0;
}

// Enter never closes the dialog; a focused push button has taken it already.
void CTarvoDlg::OnOK() {}

void CTarvoDlg::PickColour(int id) {
    uint32_t colour = 0;
    ControlToColour(id, colour);
    const int32_t chosen =
        AskColour(colour & 0xFFFFFF, id == IDC_KEYWORD_COLOR ? "Keyword colour" : "Comment colour");
    if (chosen >= 0 && !ColourToControl(id, uint32_t(chosen))) {
        MessageBox("Not enough memory !", kCaption, platform::MessageStyle::Stop);
    }
}

void CTarvoDlg::OnInsertKeywords(std::size_t index) {
    const std::vector<KeywordSet>& sets = TarvoKeywordSets();
    if (index < sets.size()) {
        // As a paste does, so that the user can undo it.
        SelectAll(IDC_KEYWORD_LIST);
        ReplaceSel(IDC_KEYWORD_LIST, sets[index].words);
    }
}
