#pragma once
// The "Colours" dialog: the colours that template 102 has no room for, one row each, with a
// toggle that switches the row on and a colour box beside it; below them, when asked for, the
// line numbers and marked lines.

#include "app/line_number_section.h"
#include "platform/dialog.h"

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

// The controls of a dialog for a number of rows, laid out one row below the other; kept apart
// from the dialog so that the template lives as long as the window built from it.
class ColoursLayout {
protected:
    ColoursLayout(std::size_t rows, bool line_numbers);

    LineNumberSection m_line_section{1400};
    std::vector<platform::ControlTemplate> m_controls;
    platform::DialogTemplate m_template;
};

class ColoursDialog : private ColoursLayout, public platform::Dialog {
public:
    // The dialog for `rows`, which must outlive it; at most kMaxRows of them are shown. With
    // `line_numbers` (which must outlive it too) the line-number section stands below them.
    explicit ColoursDialog(std::span<ColourRow> rows, LineNumberSettings* line_numbers = nullptr);

    static constexpr std::size_t kMaxRows = 16;
    // Identifiers: row i has its toggle at kFirstToggle + i and its colour box at
    // kFirstColour + i.
    static constexpr int kFirstToggle = 1100;
    static constexpr int kFirstColour = 1200;
    static constexpr int kSuggested = 1300;
    // The line-number section's first identifier (LineNumberSection).
    static constexpr int kFirstLineNumberId = 1400;

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

    std::span<ColourRow> m_rows;
    LineNumberSettings* m_line_numbers;
    std::string m_first_problem;
};
