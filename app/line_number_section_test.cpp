// The line-number section in the Colours dialog, and the main window keeping the settings that
// template 102 does not show between a load and the next conversion.

#include "app/colours_dialog.h"
#include "app/dialog_fixture.h"
#include "app/line_number_section.h"

namespace {

using LineNumbersTest = DialogTest;

QWidget* ControlOf(platform::Dialog& d, int id) {
    return platform::ControlWidget(d, id);
}

} // namespace

TEST_F(LineNumbersTest, TheColoursDialogEditsThemAndRefusesAMalformedList) {
    LineNumberSettings kept;
    kept.b_line_numbers = 1;
    kept.n_first_line = 7;
    kept.marked_lines = "3-5,9";
    ColourRow rows[] = {{"&String", 0xA31515, kClassOff}};
    ColoursDialog d(rows, &kept);
    ASSERT_TRUE(d.Create());
    const LineNumberSection section(ColoursDialog::kFirstLineNumberId);
    EXPECT_EQ(d.GetCheck(section.NumbersId()), 1);
    EXPECT_EQ(d.GetDlgItemText(section.FirstLineId()), "7");
    EXPECT_EQ(d.GetDlgItemText(section.MarkedLinesId()), "3-5,9");
    EXPECT_EQ(d.GetDlgItemText(section.MarkColourId()), "FFF6BF");

    d.SetDlgItemText(section.MarkedLinesId(), "1, 5-3");
    QTest::mouseClick(ControlOf(d, platform::IDOK), Qt::LeftButton);
    EXPECT_TRUE(d.IsWindowVisible());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Marked lines: '5-3' runs backwards: write 3-5"});
    EXPECT_EQ(d.GetDlgItemText(section.ProblemId()), Texts().back());
    // For a person to look at: the section with its verdict on the list.
    QApplication::processEvents();
    EXPECT_TRUE(platform::DialogWindowOf(d)->grab().toImage().save(
        QStringLiteral(TARVO_SCREENSHOT_DIR "/tarvo-colours-line-numbers.png")));
    EXPECT_EQ(kept.marked_lines, "3-5,9");
    EXPECT_EQ(rows[0].colour, kClassOff);

    d.SetDlgItemText(section.MarkedLinesId(), "1, 3-5");
    d.SetDlgItemText(section.FirstLineId(), "0");
    d.SetDlgItemText(section.MarkColourId(), "#abcdef");
    QTest::mouseClick(ControlOf(d, section.NumbersId()), Qt::LeftButton);
    QTest::mouseClick(ControlOf(d, ColoursDialog::kFirstToggle), Qt::LeftButton);
    QTest::mouseClick(ControlOf(d, platform::IDOK), Qt::LeftButton);
    EXPECT_FALSE(d.IsWindowVisible());
    EXPECT_EQ(kept.b_line_numbers, 0);
    EXPECT_EQ(kept.n_first_line, 0);
    EXPECT_EQ(kept.marked_lines, "1, 3-5");
    EXPECT_EQ(kept.n_mark_color, 0xABCDEFu);
    EXPECT_EQ(rows[0].colour, 0xA31515);
}

TEST_F(LineNumbersTest, TheWindowKeepsWhatALoadBroughtForGoAndSave) {
    ProfileSettings loaded;
    SetCppDefaults(loaded);
    loaded.b_line_numbers = 1;
    loaded.n_first_line = 40;
    ASSERT_EQ(loaded.SetMarkedLines("41"), 1);
    loaded.n_mark_color = 0x123456;
    dlg.SettingsToControls(loaded);

    ProfileSettings read;
    dlg.ControlsToSettings(read);
    EXPECT_EQ(read.b_line_numbers, 1);
    EXPECT_EQ(read.n_first_line, 40);
    EXPECT_STREQ(read.MarkedLines(), "41");
    EXPECT_EQ(read.n_mark_color, 0x123456u);

    dlg.SetDlgItemText(IDC_SOURCE, "int a;\r\nint b;");
    dlg.OnGo();
    const std::string html = dlg.GetDlgItemText(IDC_SOURCE);
    EXPECT_NE(html.find("<span class=\"cpp_marked\"><span class=\"cpp_line_number\" "
                        "data-line=\"41\"></span>"),
              std::string::npos)
        << html;

    dlg.OnCppDefaults(); // the built-in settings number nothing
    ProfileSettings defaults;
    dlg.ControlsToSettings(defaults);
    EXPECT_EQ(defaults.b_line_numbers, 0);
    EXPECT_STREQ(defaults.MarkedLines(), "");
    EXPECT_TRUE(Texts().empty());
}
