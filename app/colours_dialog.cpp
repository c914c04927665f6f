#include "app/colours_dialog.h"

#include "base/colour.h"
#include "convert/profile_settings.h"
#include "convert/settings_text.h"

#include <algorithm>
#include <string>

using platform::ControlKind;
namespace style = platform::style;

namespace {

// Dialog units: each row is a toggle and a colour box side by side.
constexpr int kMargin = 7;
constexpr int kRowHeight = 18;
constexpr int kToggleWidth = 90;
constexpr int kBoxWidth = 40;
constexpr int kButtonWidth = 60;
constexpr int kWidth = kMargin + kToggleWidth + 6 + kBoxWidth + kMargin + kButtonWidth + kMargin;

} // namespace

ColoursLayout::ColoursLayout(std::size_t rows, bool line_numbers) {
    rows = std::min(rows, ColoursDialog::kMaxRows);
    constexpr uint32_t kColourBox =
        style::kBorder | style::kTabStop | style::kUpperCase | style::kRight | style::kAutoHScroll;
    for (std::size_t i = 0; i < rows; ++i) {
        const int y = kMargin + int(i) * kRowHeight;
        m_controls.push_back({ColoursDialog::kFirstToggle + int(i), ControlKind::PushLikeCheckBox,
                              "", style::kTabStop | style::kGroup, kMargin, y, kToggleWidth, 14});
        m_controls.push_back({ColoursDialog::kFirstColour + int(i), ControlKind::Edit, "",
                              kColourBox, kMargin + kToggleWidth + 6, y, kBoxWidth, 14});
    }
    const int buttons = kWidth - kMargin - kButtonWidth;
    m_controls.push_back({platform::IDOK, ControlKind::PushButton, "OK", style::kTabStop, buttons,
                          kMargin, kButtonWidth, 14});
    m_controls.push_back({platform::IDCANCEL, ControlKind::PushButton, "Cancel", style::kTabStop,
                          buttons, kMargin + 18, kButtonWidth, 14});
    m_controls.push_back({ColoursDialog::kSuggested, ControlKind::PushButton, "S&uggested colours",
                          style::kTabStop, buttons, kMargin + 36, kButtonWidth, 14});
    int height = std::max(kMargin + int(rows) * kRowHeight, kMargin + 54) + kMargin - 4;
    if (line_numbers) {
        const std::vector<platform::ControlTemplate> section =
            m_line_section.Controls(kMargin, height);
        m_controls.insert(m_controls.end() - 3, section.begin(), section.end());
        height += LineNumberSection::kHeight + kMargin;
    }
    m_template = {"Colours", kWidth, height, "MS Sans Serif", 8, m_controls};
}

ColoursDialog::ColoursDialog(std::span<ColourRow> rows, LineNumberSettings* line_numbers)
    : ColoursLayout(rows.size(), line_numbers != nullptr), Dialog(m_template),
      m_rows(rows.first(std::min(rows.size(), kMaxRows))), m_line_numbers(line_numbers) {}

bool ColoursDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const ColourRow& row = m_rows[i];
        SetDlgItemText(kFirstToggle + int(i), row.label);
        SetCheck(kFirstToggle + int(i), row.colour >= 0 ? 1 : 0);
        // A row that is off offers its suggested colour, ready for the toggle.
        char text[kColourTextSize];
        FormatColourText(uint32_t(row.colour >= 0 ? row.colour : row.suggested), text);
        SetDlgItemText(kFirstColour + int(i), text);
    }
    ProfileSettings lines;
    if (m_line_numbers != nullptr && m_line_numbers->To(lines)) {
        m_line_section.SettingsToControls(*this, lines);
        SetDlgItemText(m_line_section.ProblemId(), m_first_problem);
    }
    return true;
}

void ColoursDialog::OnSuggested() {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        char text[kColourTextSize];
        FormatColourText(uint32_t(m_rows[i].suggested), text);
        SetDlgItemText(kFirstColour + int(i), text);
        SetCheck(kFirstToggle + int(i), 1);
    }
}

void ColoursDialog::OnOK() {
    // Every box that is read must hold what it stands for; the first that does not is named,
    // and nothing changes until it does.
    std::vector<int32_t> colours(m_rows.size(), kClassOff);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (GetCheck(kFirstToggle + int(i)) == 0) {
            continue;
        }
        const std::string text = GetDlgItemText(kFirstColour + int(i));
        int64_t colour = 0;
        if (!ReadColour(text, ColourRule::RRGGBB, colour)) {
            std::string label = m_rows[i].label;
            std::erase(label, '&');
            Refuse(kFirstColour + int(i), label + ": " + NotAColour(text, ColourRule::RRGGBB));
            return;
        }
        colours[i] = int32_t(colour);
    }
    if (m_line_numbers != nullptr) {
        ProfileSettings lines;
        int fault = m_line_section.MarkedLinesId();
        if (!m_line_section.ControlsToSettings(*this, lines, &fault) ||
            !m_line_numbers->From(lines)) {
            Refuse(fault, GetDlgItemText(m_line_section.ProblemId()));
            return;
        }
    }
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].colour = colours[i];
    }
    EndDialog(platform::IDOK);
}

void ColoursDialog::Refuse(int id, const std::string& problem) {
    if (m_line_numbers != nullptr) {
        SetDlgItemText(m_line_section.ProblemId(), problem);
    }
    MessageBox(problem, "Tarvo", platform::MessageStyle::Stop);
    SetItemFocus(id);
}

bool ColoursDialog::OnCommand(int id, platform::Notification code) {
    if (code != platform::Notification::Clicked) {
        return false;
    }
    if (id == kSuggested) {
        OnSuggested();
    } else if (id == platform::IDOK) {
        OnOK();
    } else if (id == platform::IDCANCEL) {
        OnCancel();
    } else {
        return false;
    }
    return true;
}
