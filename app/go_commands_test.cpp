// "&Go" and "Vie&w CSS" through the real widgets: text in, HTML out, focus and selection,
// progress, notices, and running out of memory.

#include "app/dialog_fixture.h"
#include "render/converter.h"
#include "render/style_sheet.h"
#include "style/theme_style.h"
#include "themes/builtin_themes.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace {

using platform::MessageStyle;

constexpr const char* kKeywords = "# #define #include int return void while";

class GoTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Click(IDC_CPP_DEFAULTS);
        dlg.SetDlgItemText(IDC_KEYWORD_LIST, kKeywords);
    }

    // What the converter alone makes of `source` with those settings: {escaped, html}.
    static std::pair<std::string, std::string> Convert(const std::string& source, int b_css,
                                                       int tab_size = 4,
                                                       const char* keywords = kKeywords) {
        struct Capture : ConvertObserver {
            void EscapeDone(std::string_view e) override { escaped = e; }
            std::string escaped;
        } capture;
        ProfileSettings s;
        SetCppDefaults(s);
        s.n_tab_size = tab_size;
        s.SetKeywords(keywords);
        std::string html;
        EXPECT_EQ(ConvertSource(s, source, b_css, html, &capture), 1);
        return {capture.escaped, html};
    }

    std::string Go(const std::string& source) {
        dlg.SetDlgItemText(IDC_SOURCE, source);
        dlg.SetItemFocus(IDC_TAB_SIZE);
        Click(IDC_GO);
        return dlg.GetDlgItemText(IDC_SOURCE);
    }

    // Focus in the source box, all of its text selected, caret at the end; the bar at
    // `progress` and no wait cursor left behind.
    void ExpectDone(bool selected = true, int progress = 0) {
        auto* box = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE));
        const QTextCursor cursor = box->textCursor();
        if (selected) {
            EXPECT_EQ(FocusId(), IDC_SOURCE);
            EXPECT_EQ(cursor.selectionStart(), 0);
            EXPECT_EQ(cursor.selectionEnd(), box->document()->characterCount() - 1);
            EXPECT_EQ(cursor.position(), cursor.selectionEnd());
        }
        EXPECT_EQ(Progress(), progress);
        EXPECT_EQ(static_cast<QProgressBar*>(Widget(IDC_PROGRESS))->maximum(), 1024);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "wait cursor left on";
    }
};

TEST_F(GoTest, ConvertsTheSourceBoxInPlace) {
    const std::string sample = "#include <vector>\r\n\r\nint main(void)\r\n{\r\n\treturn 0; "
                               "/* done */\r\n}\r\n// gr\xC3\xB6\xC3\x9F"
                               "e\xC2\xA0\xE2\x82\xAC";
    for (int b_css : {1, 0}) {
        dlg.SetCheck(IDC_W3C_CORRECT, b_css);
        EXPECT_EQ(Go(sample), Convert(sample, b_css).second) << b_css;
        // Shown with the toolkit's line ends, so a copy has those of the user's system.
        EXPECT_FALSE(
            static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE))->toPlainText().contains(u'\r'));
        ExpectDone();
    }
    const std::string html = dlg.GetDlgItemText(IDC_SOURCE);
    EXPECT_EQ(Go(html), Convert(html, 0).second) << "Go again converts the HTML";
    EXPECT_EQ(Go(""), Convert("", 0).second);
    EXPECT_TRUE(messages.empty());
}

// The command-line converter promises the text that Go leaves in the box; both are checked
// against the same file.
TEST_F(GoTest, LeavesWhatTheCommandLineWrites) {
    std::ifstream in(TARVO_CLI_TESTDATA "/sample.cpp", std::ios::binary),
        out(TARVO_CLI_TESTDATA "/sample.html", std::ios::binary);
    const std::string sample{std::istreambuf_iterator<char>(in), {}};
    const std::string html{std::istreambuf_iterator<char>(out), {}};
    ASSERT_FALSE(html.empty());
    Click(IDC_CPP_DEFAULTS);
    dlg.SetCheck(IDC_W3C_CORRECT, 1);
    auto* box = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE));
    box->setPlainText(QString::fromUtf8(sample.data(), qsizetype(sample.size())));
    Click(IDC_GO);
    EXPECT_EQ(box->toPlainText().toUtf8().toStdString(), html);
    // A carriage return alone is a line break in the box.
    dlg.SetDlgItemText(IDC_SOURCE, "a\rb");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "a\r\nb");
}

