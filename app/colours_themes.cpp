// The Colours dialog's themes: the two lists, the samples in them, and each row's swatch, picker
// and contrast against the theme's background.

#include "app/colours_dialog.h"

#include "app/theme_sample.h"
#include "base/colour.h"
#include "profiles/theme_files.h"
#include "settings/settings_text.h"
#include "themes/builtin_themes.h"
#include "themes/contrast.h"

#include <algorithm>
#include <cstring>

namespace {

// The theme `name` ("" for classic), or classic with the reason in `problem`.
Theme ThemeNamed(const ProfileFolder& folder, const std::string& name, std::string& problem) {
    problem.clear();
    Theme theme = ClassicTheme();
    if (name.empty()) {
        return theme;
    }
    std::string problems;
    if (FindTheme(folder, name.c_str(), theme, problems) != ThemeFileRead::Ok) {
        theme = ClassicTheme();
        problem = problems.empty() ? "Not enough memory" : problems;
        while (!problem.empty() && problem.back() == '\n') {
            problem.pop_back();
        }
    }
    return theme;
}

// The item of `name` in a list whose item `first` is the theme names' first, -1 for none.
int IndexOf(const std::vector<std::string>& names, const std::string& name, int first) {
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1 : first + int(at - names.begin());
}

} // namespace

void ColoursDialog::InitThemes() {
    if (m_themes == nullptr) {
        return;
    }
    m_theme_names.clear();
    for (const BuiltInTheme& t : BuiltInThemes()) {
        m_theme_names.emplace_back(t.theme.name);
    }
    for (std::string& name : ThemeFileNames(*m_themes->folder)) {
        m_theme_names.push_back(std::move(name));
    }
    // A name that the profile holds and no theme has stays chosen, and is named in the sample.
    for (const char* chosen : {m_themes->theme, m_themes->dark_theme}) {
        if (*chosen != '\0' && IndexOf(m_theme_names, chosen, 0) < 0) {
            m_theme_names.emplace_back(chosen);
        }
    }
    ComboAddString(kDarkTheme, kNoDarkTheme);
    for (const std::string& name : m_theme_names) {
        ComboAddString(kTheme, name);
        ComboAddString(kDarkTheme, name);
    }
    const std::string theme = *m_themes->theme != '\0' ? m_themes->theme : kClassicThemeName;
    ComboSetCurSel(kTheme, IndexOf(m_theme_names, theme, 0));
    ComboSetCurSel(kDarkTheme, std::max(0, IndexOf(m_theme_names, m_themes->dark_theme, 1)));
    ReadThemes();
}

void ColoursDialog::ReadThemes() {
    if (m_themes == nullptr) {
        return;
    }
    const std::string light = GetDlgItemText(kTheme);
    m_light =
        ThemeNamed(*m_themes->folder, light == kClassicThemeName ? "" : light, m_light_problem);
    const int dark = ComboGetCurSel(kDarkTheme);
    m_dual = dark > 0;
    m_dark =
        ThemeNamed(*m_themes->folder, m_dual ? GetDlgItemText(kDarkTheme) : "", m_dark_problem);
}

std::vector<int32_t> ColoursDialog::RowColours() const {
    std::vector<int32_t> colours(m_rows.size(), kClassOff);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        int64_t colour = 0;
        if (GetCheck(kFirstToggle + int(i)) != 0 &&
            ReadColour(GetDlgItemText(kFirstColour + int(i)), ColourRule::RRGGBB, colour)) {
            colours[i] = int32_t(colour);
        }
    }
    return colours;
}

void ColoursDialog::ShowRowColour(std::size_t i) {
    int64_t colour = 0;
    const bool read = ReadColour(GetDlgItemText(kFirstColour + int(i)), ColourRule::RRGGBB, colour);
    SetItemSwatch(kFirstColour + int(i), read ? int32_t(colour) : -1);
    std::string figure;
    if (read) {
        const double ratio = ContrastRatio(uint32_t(colour), ShownBackground(m_light));
        figure = ContrastText(ratio);
        // Below what WCAG asks of normal text: said in words, not only in a number.
        if (ratio < kMinTextContrast) {
            figure += " low";
        }
    }
    SetDlgItemText(kFirstContrast + int(i), figure);
}

void ColoursDialog::ShowSamples() {
    if (m_themes == nullptr || !m_ready) {
        return;
    }
    const std::vector<int32_t> colours = RowColours();
    const auto show = [&](int id, const Theme& theme, const std::string& problem) {
        std::string html;
        if (!problem.empty()) {
            html.append("<p>").append(EscapedHtml(problem)).append("</p>");
        }
        html += ThemeSampleHtml(*m_themes->sample, colours, theme);
        SetDlgItemHtml(id, html);
    };
    show(kSample, m_light, m_light_problem);
    if (m_dual) {
        show(kDarkSample, m_dark, m_dark_problem);
    } else {
        SetDlgItemHtml(kDarkSample, "");
    }
}

void ColoursDialog::PickColour(std::size_t i) {
    int64_t colour = m_rows[i].suggested;
    ReadColour(GetDlgItemText(kFirstColour + int(i)), ColourRule::RRGGBB, colour);
    std::string caption = m_rows[i].label;
    std::erase(caption, '&');
    const int32_t chosen = AskColour(uint32_t(colour), caption);
    if (chosen < 0) {
        return;
    }
    char text[kColourTextSize];
    FormatColourText(uint32_t(chosen), text);
    SetCheck(kFirstToggle + int(i), 1);
    SetDlgItemText(kFirstColour + int(i), text); // the swatch, figure and samples follow
}

void ColoursDialog::KeepThemes() {
    if (m_themes == nullptr) {
        return;
    }
    const auto keep = [](char* field, const std::string& chosen) {
        std::memset(field, 0, kThemeNameField + 1);
        std::memcpy(field, chosen.data(), std::min(chosen.size(), kThemeNameField));
    };
    // Classic is the profile's own colours, which it holds by naming no theme; a profile that
    // names it keeps its name.
    const std::string light = GetDlgItemText(kTheme);
    if (light != kClassicThemeName) {
        keep(m_themes->theme, light);
    } else if (std::string_view(m_themes->theme) != kClassicThemeName) {
        keep(m_themes->theme, "");
    }
    keep(m_themes->dark_theme,
         ComboGetCurSel(kDarkTheme) > 0 ? GetDlgItemText(kDarkTheme) : std::string());
}
