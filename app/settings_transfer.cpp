// Moving settings between the dialog's controls and a ProfileSettings record, and the built-in
// settings of "C++ &defaults".

#include "app/tarvo_dlg.h"

#include "convert/cpp_defaults.h"
#include "convert/memory.h"
#include "convert/profile_settings.h"
#include "res/resource.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

using platform::MessageStyle;

namespace {

struct FreeBlock {
    void operator()(char* p) const { std::free(p); }
};
using Block = std::unique_ptr<char, FreeBlock>;

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A hexadecimal number read the way scanf's "%x" reads one: white space, a sign, an optional
// 0x, then digits up to the first other character. Digits past 32 bits wrap around.
bool ReadHexNumber(std::string_view text, uint32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // "0x" counts as a prefix only before a digit; "0xG" is the number 0.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    uint32_t number = 0;
    bool digits = false;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
        number = (number << 4) | uint32_t(HexDigit(text[i]));
        digits = true;
    }
    if (!digits) {
        return false;
    }
    value = negative ? 0u - number : number;
    return true;
}

} // namespace

void CTarvoDlg::ControlToColour(int id, uint32_t& colour) const {
    const std::string text = GetDlgItemText(id);
    std::string_view rest = text;
    if (!rest.empty() && rest.front() == '#') {
        rest.remove_prefix(1);
    }
    ReadHexNumber(rest, colour); // no number: the field keeps its value
}

bool CTarvoDlg::ColourToControl(int id, uint32_t colour) {
    Block text(static_cast<char*>(tarvo::TryAllocate(7)));
    if (!text) {
        return false;
    }
    std::snprintf(text.get(), 7, "%06X", unsigned(colour & 0xFFFFFFu));
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
    std::size_t length = 1;
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        length += std::strlen(s.Keyword(i)) + 1;
    }
    Block text(static_cast<char*>(tarvo::TryAllocate(length)));
    if (!text) {
        MessageBox("Not enough memory !", kCaption, MessageStyle::Stop);
        return;
    }
    // Keywords joined by one space each; none is written while the text is still empty.
    char* end = text.get();
    for (int32_t i = 0; i < s.KeywordCount(); ++i) {
        if (end != text.get()) {
            *end++ = ' ';
        }
        const std::size_t n = std::strlen(s.Keyword(i));
        std::memcpy(end, s.Keyword(i), n);
        end += n;
    }
    *end = '\0';
    SetDlgItemText(IDC_KEYWORD_LIST, std::string_view(text.get(), std::size_t(end - text.get())));
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
