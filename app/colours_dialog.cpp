#include "app/colours_dialog.h"

#include "base/colour.h"
#include "settings/profile_settings.h"
#include "settings/settings_text.h"
#include "themes/builtin_themes.h"

#include <algorithm>
#include <string>

using platform::ControlKind;
namespace style = platform::style;

namespace {

// Dialog units: each row is a toggle, a colour box, its picker button and its contrast side by
// side; the theme lists stand beside the rows, the buttons on the right, the samples below all.
constexpr int kMargin = 7;
constexpr int kRowHeight = 18;
constexpr int kToggleWidth = 90;
constexpr int kBoxWidth = 52;
constexpr int kPickWidth = 14;
constexpr int kContrastWidth = 34;
constexpr int kRowsWidth = kToggleWidth + 6 + kBoxWidth + 3 + kPickWidth + 4 + kContrastWidth;
constexpr int kThemeWidth = 110;
constexpr int kButtonWidth = 60;
constexpr int kSampleHeight = 104;

} // namespace

ColoursLayout::ColoursLayout(std::size_t rows, bool line_numbers, bool themes) {
    rows = std::min(rows, ColoursDialog::kMaxRows);
    constexpr uint32_t kColourBox =
        style::kBorder | style::kTabStop | style::kUpperCase | style::kRight | style::kAutoHScroll;
    for (std::size_t i = 0; i < rows; ++i) {
        const int y = kMargin + int(i) * kRowHeight;
        int x = kMargin;
        m_controls.push_back({ColoursDialog::kFirstToggle + int(i), ControlKind::PushLikeCheckBox,
                              "", style::kTabStop | style::kGroup, x, y, kToggleWidth, 14});
        x += kToggleWidth + 6;
        m_controls.push_back({ColoursDialog::kFirstColour + int(i), ControlKind::Edit, "",
                              kColourBox, x, y, kBoxWidth, 14});
        x += kBoxWidth + 3;
        m_controls.push_back({ColoursDialog::kFirstPick + int(i), ControlKind::PushButton, "...", 0,
                              x, y, kPickWidth, 14});
        x += kPickWidth + 4;
        m_controls.push_back({ColoursDialog::kFirstContrast + int(i), ControlKind::Label, "", 0, x,
                              y + 3, kContrastWidth, 10});
    }
    int x = kMargin + kRowsWidth + kMargin;
    int top = kMargin + 54; // the buttons' bottom
    if (themes) {
        m_controls.push_back(
            {platform::kStaticId, ControlKind::Label, "Th&eme:", 0, x, kMargin, kThemeWidth, 9});
        m_controls.push_back({ColoursDialog::kTheme, ControlKind::ComboBox, "",
                              style::kTabStop | style::kVScroll | style::kDropList, x, kMargin + 10,
                              kThemeWidth, 120});
        m_controls.push_back({platform::kStaticId, ControlKind::Label, "&Dark theme:", 0, x,
                              kMargin + 30, kThemeWidth, 9});
        m_controls.push_back({ColoursDialog::kDarkTheme, ControlKind::ComboBox, "",
                              style::kTabStop | style::kVScroll | style::kDropList, x, kMargin + 40,
                              kThemeWidth, 120});
        x += kThemeWidth + kMargin;
    }
    const int width = x + kButtonWidth + kMargin;
    m_controls.push_back({platform::IDOK, ControlKind::PushButton, "OK", style::kTabStop, x,
                          kMargin, kButtonWidth, 14});
    m_controls.push_back({platform::IDCANCEL, ControlKind::PushButton, "Cancel", style::kTabStop, x,
                          kMargin + 18, kButtonWidth, 14});
    m_controls.push_back({ColoursDialog::kSuggested, ControlKind::PushButton, "S&uggested colours",
                          style::kTabStop, x, kMargin + 36, kButtonWidth, 14});
    int height = std::max(kMargin + int(rows) * kRowHeight, top) + kMargin - 4;
    // The buttons stay last, as Enter and Escape expect them in the tab order.
    const auto buttons = std::ptrdiff_t(m_controls.size() - 3);
    if (line_numbers) {
        const std::vector<platform::ControlTemplate> section =
            m_line_section.Controls(kMargin, height);
        m_controls.insert(m_controls.begin() + buttons, section.begin(), section.end());
        height += LineNumberSection::kHeight + kMargin;
    }
    if (themes) {
        const int half = (width - 3 * kMargin) / 2;
        const platform::ControlTemplate samples[] = {{ColoursDialog::kSample, ControlKind::Label,
                                                      "", 0, kMargin, height, half, kSampleHeight},
                                                     {ColoursDialog::kDarkSample,
                                                      ControlKind::Label, "", 0, 2 * kMargin + half,
                                                      height, half, kSampleHeight}};
        m_controls.insert(m_controls.end() - 3, std::begin(samples), std::end(samples));
        height += kSampleHeight + kMargin;
    }
    m_template = {"Colours", width, height, "MS Sans Serif", 8, m_controls};
}

ColoursDialog::ColoursDialog(std::span<ColourRow> rows, LineNumberSettings* line_numbers,
                             const ThemeChoice* themes)
    : ColoursLayout(rows.size(), line_numbers != nullptr, themes != nullptr), Dialog(m_template),
      m_rows(rows.first(std::min(rows.size(), kMaxRows))), m_line_numbers(line_numbers),
      m_themes(themes), m_light(ClassicTheme()) {}

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
        const platform::MenuItemTemplate pick[] = {
            {kFirstPickMenu + int(i), "&Pick colour...", "", {}}};
        AddContextMenu(kFirstColour + int(i), pick);
    }
    InitThemes();
    m_ready = true;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        ShowRowColour(i);
    }
    ShowSamples();
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
    KeepThemes();
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
    using platform::Notification;
    const auto row = [&](int first) { return std::size_t(id - first); };
    const bool in_rows = id >= kFirstToggle && id < kFirstToggle + int(m_rows.size());
    const bool a_box = id >= kFirstColour && id < kFirstColour + int(m_rows.size());
    if (code == Notification::Changed && a_box && m_ready) {
        ShowRowColour(row(kFirstColour));
        ShowSamples();
    } else if (code == Notification::SelEndOk && (id == kTheme || id == kDarkTheme)) {
        ReadThemes();
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            ShowRowColour(i);
        }
        ShowSamples();
    } else if (code == Notification::Menu && id >= kFirstPickMenu &&
               id < kFirstPickMenu + int(m_rows.size())) {
        PickColour(row(kFirstPickMenu));
    } else if (code != Notification::Clicked) {
        return false;
    } else if (a_box) { // its swatch
        PickColour(row(kFirstColour));
    } else if (id >= kFirstPick && id < kFirstPick + int(m_rows.size())) {
        PickColour(row(kFirstPick));
    } else if (in_rows) {
        ShowSamples();
    } else if (id == kSuggested) {
        OnSuggested();
        ShowSamples();
    } else if (id == platform::IDOK) {
        OnOK();
    } else if (id == platform::IDCANCEL) {
        OnCancel();
    } else {
        return false;
    }
    return true;
}
