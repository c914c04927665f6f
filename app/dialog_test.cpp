// The dialog as the user meets it: its controls, tab order, access keys, Enter, Escape, the
// first focus, the source font and the start of the program.

#include "app/dialog_fixture.h"
#include "app/tarvo_app.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <map>

namespace {

using platform::ControlAt;
using platform::ControlCount;

// The widget kind a control was made as, with the text it shows.
std::string Describe(QWidget* w) {
    if (auto* b = dynamic_cast<QPushButton*>(w)) {
        return (b->isCheckable() ? "toggle " : "button ") + b->text().toStdString();
    }
    if (auto* l = dynamic_cast<QLabel*>(w)) {
        return "label " + l->text().toStdString();
    }
    if (auto* g = dynamic_cast<QGroupBox*>(w)) {
        return "group " + g->title().toStdString();
    }
    if (dynamic_cast<QLineEdit*>(w) != nullptr &&
        dynamic_cast<QComboBox*>(w->parent()) == nullptr) {
        return "edit";
    }
    if (dynamic_cast<QPlainTextEdit*>(w) != nullptr) {
        return "lines";
    }
    if (dynamic_cast<QComboBox*>(w) != nullptr) {
        return "combo";
    }
    if (dynamic_cast<QProgressBar*>(w) != nullptr) {
        return "progress";
    }
    return "?";
}

// Every control can be reached and seen: each identifier once, enabled and visible, inside the
// window, and every control that takes input clear of every other one; and every label with an
// access key leads to the control that follows it.
TEST_F(DialogTest, EveryControlIsUsableAndNoneHidesAnother) {
    const QRect client = platform::DialogWindowOf(dlg)->rect();
    std::map<int, int> ids;
    std::vector<QWidget*> boxes;
    for (std::size_t i = 0; i < ControlCount(dlg); ++i) {
        QWidget* w = ControlAt(dlg, i);
        const int id = platform::ControlOf(dlg, w)->id;
        if (id != platform::kStaticId) {
            EXPECT_EQ(++ids[id], 1) << id;
        }
        EXPECT_TRUE(w->isEnabled() && w->isVisible()) << i;
        EXPECT_TRUE(client.contains(w->geometry())) << i;
        EXPECT_NE(Describe(w), "?") << i;
        if (auto* label = dynamic_cast<QLabel*>(w); label != nullptr && label->buddy()) {
            EXPECT_EQ(label->buddy(), ControlAt(dlg, i + 1)) << i;
        }
        if (dynamic_cast<QGroupBox*>(w) == nullptr && dynamic_cast<QLabel*>(w) == nullptr) {
            // A pixel of rounding where two controls meet is no overlap.
            const QRect inner = w->geometry().adjusted(1, 1, -1, -1);
            for (QWidget* other : boxes) {
                EXPECT_FALSE(inner.intersects(other->geometry()))
                    << Describe(w) << " / " << Describe(other);
            }
            boxes.push_back(w);
        }
    }
    EXPECT_EQ(ids.size(), 21u) << "the controls that the program addresses";
    EXPECT_EQ(platform::DialogWindowOf(dlg)->windowTitle(), "Tarvo by Kesmund");
    EXPECT_FALSE(platform::DialogWindowOf(dlg)->windowIcon().isNull());
}

TEST_F(DialogTest, StartsWithW3cOnTheRestEmptyAndTheCaretInTheSourceBox) {
    CTarvoDlg unpainted;
    ASSERT_TRUE(unpainted.Create());
    EXPECT_EQ(platform::DialogWindowOf(unpainted)->focusWidget(),
              platform::ControlWidget(unpainted, IDC_TAB_SIZE));
    EXPECT_EQ(FocusId(), IDC_SOURCE) << "the first paint moves the focus";
    EXPECT_EQ(dlg.GetCheck(IDC_W3C_CORRECT), 1);
    EXPECT_EQ(dlg.GetCheck(IDC_USE_TABLE) + dlg.GetCheck(IDC_TABLE_WIDTH_PERCENT), 0);
    for (int id :
         {IDC_TAB_SIZE, IDC_KEYWORD_COLOR, IDC_KEYWORD_LIST, IDC_PROFILE_NAME, IDC_SOURCE}) {
        EXPECT_EQ(dlg.GetDlgItemText(id), "") << id;
    }
    EXPECT_EQ(Progress(), 0);

    // The source box alone has a face whose letters stand in columns as drawn, whatever the
    // face claims, in a cell of 14 pixels.
    const QFont source = Widget(IDC_SOURCE)->font();
    const QFontMetrics metrics = Widget(IDC_SOURCE)->fontMetrics();
    EXPECT_EQ(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'))
        << QFontInfo(source).family().toStdString();
    EXPECT_EQ(metrics.height(), 14) << QFontInfo(source).family().toStdString();
    for (std::size_t i = 0; i < ControlCount(dlg); ++i) {
        if (ControlAt(dlg, i) != Widget(IDC_SOURCE)) {
            EXPECT_NE(ControlAt(dlg, i)->font(), source) << i;
        }
    }
}

TEST_F(DialogTest, TabVisitsTheControlsInTemplateOrder) {
    const std::vector<int> order{1000, 1001, 1002, 1017, 1016, 1004, 1021, 1020, 1003, 1008, 1005,
                                 1006, 1007, 1014, 1009, 1012, 1010, 1015, 1011, 1023, 1000};
    dlg.SetItemFocus(IDC_TABLE_WIDTH_PERCENT);
    std::vector<int> visited;
    for (std::size_t i = 0; i < order.size(); ++i) {
        Key(Qt::Key_Tab);
        visited.push_back(FocusId());
    }
    EXPECT_EQ(visited, order);
}

TEST_F(DialogTest, AccessKeysReachTheirControls) {
    const std::map<Qt::Key, int> labels{{Qt::Key_A, 1000}, {Qt::Key_Y, 1001}, {Qt::Key_M, 1002},
                                        {Qt::Key_Z, 1017}, {Qt::Key_K, 1016}, {Qt::Key_I, 1004},
                                        {Qt::Key_H, 1021}, {Qt::Key_O, 1003}, {Qt::Key_P, 1008}};
    for (const auto& [key, id] : labels) {
        dlg.SetItemFocus(IDC_SOURCE);
        Key(key, Qt::AltModifier);
        EXPECT_EQ(FocusId(), id) << char(key);
    }
    const std::map<Qt::Key, int> buttons{{Qt::Key_T, 1020}, {Qt::Key_L, 1005}, {Qt::Key_S, 1006},
                                         {Qt::Key_D, 1007}, {Qt::Key_C, 1014}, {Qt::Key_F, 1009},
                                         {Qt::Key_E, 1012}, {Qt::Key_G, 1010}, {Qt::Key_W, 1015}};
    // Each button shows itself pressed for a moment before it reports the click: all are
    // pressed first, then their clicks awaited together, in the order pressed.
    std::vector<std::string> expected;
    for (const auto& [key, id] : buttons) {
        dlg.SetItemFocus(IDC_TAB_SIZE);
        Key(key, Qt::AltModifier);
        expected.push_back(std::to_string(id) + " clicked");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.commands.size() >= expected.size(); }));
    EXPECT_EQ(dlg.commands, expected);
}

