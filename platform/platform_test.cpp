// The layer on a small dialog of its own: typing rules, key routing, the combo box, text and
// number conversion, message handler, wait cursor.

#include "dialog.h"
#include "dialog_qt.h"
#include "wait_cursor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace platform;

enum : int { kNumber = 10, kUpper, kLines, kLinesNoReturn, kButton, kToggle, kCombo, kBar };

constexpr ControlTemplate kControls[] = {
    {kStaticId, ControlKind::Label, "&Number", 0, 4, 4, 40, 8},
    {kNumber, ControlKind::Edit, "", style::kTabStop | style::kNumber, 4, 14, 40, 14},
    {kUpper, ControlKind::Edit, "", style::kTabStop | style::kUpperCase, 50, 14, 40, 14},
    {kLines, ControlKind::MultiLineEdit, "", style::kTabStop | style::kWantReturn, 4, 30, 90, 30},
    {kLinesNoReturn, ControlKind::MultiLineEdit, "", style::kTabStop, 100, 30, 90, 30},
    {kButton, ControlKind::PushButton, "&Run", style::kTabStop, 4, 64, 40, 14},
    {kToggle, ControlKind::PushLikeCheckBox, "&Flag", style::kTabStop, 50, 64, 40, 14},
    {kCombo, ControlKind::ComboBox, "", style::kTabStop | style::kSorted, 100, 64, 90, 40},
    {kBar, ControlKind::ProgressBar, "", 0, 4, 82, 186, 6},
};
constexpr DialogTemplate kTemplate{"Test", 200, 100, "No Such Face", 8, kControls};

// Records what reaches the dialog's overridables.
class RecordingDialog : public Dialog {
public:
    RecordingDialog() : Dialog(kTemplate) {}
    std::vector<std::string> events;

protected:
    void OnOK() override { events.push_back("ok"); }
    void OnCancel() override {
        events.push_back("cancel");
        Dialog::OnCancel();
    }
    bool OnCommand(int id, Notification code) override {
        events.push_back((code == Notification::Clicked ? "clicked " : "selendok ") +
                         std::to_string(id));
        return true;
    }
};

class LayerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        QWidget* window = DialogWindowOf(dlg);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    template <typename W>
    W* Widget(int id) {
        return dynamic_cast<W*>(ControlWidget(dlg, id));
    }
    // A key as the user presses it: to whatever has the focus.
    void Press(int id, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        dlg.SetItemFocus(id);
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    void Type(int id, const char* text) {
        dlg.SetItemFocus(id);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    RecordingDialog dlg;
};

TEST_F(LayerTest, TypingRulesApplyToKeysButNotToTheProgram) {
    Type(kNumber, "1a-2 3");
    EXPECT_EQ(dlg.GetDlgItemText(kNumber), "123");
    dlg.SetDlgItemInt(kNumber, -1, true);
    EXPECT_EQ(dlg.GetDlgItemText(kNumber), "-1");
    EXPECT_EQ(dlg.GetDlgItemInt(kNumber, nullptr, true), -1);

    Type(kUpper, "ff80zz");
    EXPECT_EQ(dlg.GetDlgItemText(kUpper), "FF80ZZ");
    dlg.SetDlgItemText(kUpper, "ff");
    EXPECT_EQ(dlg.GetDlgItemText(kUpper), "ff");
}

TEST_F(LayerTest, EnterAndEscapeGoWhereTheDialogExpects) {
    Press(kNumber, Qt::Key_Return);
    Press(kToggle, Qt::Key_Enter);
    EXPECT_EQ(dlg.GetCheck(kToggle), 0) << "Enter must not toggle";
    Press(kCombo, Qt::Key_Return);
    Press(kLinesNoReturn, Qt::Key_Return);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"ok", "ok", "ok", "ok"}));

    dlg.events.clear();
    Press(kButton, Qt::Key_Return);
    Press(kToggle, Qt::Key_Space);
    EXPECT_EQ(dlg.GetCheck(kToggle), 1);
    Type(kLines, "a");
    Press(kLines, Qt::Key_Return);
    EXPECT_EQ(dlg.GetDlgItemText(kLines), "a\r\n");
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"clicked 14", "clicked 15"}));

    dlg.events.clear();
    Press(kCombo, Qt::Key_Escape);
    EXPECT_EQ(dlg.events, std::vector<std::string>{"cancel"});
    EXPECT_FALSE(dlg.IsWindowVisible());
}