TEST_F(GoTest, NoticesShowAsMessagesWhileTheCommandRuns) {
    dlg.SetDlgItemText(IDC_TAB_SIZE, "-1");
    Go("\tint x;");
    dlg.SetDlgItemText(IDC_TAB_SIZE, "300");
    EXPECT_EQ(Go("\tint x;"), Convert("\tint x;", 1, 255).second);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Negative tab-size = keep tabs");
    EXPECT_EQ(messages[0].style, MessageStyle::Information);
    EXPECT_EQ(messages[1].text, "Max tab-size is 255 !");
    EXPECT_EQ(messages[1].style, MessageStyle::Stop);
    for (const SeenMessage& m : messages) {
        EXPECT_EQ(m.caption, "Tarvo");
        EXPECT_EQ(m.source_box, "\tint x;") << "shown before the text changes";
    }

    // Over 64k: the notice comes before the HTML. The escaped text is in the box while the
    // notice is up when the scan ran long enough to show it, else the source still is.
    std::string big;
    while (big.size() < 70000) {
        big += "int f(int a) { return a < 0 && a > -9; } // x\r\n";
    }
    dlg.SetDlgItemText(IDC_TAB_SIZE, "4");
    const auto [escaped, html] = Convert(big, 1);
    for (const auto& [delay, shown] : {std::pair{std::chrono::hours(1), big}, {{}, escaped}}) {
        dlg.SetEscapedTextDelay(delay);
        messages.clear();
        EXPECT_TRUE(Go(big) == html);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Text lenght is over 64k !");
        EXPECT_EQ(messages[0].style, MessageStyle::Stop);
        EXPECT_TRUE(messages[0].source_box == shown) << delay.count();
        ExpectDone();
    }
}

// Large texts reach the box by another road than small ones; the box must not tell them apart.
TEST_F(GoTest, LargeTextsLeaveTheBoxAsSmallOnesDo) {
    auto* box = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE));
    const QFont font = box->document()->defaultFont();
    std::string big;
    while (big.size() < 80000) { // HTML of over 256K characters
        big += "\tint x = 1; /* y */\r\n";
    }
    for (int round = 0; round < 2; ++round) { // the second replaces a document made the same way
        const std::string html = Convert(big, 1).second;
        EXPECT_TRUE(Go(big) == html);
        ExpectDone();
        const QTextDocument* doc = box->document();
        EXPECT_EQ(doc->defaultFont(), font);
        EXPECT_EQ(doc->defaultTextOption().wrapMode(), QTextOption::NoWrap);
        EXPECT_TRUE(doc->isUndoRedoEnabled());
        EXPECT_FALSE(doc->isUndoAvailable()) << "the source came back with undo";
        EXPECT_EQ(doc->blockCount(), std::count(html.begin(), html.end(), '\n') + 1);
    }
    box->insertPlainText("typed"); // an edit can be undone as usual
    EXPECT_TRUE(box->document()->isUndoAvailable());
    EXPECT_EQ(Go("int y;"), Convert("int y;", 1).second);
}

TEST_F(GoTest, OutOfMemoryKeepsWhatTheBoxLastShowed) {
    // No keywords, so that every allocation counted belongs to the conversion.
    dlg.SetDlgItemText(IDC_KEYWORD_LIST, "");
    const std::string source = "int x; // c\r\nreturn;";
    const auto [escaped, html] = Convert(source, 1, 4, "");
    dlg.SetEscapedTextDelay({}); // the escaped text shows as soon as the scan starts
    bool kept_source = false;
    bool kept_escaped = false;
    for (long fail_at = 0;; ++fail_at) {
        ASSERT_LT(fail_at, 100);
        messages.clear();
        tarvo::InjectAllocationFailure(fail_at);
        const std::string shown = Go(source);
        tarvo::InjectAllocationFailure(-1);
        ExpectDone(shown == html);
        if (shown == html) {
            EXPECT_TRUE(messages.empty());
            break;
        }
        ASSERT_EQ(messages.size(), 1u) << fail_at;
        EXPECT_EQ(messages[0].text, "Not enough memory");
        EXPECT_EQ(messages[0].style, MessageStyle::Stop);
        ASSERT_TRUE(shown == source || shown == escaped) << fail_at << ": " << shown;
        kept_source = kept_source || shown == source;
        kept_escaped = kept_escaped || shown == escaped;
    }
    EXPECT_TRUE(kept_source && kept_escaped);
}

