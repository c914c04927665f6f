// The dialog on a real X server with a window manager, driven through the window system as the
// user's keys come: paste, Go, Undo and Redo, View CSS, the source box in the Tab order, and a
// ten-megabyte Go taken back.

#include "app/dialog_fixture.h"
#include "convert/converter.h"
#include "convert/style_sheet.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QWindow>

namespace {

class DesktopTest : public DialogTest {
protected:
    // A key as the window system delivers it to the active window.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(platform::DialogWindowOf(dlg)->windowHandle(), key, modifiers);
    }
    std::string Box() const { return dlg.GetDlgItemText(IDC_SOURCE); }
    // A button pressed by its access key shows itself pressed before it acts: waits for the text
    // of the source box to change.
    std::string PressButton(Qt::Key access_key) {
        const std::string before = Box();
        Press(access_key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Box() != before; }));
        return Box();
    }
    std::string Undo() {
        Press(Qt::Key_Z, Qt::ControlModifier);
        return Box();
    }
    std::string Redo(bool y) {
        Press(y ? Qt::Key_Y : Qt::Key_Z,
              y ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        return Box();
    }
};

TEST_F(DesktopTest, PasteGoUndoRedoViewCssAndTheTabOrder) {
    Press(Qt::Key_D, Qt::AltModifier); // C++ defaults
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.GetDlgItemText(IDC_TAB_SIZE) == "4"; }));
    const std::string source = "#include <map>\r\n\r\nint main() // gr\xC3\xBC\xC3\x9F\r\n{\r\n"
                               "\treturn 1 < 2 && 3 > 2; /* \"x\" */\r\n}\r\n";
    QGuiApplication::clipboard()->setText(platform::FromAppText(source));
    dlg.SetItemFocus(IDC_SOURCE);
    Press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Box(), source);
    ProfileSettings settings;
    dlg.ControlsToSettings(settings);
    const std::string css = BuildStyleSheet(settings);
    std::string html;
    ASSERT_EQ(ConvertSource(settings, source, 1, html), 1);
    ASSERT_EQ(PressButton(Qt::Key_G), html);
    EXPECT_EQ(Undo(), source) << "byte for byte";
    EXPECT_EQ(Redo(false), html);
    EXPECT_EQ(Undo(), source);
    EXPECT_EQ(Redo(true), html);
    ASSERT_EQ(PressButton(Qt::Key_W), css);
    EXPECT_EQ(Undo(), html);
    EXPECT_EQ(Undo(), source);
    EXPECT_EQ(Redo(true), html);

    // One Tab from "View CSS" to the source box; there Tab moves on and Ctrl+Tab types a tab.
    dlg.SetItemFocus(IDC_VIEW_CSS);
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusId(), IDC_SOURCE);
    dlg.SetDlgItemText(IDC_SOURCE, "x");
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Box(), "\tx");
    EXPECT_EQ(FocusId(), IDC_SOURCE);
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusId(), IDC_TABLE_WIDTH_PERCENT);
    EXPECT_TRUE(messages.empty());
}

// Keeping the source for Undo costs Go nothing, and taking ten megabytes back costs less than
// converting them did.
TEST_F(DesktopTest, TenMegabytesGoThenUndo) {
    dlg.OnCppDefaults();
    std::string source;
    while (source.size() < (std::size_t(10) << 20)) {
        source += "/* Sums the positive values. */\r\ntemplate <typename T>\r\nlong sum(const "
                  "std::vector<T>& v)\r\n{\r\n\tlong total = 0; // running\r\n\tfor (auto x : v)"
                  "\r\n\t\tif (x > 0 && x != -1)\r\n\t\t\ttotal += x;\r\n\treturn total;\r\n}\r\n";
    }
    dlg.SetDlgItemText(IDC_SOURCE, source);
    QApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    dlg.OnGo();
    QApplication::processEvents();
    const qint64 go = clock.restart();
    Press(Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    const qint64 undo = clock.elapsed();
    std::printf("10 MB: Go %lld ms, Undo %lld ms\n", static_cast<long long>(go),
                static_cast<long long>(undo));
    EXPECT_TRUE(Box() == source);
    EXPECT_LT(undo, go);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Text lenght is over 64k !"});
}

} // namespace