TEST_F(DialogTest, EnterPressesOnlyAFocusedPushButtonOrBreaksALine) {
    const auto snapshot = [&] {
        std::vector<std::string> state;
        for (int id = 1000; id <= 1023; ++id) {
            state.push_back(dlg.GetDlgItemText(id) + "|" + std::to_string(dlg.GetCheck(id)));
        }
        return state;
    };
    dlg.SetDlgItemText(IDC_PROFILE_NAME, "new name");
    const auto before = snapshot();
    for (int id : {IDC_TAB_SIZE, IDC_KEYWORD_COLOR, IDC_COMMENT_COLOR, IDC_FONT_SIZE,
                   IDC_TABLE_DK_COLOR, IDC_TABLE_LT_COLOR, IDC_TABLE_WIDTH, IDC_USE_TABLE,
                   IDC_PROFILE_NAME, IDC_W3C_CORRECT, IDC_TABLE_WIDTH_PERCENT}) {
        dlg.SetItemFocus(id);
        Key(Qt::Key_Return);
        Key(Qt::Key_Enter);
    }
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(dlg.ComboGetCount(IDC_PROFILE_NAME), 0);
    EXPECT_TRUE(dlg.IsWindowVisible());

    for (int id : {IDC_KEYWORD_LIST, IDC_SOURCE}) {
        dlg.SetItemFocus(id);
        QTest::keyClicks(QApplication::focusWidget(), "x");
        Key(Qt::Key_Return);
        EXPECT_EQ(dlg.GetDlgItemText(id), "x\r\n") << id;
    }

    dlg.SetItemFocus(IDC_CPP_DEFAULTS);
    Key(Qt::Key_Return);
    EXPECT_EQ(dlg.commands, std::vector<std::string>{"1007 clicked"});
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_COLOR), "0000FF");
    EXPECT_TRUE(messages.empty());
}

TEST_F(DialogTest, EscapeAndTheCloseBoxEndTheDialogAtOnce) {
    for (int id :
         {IDC_TAB_SIZE, IDC_KEYWORD_LIST, IDC_PROFILE_NAME, IDC_GO, IDC_USE_TABLE, IDC_SOURCE}) {
        CTarvoDlg other;
        Open(other);
        other.SetDlgItemText(IDC_SOURCE, "int x;");
        other.OnGo();
        other.SetItemFocus(id);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(other.IsWindowVisible()) << id;
    }
    platform::DialogWindowOf(dlg)->close();
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(Texts(), std::vector<std::string>(6, "Can't find profile !")) << "start-ups only";
}

using TarvoAppTest = InTempDir;

TEST_F(TarvoAppTest, RunsTheDialogModallyAndEndsWithIt) {
    platform::ScopedMessageHandler no_profile_yet(
        [](const platform::MessageRequest&) { return platform::MessageAnswer::Ok; });
    int focus_at_start = 0;
    QTimer::singleShot(0, [&] {
        QWidget* window = QApplication::activeModalWidget();
        ASSERT_NE(window, nullptr);
        // The first paint moves the focus to the source box.
        focus_at_start = QTest::qWaitFor([window] {
            auto* focus = dynamic_cast<QPlainTextEdit*>(QApplication::focusWidget());
            return focus != nullptr && focus->parentWidget() == window;
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    CTarvoApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(focus_at_start, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