TEST_F(LayerTest, CloseBoxAndEscapeFromEveryControlCancel) {
    for (int id : {kNumber, kUpper, kLines, kButton, kToggle}) {
        RecordingDialog other;
        other.Create();
        DialogWindowOf(other)->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(DialogWindowOf(other)));
        other.SetItemFocus(id);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(other.events, std::vector<std::string>{"cancel"}) << id;
        EXPECT_FALSE(other.IsWindowVisible()) << id;
    }
    DialogWindowOf(dlg)->close();
    EXPECT_EQ(dlg.events, std::vector<std::string>{"cancel"});
    EXPECT_FALSE(dlg.IsWindowVisible());
}

TEST_F(LayerTest, AccessKeysFocusTheLabelsControlAndPressButtons) {
    dlg.SetItemFocus(kLines);
    QTest::keyClick(DialogWindowOf(dlg), Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(ControlOf(dlg, QApplication::focusWidget())->id, kNumber);
    QTest::keyClick(DialogWindowOf(dlg), Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(DialogWindowOf(dlg), Qt::Key_R, Qt::AltModifier);
    // An access key presses the button visibly, so the click comes a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.events.size() == 2; }));
    EXPECT_EQ(dlg.GetCheck(kToggle), 1);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"clicked 15", "clicked 14"}));
}

TEST_F(LayerTest, ComboKeepsItemsSortedAndReportsOnlyPicksFromTheList) {
    Type(kCombo, "be");
    EXPECT_EQ(dlg.ComboAddString(kCombo, "beta"), 0);
    EXPECT_EQ(dlg.ComboAddString(kCombo, "Alpha"), 0);
    EXPECT_EQ(dlg.ComboAddString(kCombo, "gamma"), 2);
    EXPECT_EQ(dlg.ComboAddString(kCombo, "BETA2"), 2);
    EXPECT_EQ(dlg.ComboGetCurSel(kCombo), -1) << "adding an item selects nothing";
    EXPECT_EQ(dlg.GetDlgItemText(kCombo), "be") << "nor replaces the typed name";

    // Enter and leaving the box with a listed name typed are no choice; no item is added and
    // nothing completes the name.
    Press(kCombo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "beta");
    Press(kCombo, Qt::Key_Return);
    Press(kCombo, Qt::Key_Tab);
    EXPECT_EQ(dlg.ComboGetCount(kCombo), 4);
    EXPECT_EQ(dlg.GetDlgItemText(kCombo), "beta");
    EXPECT_EQ(dlg.events, std::vector<std::string>{"ok"});

    auto* combo = Widget<QComboBox>(kCombo);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    list->setCurrentIndex(combo->model()->index(3, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"ok", "selendok 16"}));
    EXPECT_EQ(dlg.GetDlgItemText(kCombo), "gamma");

    EXPECT_EQ(dlg.ComboSetCurSel(kCombo, 9), -1);
    EXPECT_EQ(dlg.GetDlgItemText(kCombo), "");
    EXPECT_EQ(dlg.ComboSetCurSel(kCombo, 1), 1);
    EXPECT_EQ(dlg.GetDlgItemText(kCombo), "beta");
    dlg.ComboResetContent(kCombo);
    EXPECT_EQ(dlg.ComboGetCount(kCombo), 0);
    EXPECT_EQ(dlg.events.size(), 2u) << "the program's own changes are no choice";
}