// A profile's themes reach Go and View CSS, and stay with the settings to the next save; an
// unknown one leaves the profile's own colours.
TEST_F(GoTest, TheProfilesThemesReachGoAndViewCss) {
    const std::string source = "int main() { return 0; } // done\r\n";
    ProfileSettings s;
    dlg.ControlsToSettings(s);
    std::snprintf(s.p_s_theme, sizeof s.p_s_theme, "nord");
    std::snprintf(s.p_s_dark_theme, sizeof s.p_s_dark_theme, "no-such");
    dlg.SettingsToControls(s);
    StyleRecord style;
    ASSERT_EQ(BuildStyle(s, style), 1);
    ApplyTheme(*FindBuiltInTheme("nord"), style);
    std::string expected;
    ASSERT_EQ(ConvertSource(s, style, source, dlg.GetCheck(IDC_W3C_CORRECT), expected), 1);
    EXPECT_EQ(Go(source), expected);
    Click(IDC_VIEW_CSS);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), BuildStyleSheet(style));
    EXPECT_NE(BuildStyleSheet(style), BuildStyleSheet(s));
    ProfileSettings saved;
    dlg.ControlsToSettings(saved);
    EXPECT_STREQ(saved.p_s_theme, "nord");
    EXPECT_STREQ(saved.p_s_dark_theme, "no-such");
}

TEST_F(GoTest, ViewCssShowsTheSameStyleSheetWhateverTheStyleAndTable) {
    ProfileSettings s;
    SetCppDefaults(s);
    dlg.SetProgressPos(IDC_PROGRESS, 5);
    for (int toggles = 0; toggles < 8; ++toggles) {
        dlg.SetCheck(IDC_W3C_CORRECT, toggles & 1);
        dlg.SetCheck(IDC_USE_TABLE, toggles & 2);
        dlg.SetCheck(IDC_TABLE_WIDTH_PERCENT, toggles & 4);
        dlg.SetDlgItemText(IDC_TABLE_WIDTH, std::to_string(toggles));
        dlg.SetDlgItemText(IDC_SOURCE, "int x;");
        dlg.SetItemFocus(IDC_GO);
        Click(IDC_VIEW_CSS);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), BuildStyleSheet(s));
        ExpectDone(true, 5); // View CSS leaves the bar alone
    }
    EXPECT_TRUE(messages.empty());
}

// Undo takes Go and View CSS back in one step to the very text the box held (the escaped text
// shown between included) and Redo brings their text back, over random sources, small and large;
// the context menu's Undo is the same; typed edits from before a Go stay undoable after it; an
// edit after an Undo drops what Redo had; the box keeps the last 16 texts.
TEST_F(GoTest, UndoAndRedoTakeGoAndViewCssBackInOneStep) {
    dlg.SetEscapedTextDelay({});
    const std::vector<std::string> pieces{"int", " ", "\t", "\r\n", "/* c */", "<&>", "\xC3\xB6"};
    std::mt19937 random(29);
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
        Key(k, m);
        return dlg.GetDlgItemText(IDC_SOURCE);
    };
    const auto redo = [&](int round) {
        return round % 2 ? key(Qt::Key_Y) : key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    };
    std::string source;
    for (int round = 0; round < 8; ++round) {
        source.clear();
        while (source.size() < (round == 0 ? 300000u : std::size_t(random() % 200))) {
            source += pieces[random() % pieces.size()];
        }
        const std::string html = Go(source); // SetDlgItemText first: nothing before to undo
        const std::string css = (Click(IDC_VIEW_CSS), dlg.GetDlgItemText(IDC_SOURCE));
        EXPECT_TRUE(key(Qt::Key_Z) == html && key(Qt::Key_Z) == source && key(Qt::Key_Z) == source)
            << round;
        EXPECT_TRUE(redo(round) == html && redo(round + 1) == css && redo(round) == css) << round;
        EXPECT_TRUE(key(Qt::Key_Z) == html);
        ExpectDone(); // as Go left it, wholly selected
    }
    QWidget* viewport = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE))->viewport();
    const QPoint at(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(menu->findChild<QAction*>("edit-undo"), nullptr);
    menu->findChild<QAction*>("edit-undo")->trigger();
    menu->close();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), source);

    dlg.SetDlgItemText(IDC_SOURCE, "");
    QTest::keyClicks(Widget(IDC_SOURCE), "int x;");
    Click(IDC_GO);
    EXPECT_EQ(key(Qt::Key_Z), "int x;");
    QTest::keyClicks(Widget(IDC_SOURCE), "y"); // where the caret stood before Go
    EXPECT_EQ(key(Qt::Key_Y), "int x;y");
    for (int i = 0; i < 9; ++i) {
        key(Qt::Key_Z);
    }
    EXPECT_EQ(key(Qt::Key_Z), "");
    for (int i = 1; i <= 20; ++i) {
        dlg.SetDlgItemTextAsStep(IDC_SOURCE, std::to_string(i), platform::UndoStep::New);
    }
    for (int i = 0; i < 19; ++i) {
        key(Qt::Key_Z);
    }
    EXPECT_EQ(key(Qt::Key_Z), "4");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Text lenght is over 64k !"}) << "the large Go's";
}

} // namespace
