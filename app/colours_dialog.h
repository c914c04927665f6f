#pragma once
// The "Colours" dialog: the colours that template 102 has no room for, one row each, with a
// toggle that switches the row on, a colour box with its swatch, a button for the colour picker
// and the colour's contrast against the theme's background; beside them, when asked for, the
// theme and the dark theme with a sample of both; below them, when asked for, the line numbers
// and marked lines.

#include "app/line_number_section.h"
#include "platform/dialog.h"
#include "profiles/profile_folder.h"
#include "settings/profile_settings.h"
#include "themes/theme.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

// One row of the dialog. The caller fills `colour`; OK writes the user's choice back.
struct ColourRow {
    const char* label; // the toggle's caption, with its "&" access key
    int32_t suggested; // 0xRRGGBB that "Suggested colours" puts in
    int32_t colour;    // 0xRRGGBB while on, negative (kClassOff) while off
};

// The themes the dialog offers and the choice it writes back on OK.
struct ThemeChoice {
    char* theme;                   // kThemeNameField + 1 bytes: the theme's name, "" for classic
    char* dark_theme;              // the same: the dark theme's name, "" for none
    const ProfileFolder* folder;   // whose themes folder holds the theme files
    const ProfileSettings* sample; // the keywords and the keyword and comment colours shown
};

// The controls of a dialog for a number of rows, laid out one row below the other; kept apart
// from the dialog so that the template lives as long as the window built from it.
class ColoursLayout {
protected:
    ColoursLayout(std::size_t rows, bool line_numbers, bool themes);

    LineNumberSection m_line_section{1400};
    std::vector<platform::ControlTemplate> m_controls;
    platform::DialogTemplate m_template;
};

class ColoursDialog : private ColoursLayout, public platform::Dialog {
public:
    // The dialog for `rows`, which must outlive it; at most kMaxRows of them are shown. With
    // `line_numbers` (which must outlive it too) the line-number section stands below them; with
    // `themes` (the same) the theme choices and the samples.
    explicit ColoursDialog(std::span<ColourRow> rows, LineNumberSettings* line_numbers = nullptr,
                           const ThemeChoice* themes = nullptr);

    static constexpr std::size_t kMaxRows = 16;
    // Identifiers: row i has its toggle at kFirstToggle + i and its colour box at
    // kFirstColour + i.
    static constexpr int kFirstToggle = 1100;
    static constexpr int kFirstColour = 1200;
    static constexpr int kSuggested = 1300;
    // The line-number section's first identifier (LineNumberSection).
    static constexpr int kFirstLineNumberId = 1400;
    // Row i's picker button, contrast figure and picker menu entry.
    static constexpr int kFirstPick = 1500;
    static constexpr int kFirstContrast = 1520;
    static constexpr int kFirstPickMenu = 1540;
    // The theme lists and their samples.
    static constexpr int kTheme = 1560;
    static constexpr int kDarkTheme = 1561;
    static constexpr int kSample = 1562;
    static constexpr int kDarkSample = 1563;
    // The dark theme list's first entry.
    static constexpr const char* kNoDarkTheme = "none";

    // "Suggested colours": every row on with its suggested colour.
    void OnSuggested();
    // What the line below the line numbers says when the dialog opens: a problem of the values
    // it was opened with (the profile's that Load brought).
    void SetFirstProblem(std::string problem) { m_first_problem = std::move(problem); }

protected:
    bool OnInitDialog() override;
    // Reads the rows and the line numbers back into the caller's records and ends the dialog
    // with IDOK; while a colour box of a row that is on holds no RRGGBB, or the line numbers'
    // boxes are not what they stand for, it says so and stays open, changing nothing.
    void OnOK() override;
    bool OnCommand(int id, platform::Notification code) override;

private:
    // Names `problem` under the boxes and in a message, and puts the focus on the box `id`.
    void Refuse(int id, const std::string& problem);

    // The theme lists, filled and set to the choice; the themes read.
    void InitThemes();
    // The chosen themes read again (a list's choice changed).
    void ReadThemes();
    // Row `i`'s swatch and contrast figure, from its box.
    void ShowRowColour(std::size_t i);
    // The samples, from the themes and the rows as they stand.
    void ShowSamples();
    // The colour picker for row `i`: the colour it gives goes into the box, the row on.
    void PickColour(std::size_t i);
    // The rows' colours as the boxes and toggles say, kClassOff for off and for no colour.
    std::vector<int32_t> RowColours() const;
    // OK's write-back of the theme lists.
    void KeepThemes();

    std::span<ColourRow> m_rows;
    LineNumberSettings* m_line_numbers;
    const ThemeChoice* m_themes;
    std::string m_first_problem;
    Theme m_light;               // the chosen theme, classic when it could not be read
    std::string m_light_problem; // why not
    Theme m_dark;
    bool m_dual = false;
    std::string m_dark_problem;
    std::vector<std::string> m_theme_names; // the lists' items, "none" aside
    bool m_ready = false;                   // set once OnInitDialog has filled every control
};