TEST_F(LayerTest, MultiLineTextComesBackAsItWasGivenWithCrLf) {
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
        dlg.SetDlgItemText(kLines, text);
        ASSERT_EQ(dlg.GetDlgItemText(kLines), text);
        EXPECT_FALSE(Widget<QPlainTextEdit>(kLines)->toPlainText().contains(u'\r'));
    }
    EXPECT_EQ(ToAppText(QStringLiteral("a\nb\u2029c\u2028d")), "a\r\nb\r\nc\r\nd");
}

TEST(DlgIntTest, ReadsLeadingNumberWithinRange) {
    struct Case {
        const char* text;
        bool is_signed;
        int32_t value;
        bool translated;
    };
    const Case cases[] = {
        {"42", true, 42, true},
        {"  -7", true, -7, true},
        {"12ab", true, 12, true},
        {"", true, 0, false},
        {"-", true, 0, false},
        {"+5", true, 0, false},
        {"\t5", true, 0, false},
        {"-5", false, 0, false},
        {"2147483647", true, INT32_MAX, true},
        {"-2147483648", true, INT32_MIN, true},
        {"2147483648", true, 0, false},
        {"4294967295", false, -1, true},
        {"99999999999", false, 0, false},
    };
    for (const Case& c : cases) {
        bool translated = !c.translated;
        EXPECT_EQ(ParseDlgInt(QString::fromUtf8(c.text), &translated, c.is_signed), c.value)
            << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
}

TEST_F(LayerTest, ProgressPositionStaysWithinItsRange) {
    dlg.SetProgressRange(kBar, 0, 1024);
    dlg.SetProgressPos(kBar, 2000);
    EXPECT_EQ(dlg.GetProgressPos(kBar), 1024);
    dlg.SetProgressPos(kBar, -3);
    EXPECT_EQ(dlg.GetProgressPos(kBar), 0);
}

TEST_F(LayerTest, WindowKeepsTemplateProportionsInDialogUnits) {
    const QWidget* window = DialogWindowOf(dlg);
    const BaseUnits units = DialogBaseUnits(window->font());
    EXPECT_EQ(window->size(), MapDialogRect(units, 0, 0, 200, 100).size());
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(ControlWidget(dlg, kBar)->geometry(), MapDialogRect(units, 4, 82, 186, 6));
    EXPECT_EQ(MapDialogRect({6, 13}, 2, 3, 5, 4), QRect(3, 5, 8, 7)); // rounded, not cut
}

TEST_F(LayerTest, MessagesGoThroughTheInstalledHandler) {
    std::vector<std::string> seen;
    {
        ScopedMessageHandler handler([&](const MessageRequest& m) {
            seen.push_back(std::string(m.caption) + "|" + std::string(m.text) + "|" +
                           std::to_string(int(m.style)));
            return MessageAnswer::Yes;
        });
        EXPECT_EQ(dlg.MessageBox("Sure ?", "Cap", MessageStyle::Question), MessageAnswer::Yes);
        ScopedMessageHandler inner([](const MessageRequest&) { return MessageAnswer::No; });
        EXPECT_EQ(dlg.MessageBox("x", "Cap", MessageStyle::Question), MessageAnswer::No);
    }
    EXPECT_EQ(seen, std::vector<std::string>{"Cap|Sure ?|2"});
    EXPECT_FALSE(SetMessageHandler(nullptr)) << "the built-in box is back";
}

TEST(ModalTest, EndsWithTheResultGivenAndDropsTheWindow) {
    struct EndingAtOnce : Dialog {
        EndingAtOnce() : Dialog(kTemplate) {}
        bool OnInitDialog() override {
            EndDialog(7);
            return true;
        }
    } at_once;
    EXPECT_EQ(at_once.DoModal(), 7) << "ended while starting up";

    RecordingDialog dlg;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(dlg.IsWindowVisible());
        dlg.EndDialog(42);
    });
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(DialogWindowOf(dlg), nullptr);
    EXPECT_EQ(dlg.GetDlgItemText(kNumber), "");
}

TEST(WaitCursorTest, RestoredOnEveryWayOut) {
    {
        const WaitCursor outer;
        {
            const WaitCursor inner;
            ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        }
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
