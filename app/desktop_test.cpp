// The dialog on a real X server with a window manager (scripts/on-xvfb), driven through the window
// system as the user's keys come: paste, Go, Undo and Redo, View CSS, the Tab order, and a
// ten-megabyte Go taken back.

#include "app/dialog_fixture.h"
#include "render/converter.h"
#include "render/style_sheet.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QWindow>

// The session bus library keeps a block for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace {

class DesktopTest : public DialogTest {
protected:
    // The key as the window system delivers it, then the source box's text.
    std::string Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(platform::DialogWindowOf(dlg)->windowHandle(), key, modifiers);
        return dlg.GetDlgItemText(IDC_SOURCE);
    }
    // A button's access key: the button shows itself pressed before the box changes.
    std::string PressButton(Qt::Key key) {
        const std::string before = dlg.GetDlgItemText(IDC_SOURCE);
        Press(key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetDlgItemText(IDC_SOURCE) != before; }));
        return dlg.GetDlgItemText(IDC_SOURCE);
    }
};

constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

TEST_F(DesktopTest, PasteGoUndoRedoViewCssAndTheTabOrder) {
    dlg.OnCppDefaults();
    const std::string source = "#include <map>\r\nint main() // gr\xC3\xBC\xC3\x9F\r\n{\r\n"
                               "\treturn 1 < 2 && 3 > 2;\r\n}\r\n";
    ProfileSettings settings;
    dlg.ControlsToSettings(settings);
    std::string html;
    ASSERT_EQ(ConvertSource(settings, source, 1, html), 1);
    QGuiApplication::clipboard()->setText(platform::FromAppText(source));
    dlg.SetItemFocus(IDC_SOURCE);
    ASSERT_EQ(Press(Qt::Key_V, kCtrl), source);
    ASSERT_EQ(PressButton(Qt::Key_G), html);
    EXPECT_EQ(Press(Qt::Key_Z, kCtrl), source) << "byte for byte";
    EXPECT_EQ(Press(Qt::Key_Z, kCtrlShift), html);
    EXPECT_EQ(Press(Qt::Key_Z, kCtrl), source);
    EXPECT_EQ(Press(Qt::Key_Y, kCtrl), html);
    ASSERT_EQ(PressButton(Qt::Key_W), BuildStyleSheet(settings));
    EXPECT_EQ(Press(Qt::Key_Z, kCtrl), html);
    EXPECT_EQ(Press(Qt::Key_Z, kCtrl), source);
    EXPECT_EQ(Press(Qt::Key_Y, kCtrl), html);

    // One Tab from "View CSS" into the source box; there Ctrl+Tab types a tab, Tab moves on.
    dlg.SetItemFocus(IDC_VIEW_CSS);
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusId(), IDC_SOURCE);
    dlg.SetDlgItemText(IDC_SOURCE, "x");
    EXPECT_EQ(Press(Qt::Key_Tab, kCtrl), "\tx");
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusId(), IDC_TABLE_WIDTH_PERCENT);
    EXPECT_TRUE(messages.empty());
}

// Taking ten megabytes back costs a fraction of converting them.
TEST_F(DesktopTest, TenMegabytesGoThenUndo) {
    dlg.OnCppDefaults();
    std::string source;
    while (source.size() < (std::size_t(10) << 20)) {
        source += "/* Sums. */\r\nlong sum(const std::vector<long>& v)\r\n{\r\n\tlong total = 0;"
                  "\r\n\tfor (auto x : v)\r\n\t\tif (x > 0 && x != -1)\r\n\t\t\ttotal += x; // +"
                  "\r\n\treturn total;\r\n}\r\n";
    }
    dlg.SetDlgItemText(IDC_SOURCE, source);
    QElapsedTimer clock;
    clock.start();
    dlg.OnGo();
    QApplication::processEvents();
    const qint64 go = clock.restart();
    QTest::keyClick(platform::DialogWindowOf(dlg)->windowHandle(), Qt::Key_Z, kCtrl);
    QApplication::processEvents();
    const qint64 undo = clock.elapsed();
    std::printf("10 MB: Go %lld ms, Undo %lld ms\n", qlonglong(go), qlonglong(undo));
    EXPECT_LT(undo * 4, go);
    EXPECT_TRUE(dlg.GetDlgItemText(IDC_SOURCE) == source);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Text lenght is over 64k !"});
}

} // namespace
