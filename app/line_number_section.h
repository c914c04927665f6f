#pragma once
// The line-number settings in a dialog: a section of controls that any dialog can hold (a
// "Line numbers" toggle, the first line, the marked lines, the mark colour, and a line that
// tells what is wrong with the marked lines), and the values the main window keeps for them.

#include "convert/profile_settings.h"
#include "platform/dialog.h"

#include <cstdint>
#include <string>
#include <vector>

// The line-number settings of a record, kept apart from it: the main window holds them between
// a profile's load and the next conversion or save, since its own controls do not show them.
struct LineNumberSettings {
    int32_t b_line_numbers = 0;
    int32_t n_first_line = 1;
    std::string marked_lines;
    uint32_t n_mark_color = kDefaultMarkColor;

    // Takes the values of `settings`. False when memory runs out.
    bool From(const ProfileSettings& settings) noexcept;
    // Puts the values into `settings`. False when memory runs out.
    bool To(ProfileSettings& settings) const;
};

class LineNumberSection {
public:
    static constexpr int kIdCount = 5;
    static constexpr int kWidth = 200; // dialog units
    static constexpr int kHeight = 88;

    // The section's controls take the identifiers `first_id` to `first_id` + kIdCount - 1.
    explicit LineNumberSection(int first_id) : m_first(first_id) {}

    int NumbersId() const { return m_first; }
    int FirstLineId() const { return m_first + 1; }
    int MarkedLinesId() const { return m_first + 2; }
    int MarkColourId() const { return m_first + 3; }
    int ProblemId() const { return m_first + 4; }

    // The section's controls for a dialog template, its top left corner at (x, y) in dialog
    // units, in tab order. The captions are static texts.
    std::vector<platform::ControlTemplate> Controls(int x, int y) const;

    // Shows `settings` in the section's controls of `dialog`.
    void SettingsToControls(platform::Dialog& dialog, const ProfileSettings& settings) const;
    // Reads the controls into `settings`. False when the first line is not a line number, the
    // marked lines are not a list of lines and ranges, or the mark colour is no RRGGBB: the
    // section then says what is wrong, `fault` (when given) receives the box at fault, and
    // `settings` keeps its marked lines, so that the caller neither converts nor saves them as if
    // they were; or when memory ran out.
    bool ControlsToSettings(platform::Dialog& dialog, ProfileSettings& settings,
                            int* fault = nullptr) const;

private:
    int m_first;
};
