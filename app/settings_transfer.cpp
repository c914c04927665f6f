// Moving settings between the dialog's controls and a ProfileSettings record, and the built-in
// settings of "C++ &defaults".

#include "app/tarvo_dlg.h"

#include "base/memory.h"
#include "convert/cpp_defaults.h"
#include "convert/profile_settings.h"
#include "convert/settings_text.h"
#include "res/resource.h"

#include <cstdlib>
#include <memory>
#include <string_view>

using platform::MessageStyle;

using tarvo::Block;

void CTarvoDlg::ControlToColour(int id, uint32_t& colour) const {
    ReadColourText(GetDlgItemText(id), colour); // no number: the field keeps its value
}

bool CTarvoDlg::ColourToControl(int id, uint32_t colour) {
    Block text(static_cast<char*>(tarvo::TryAllocate(kColourTextSize)));
    if (!text) {
        return false;
    }
    FormatColourText(colour, text.get());
    SetDlgItemText(id, text.get());
    return true;
}

void CTarvoDlg::ControlsToSettings(ProfileSettings& s) {
    s.n_table_width = GetDlgItemInt(IDC_TABLE_WIDTH, nullptr, true);
    s.b_table_width_percent = GetCheck(IDC_TABLE_WIDTH_PERCENT);
    s.b_use_table = GetCheck(IDC_USE_TABLE);
    s.n_tab_size = GetDlgItemInt(IDC_TAB_SIZE, nullptr, true);
    s.n_font_size = GetDlgItemInt(IDC_FONT_SIZE, nullptr, true);
    ControlToColour(IDC_COMMENT_COLOR, s.n_comment_color);
    ControlToColour(IDC_KEYWORD_COLOR, s.n_keyword_color);
    ControlToColour(IDC_TABLE_LT_COLOR, s.n_table_lt_color);
    ControlToColour(IDC_TABLE_DK_COLOR, s.n_table_dk_color);
    if (!s.SetKeywords(GetDlgItemText(IDC_KEYWORD_LIST).c_str())) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
    }
}

void CTarvoDlg::SettingsToControls(const ProfileSettings& s) {
    SetDlgItemInt(IDC_TABLE_WIDTH, s.n_table_width, true);
    SetCheck(IDC_TABLE_WIDTH_PERCENT, s.b_table_width_percent);
    SetCheck(IDC_USE_TABLE, s.b_use_table);
    SetDlgItemInt(IDC_TAB_SIZE, s.n_tab_size, true);
    SetDlgItemInt(IDC_FONT_SIZE, s.n_font_size, true);
    if (!ColourToControl(IDC_COMMENT_COLOR, s.n_comment_color) ||
        !ColourToControl(IDC_KEYWORD_COLOR, s.n_keyword_color) ||
        !ColourToControl(IDC_TABLE_LT_COLOR, s.n_table_lt_color) ||
        !ColourToControl(IDC_TABLE_DK_COLOR, s.n_table_dk_color)) {
        MessageBox("Not enough memory !", kCaption, MessageStyle::Stop);
        return;
    }
    Block text(static_cast<char*>(tarvo::TryAllocate(KeywordTextSize(s))));
    if (!text) {
        MessageBox("Not enough memory !", kCaption, MessageStyle::Stop);
        return;
    }
    const std::size_t length = JoinKeywords(s, text.get());
    SetDlgItemText(IDC_KEYWORD_LIST, std::string_view(text.get(), length));
}

void CTarvoDlg::OnCppDefaults() {
    SetDlgItemText(IDC_TAB_SIZE, "4");
    SetDlgItemText(IDC_KEYWORD_COLOR, "0000FF");
    SetDlgItemText(IDC_COMMENT_COLOR, "008000");
    SetDlgItemText(IDC_TABLE_LT_COLOR, "A8C8E8");
    SetDlgItemText(IDC_TABLE_DK_COLOR, "4084D0");
    SetDlgItemInt(IDC_FONT_SIZE, 13, true);
    SetDlgItemText(IDC_TABLE_WIDTH, "80");
    SetCheck(IDC_TABLE_WIDTH_PERCENT, 1);
    SetCheck(IDC_USE_TABLE, 1);
    SetDlgItemText(IDC_KEYWORD_LIST, kCppDefaultKeywords);
}
