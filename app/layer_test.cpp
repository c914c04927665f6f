// What the platform layer adds to the toolkit, seen on the real dialog: typing rules, the combo
// box, text conversion, dialog units and modal runs.

#include "app/dialog_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>

#include <random>

namespace {

using LayerTest = DialogTest;

TEST_F(LayerTest, TypingRulesApplyToKeysButNotToTheProgram) {
    dlg.SetItemFocus(IDC_TAB_SIZE);
    QTest::keyClicks(QApplication::focusWidget(), "1a-2 3");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "123");
    dlg.SetItemFocus(IDC_KEYWORD_COLOR);
    QTest::keyClicks(QApplication::focusWidget(), "ff80zz");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_COLOR), "FF80ZZ");
    dlg.SetDlgItemText(IDC_KEYWORD_COLOR, "ff");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_COLOR), "ff");
}

TEST_F(LayerTest, ComboKeepsItemsSortedAndReportsOnlyPicksFromTheList) {
    dlg.SetItemFocus(IDC_PROFILE_NAME);
    QTest::keyClicks(QApplication::focusWidget(), "be");
    EXPECT_EQ(dlg.ComboAddString(IDC_PROFILE_NAME, "beta"), 0);
    EXPECT_EQ(dlg.ComboAddString(IDC_PROFILE_NAME, "Alpha"), 0);
    EXPECT_EQ(dlg.ComboAddString(IDC_PROFILE_NAME, "gamma"), 2);
    EXPECT_EQ(dlg.ComboAddString(IDC_PROFILE_NAME, "BETA2"), 2);
    EXPECT_EQ(dlg.ComboGetCurSel(IDC_PROFILE_NAME), -1) << "adding an item selects nothing";
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROFILE_NAME), "be") << "nor replaces the typed name";

    // Enter, and leaving the box with a listed name typed, are no pick; nothing is added and
    // nothing completes the name.
    Key(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "beta");
    Key(Qt::Key_Return);
    Key(Qt::Key_Tab);
    EXPECT_EQ(dlg.ComboGetCount(IDC_PROFILE_NAME), 4);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROFILE_NAME), "beta");
    EXPECT_TRUE(dlg.commands.empty());

    auto* combo = static_cast<QComboBox*>(Widget(IDC_PROFILE_NAME));
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(3, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_EQ(dlg.commands, std::vector<std::string>{"1008 picked"});
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROFILE_NAME), "gamma");

    EXPECT_EQ(dlg.ComboSetCurSel(IDC_PROFILE_NAME, 9), -1);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROFILE_NAME), "");
    EXPECT_EQ(dlg.ComboSetCurSel(IDC_PROFILE_NAME, 1), 1);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROFILE_NAME), "beta");
    EXPECT_EQ(dlg.ComboDeleteString(IDC_PROFILE_NAME, 0), 3);
    EXPECT_EQ(dlg.ComboGetCurSel(IDC_PROFILE_NAME), 0) << "the selection moves with its item";
    EXPECT_EQ(dlg.ComboDeleteString(IDC_PROFILE_NAME, 0), 2);
    EXPECT_EQ(dlg.ComboGetCurSel(IDC_PROFILE_NAME), -1) << "no neighbour takes its place";
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PROFILE_NAME), "beta") << "but the text stays";
    EXPECT_EQ(dlg.ComboGetItemText(IDC_PROFILE_NAME, 0), "BETA2");
    EXPECT_EQ(dlg.ComboDeleteString(IDC_PROFILE_NAME, 2), -1);
    dlg.ComboResetContent(IDC_PROFILE_NAME);
    EXPECT_EQ(dlg.ComboGetCount(IDC_PROFILE_NAME), 0);
    EXPECT_EQ(dlg.commands.size(), 1u) << "the program's own changes are no pick";
}

TEST_F(LayerTest, TextComesBackAsItWasGivenWithCrLf) {
    std::mt19937 random(7);
    const std::vector<std::string> pieces{"int",
                                          " ",
                                          "\r\n",
                                          "\t",
                                          "gr\xC3\xB6\xC3\x9F"
                                          "e",
                                          "\xC2\xA0",
                                          "\xE2\x82\xAC",
                                          "<&>",
                                          "\r\n\r\n"};
    for (int round = 0; round < 100; ++round) {
        std::string text;
        for (int n = int(random() % 12); n > 0; --n) {
            text += pieces[random() % pieces.size()];
        }
        dlg.SetDlgItemText(IDC_SOURCE, text);
        ASSERT_EQ(dlg.GetDlgItemText(IDC_SOURCE), text);
        ASSERT_FALSE(
            static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE))->toPlainText().contains(u'\r'));
    }
}

// Whatever the template says, the window and every control stand where its dialog units map to.
TEST_F(LayerTest, WindowAndControlsStandWhereTheTemplatesDialogUnitsMap) {
    QWidget* window = platform::DialogWindowOf(dlg);
    const platform::DialogTemplate& t = TarvoDialogTemplate();
    const platform::BaseUnits units = platform::DialogBaseUnits(window->font());
    // The status line runs below the template's area, as wide as the window.
    const QSize client = platform::MapDialogRect(units, 0, 0, t.width, t.height).size();
    const auto* status = window->findChild<QStatusBar*>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry(), QRect(0, client.height(), client.width(), status->height()));
    EXPECT_EQ(window->size(), client + QSize(0, status->height()));
    ASSERT_EQ(platform::ControlCount(dlg), t.controls.size());
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const platform::ControlTemplate& c = t.controls[i];
        QWidget* w = platform::ControlAt(dlg, i);
        EXPECT_EQ(platform::ControlOf(dlg, w)->id, c.id) << i;
        // A combo box's height is its closed field's, not the template's list height; a label
        // is as wide as its text.
        const QRect mapped = platform::MapDialogRect(units, c.x, c.y, c.width, c.height);
        EXPECT_EQ(w->pos(), mapped.topLeft()) << i;
        if (c.kind != platform::ControlKind::Label) {
            EXPECT_EQ(w->width(), mapped.width()) << i;
        }
    }
    dlg.SetProgressPos(IDC_PROGRESS, 2000);
    EXPECT_EQ(Progress(), 1024) << "kept within the range";
}

using ModalTest = InTempDir;

TEST_F(ModalTest, EndsWithTheResultGivenAndDropsTheWindow) {
    platform::ScopedMessageHandler no_profile_yet(
        [](const platform::MessageRequest&) { return platform::MessageAnswer::Ok; });
    struct EndingAtOnce : CTarvoDlg {
        bool OnInitDialog() override {
            EndDialog(7);
            return true;
        }
    } at_once;
    EXPECT_EQ(at_once.DoModal(), 7) << "ended while starting up";

    CTarvoDlg dlg;
    QTimer::singleShot(0, [&] { dlg.EndDialog(dlg.IsWindowVisible() ? 42 : 0); });
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(platform::DialogWindowOf(dlg), nullptr);
}

} // namespace
