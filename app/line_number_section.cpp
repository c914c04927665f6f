#include "app/line_number_section.h"

#include "base/colour.h"
#include "convert/line_numbers.h"
#include "convert/settings_text.h"

#include <exception>
#include <string_view>

using platform::ControlKind;
using platform::ControlTemplate;
using platform::kStaticId;
namespace style = platform::style;

bool LineNumberSettings::From(const ProfileSettings& s) noexcept {
    try {
        marked_lines = s.MarkedLines();
    } catch (const std::exception&) {
        return false; // bad_alloc
    }
    b_line_numbers = s.b_line_numbers;
    n_first_line = s.n_first_line;
    n_mark_color = s.n_mark_color;
    return true;
}

bool LineNumberSettings::To(ProfileSettings& s) const {
    s.b_line_numbers = b_line_numbers;
    s.n_first_line = n_first_line;
    s.n_mark_color = n_mark_color;
    return s.SetMarkedLines(marked_lines.c_str()) != 0;
}

std::vector<ControlTemplate> LineNumberSection::Controls(int x, int y) const {
    constexpr uint32_t kBox = style::kBorder | style::kTabStop | style::kAutoHScroll;
    return {
        {kStaticId, ControlKind::GroupBox, "Line numbers", 0, x, y, kWidth, kHeight},
        {NumbersId(), ControlKind::PushLikeCheckBox, "Line &numbers", style::kTabStop, x + 6,
         y + 12, 60, 14},
        {kStaticId, ControlKind::Label, "&First line:", style::kGroup, x + kWidth - 92, y + 15, 40,
         8},
        {FirstLineId(), ControlKind::Edit, "", kBox | style::kNumber | style::kRight,
         x + kWidth - 50, y + 12, 44, 14},
        {kStaticId, ControlKind::Label, "&Marked lines:", style::kGroup, x + 6, y + 33, 50, 8},
        {MarkedLinesId(), ControlKind::Edit, "", kBox, x + 58, y + 30, kWidth - 64, 14},
        {kStaticId, ControlKind::Label, "Mar&k colour:", style::kGroup, x + 6, y + 51, 50, 8},
        {MarkColourId(), ControlKind::Edit, "", kBox | style::kUpperCase | style::kRight, x + 58,
         y + 48, 44, 14},
        {ProblemId(), ControlKind::Label, "", 0, x + 6, y + 68, kWidth - 12, 16},
    };
}

void LineNumberSection::SettingsToControls(platform::Dialog& d, const ProfileSettings& s) const {
    d.SetCheck(NumbersId(), s.b_line_numbers != 0);
    d.SetDlgItemInt(FirstLineId(), s.n_first_line, true); // "-1" of a profile shows as it is
    d.SetDlgItemText(MarkedLinesId(), s.MarkedLines());
    char colour[kColourTextSize];
    FormatColourText(s.n_mark_color, colour);
    d.SetDlgItemText(MarkColourId(), colour);
    d.SetDlgItemText(ProblemId(), "");
}

bool LineNumberSection::ControlsToSettings(platform::Dialog& d, ProfileSettings& s,
                                           int* fault) const {
    const auto fails = [&](int id, const std::string& problem) {
        d.SetDlgItemText(ProblemId(), problem);
        if (fault != nullptr) {
            *fault = id;
        }
        return false;
    };
    // Read by the rules of the command line's options, and said when a value is none.
    const std::string first = d.GetDlgItemText(FirstLineId());
    int64_t first_line = 0;
    if (!ReadLineNumber(first, first_line)) {
        return fails(FirstLineId(), std::string("First line: ").append(NotALineNumber(first)));
    }
    const std::string marks = d.GetDlgItemText(MarkedLinesId());
    std::vector<LineRange> ranges;
    std::string problem;
    switch (ParseMarkedLines(marks, ranges, &problem)) {
    case MarkedLinesParse::Ok:
        break;
    case MarkedLinesParse::Malformed:
        return fails(MarkedLinesId(), "Marked lines: " + problem);
    case MarkedLinesParse::OutOfMemory:
        return fails(MarkedLinesId(), "Not enough memory");
    }
    const std::string colour_text = d.GetDlgItemText(MarkColourId());
    int64_t colour = 0;
    if (!ReadColour(colour_text, ColourRule::RRGGBB, colour)) {
        return fails(
            MarkColourId(),
            std::string("Mark colour: ").append(NotAColour(colour_text, ColourRule::RRGGBB)));
    }
    d.SetDlgItemText(ProblemId(), "");
    s.b_line_numbers = d.GetCheck(NumbersId()) != 0;
    s.n_first_line = int32_t(first_line);
    s.n_mark_color = uint32_t(colour);
    return s.SetMarkedLines(marks.c_str()) != 0;
}
