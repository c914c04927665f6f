// Moving settings between the dialog's controls and a ProfileSettings record, and the built-in
// settings of "C++ &defaults".

#include "app/tarvo_dlg.h"

#include "app/colours_dialog.h"
#include "base/colour.h"
#include "base/memory.h"
#include "res/resource.h"
#include "settings/cpp_defaults.h"
#include "settings/profile_settings.h"
#include "settings/settings_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

using platform::MessageStyle;

using tarvo::Block;

void CTarvoDlg::ControlToColour(int id, uint32_t& colour) const {
    int64_t read = colour;
    ReadColour(GetDlgItemText(id), ColourRule::Box, read); // no number: the field keeps its value
    colour = uint32_t(read);
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
    for (std::size_t i = 0; i < std::size(kClassColourFields); ++i) {
        s.*kClassColourFields[i].field = m_class_colours[i];
    }
    std::memcpy(s.p_s_theme, m_theme, sizeof m_theme);
    std::memcpy(s.p_s_dark_theme, m_dark_theme, sizeof m_dark_theme);
    if (!s.SetKeywords(GetDlgItemText(IDC_KEYWORD_LIST).c_str()) || !m_line_numbers.To(s)) {
        MessageBox("Not enough memory", kCaption, MessageStyle::Stop);
    }
}

void CTarvoDlg::SettingsToControls(const ProfileSettings& s) {
    if (!m_line_numbers.From(s)) {
        MessageBox("Not enough memory !", kCaption, MessageStyle::Stop);
        return;
    }
    std::memcpy(m_theme, s.p_s_theme, sizeof m_theme);
    std::memcpy(m_dark_theme, s.p_s_dark_theme, sizeof m_dark_theme);
    SetDlgItemInt(IDC_TABLE_WIDTH, s.n_table_width, true);
    SetCheck(IDC_TABLE_WIDTH_PERCENT, s.b_table_width_percent);
    SetCheck(IDC_USE_TABLE, s.b_use_table);
    SetDlgItemInt(IDC_TAB_SIZE, s.n_tab_size, true);
    SetDlgItemInt(IDC_FONT_SIZE, s.n_font_size, true);
    // Six digits when on, as a colour box would keep them.
    for (std::size_t i = 0; i < std::size(kClassColourFields); ++i) {
        const int32_t colour = s.*kClassColourFields[i].field;
        m_class_colours[i] = colour < 0 ? kClassOff : colour & 0xFFFFFF;
    }
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
    // The built-in record itself, shown as a loaded profile is: one source for both.
    ProfileSettings settings;
    if (!SetCppDefaults(settings)) {
        MessageBox("Not enough memory !", kCaption, MessageStyle::Stop);
        return;
    }
    SettingsToControls(settings);
}

void CTarvoDlg::OnColours() {
    ShowColours("");
}

void CTarvoDlg::ShowColours(const std::string& problem) {
    ColourRow rows[kClassCount];
    for (std::size_t i = 0; i < kClassCount; ++i) {
        rows[i] = {kClassColourFields[i].label, kClassColourFields[i].suggested,
                   m_class_colours[i]};
    }
    LineNumberSettings lines = m_line_numbers;
    ProfileSettings sample; // its sample shows the window's keywords and colours
    ControlsToSettings(sample);
    const ThemeChoice themes{m_theme, m_dark_theme, &m_profile_folder, &sample};
    ColoursDialog colours(rows, &lines, &themes);
    colours.SetFirstProblem(problem);
    if (colours.DoModal() == platform::IDOK) {
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            m_class_colours[i] = rows[i].colour;
        }
        m_line_numbers = std::move(lines);
    }
}
