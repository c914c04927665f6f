// "&Go" and "Vie&w CSS" through the real widgets: text in, HTML out, focus and selection,
// progress, notices, and running out of memory.

#include "converter.h"
#include "dialog_fixture.h"
#include "memory.h"
#include "profile_settings.h"
#include "style_sheet.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextCursor>

namespace {

using platform::MessageStyle;

// The record that "C++ &defaults" puts into the controls.
void Defaults(ProfileSettings& s) {
    s.n_tab_size = 4;
    s.n_keyword_color = 0x0000FF;
    s.n_comment_color = 0x008000;
    s.n_table_lt_color = 0xA8C8E8;
    s.n_table_dk_color = 0x4084D0;
    s.n_font_size = 13;
    s.n_table_width = 80;
    s.b_table_width_percent = 1;
    s.b_use_table = 1;
    s.SetKeywords("# #define #include int return void while");
}

struct Expected {
    std::string escaped;
    std::string html;
};

class GoTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Click(IDC_CPP_DEFAULTS);
        dlg.SetDlgItemText(IDC_KEYWORD_LIST, "# #define #include int return void while");
    }

    // What the converter makes of `source` with the defaults, on its own.
    static Expected Convert(const std::string& source, int b_css, int tab_size = 4) {
        struct Capture : ConvertObserver {
            void EscapeDone(std::string_view e) override { escaped = e; }
            std::string escaped;
        } capture;
        ProfileSettings s;
        Defaults(s);
        s.n_tab_size = tab_size;
        std::string html;
        EXPECT_EQ(ConvertSource(s, source, b_css, html, &capture), 1);
        return {capture.escaped, html};
    }

    // The source box has the focus, all of its text selected and the caret at the end.
    void ExpectWholeTextSelectedWithFocus() {
        auto* box = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE));
        const QTextCursor cursor = box->textCursor();
        EXPECT_EQ(FocusId(), IDC_SOURCE);
        EXPECT_EQ(cursor.selectionStart(), 0);
        EXPECT_EQ(cursor.selectionEnd(), box->document()->characterCount() - 1);
        EXPECT_EQ(cursor.position(), cursor.selectionEnd());
    }

    void ExpectIdle() {
        auto* bar = static_cast<QProgressBar*>(Widget(IDC_PROGRESS));
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(bar->maximum(), 1024);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "wait cursor left on";
    }
};

const std::string kSample =
    "#include <vector>\r\n\r\nint main(void)\r\n{\r\n\treturn 0; /* done */\r\n}\r\n";

TEST_F(GoTest, ConvertsTheSourceBoxInPlaceInBothStyles) {
    for (int b_css : {1, 0}) {
        dlg.SetCheck(IDC_W3C_CORRECT, b_css);
        dlg.SetDlgItemText(IDC_SOURCE, kSample);
        dlg.SetItemFocus(IDC_TAB_SIZE);
        Click(IDC_GO);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), Convert(kSample, b_css).html) << b_css;
        // Shown with the toolkit's line ends, so a copy has those of the user's system.
        EXPECT_FALSE(
            static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE))->toPlainText().contains(u'\r'));
        ExpectWholeTextSelectedWithFocus();
        ExpectIdle();
    }
    EXPECT_TRUE(messages.empty());

    // Again on the HTML, and on an empty box.
    const std::string first = dlg.GetDlgItemText(IDC_SOURCE);
    Click(IDC_GO);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), Convert(first, 0).html);
    dlg.SetDlgItemText(IDC_SOURCE, "");
    Click(IDC_GO);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), Convert("", 0).html);
}

TEST_F(GoTest, TextBeyondLatinSurvives) {
    const std::string source = "// gr\xC3\xB6\xC3\x9F"
                               "e\xC2\xA0\xE2\x82\xAC\r\nint x;";
    dlg.SetDlgItemText(IDC_SOURCE, source);
    Click(IDC_GO);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), Convert(source, 1).html);
}

TEST_F(GoTest, NoticesShowAsMessagesWhileTheCommandRuns) {
    dlg.SetDlgItemText(IDC_SOURCE, "\tint x;");
    dlg.SetDlgItemText(IDC_TAB_SIZE, "-1");
    Click(IDC_GO);
    dlg.SetDlgItemText(IDC_SOURCE, "\tint x;");
    dlg.SetDlgItemText(IDC_TAB_SIZE, "300");
    Click(IDC_GO);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Negative tab-size = keep tabs");
    EXPECT_EQ(messages[0].style, MessageStyle::Information);
    EXPECT_EQ(messages[1].text, "Max tab-size is 255 !");
    EXPECT_EQ(messages[1].style, MessageStyle::Stop);
    for (const SeenMessage& m : messages) {
        EXPECT_EQ(m.caption, "Tarvo");
        EXPECT_EQ(m.source_box, "\tint x;") << "shown before the text changes";
    }
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), Convert("\tint x;", 1, 255).html);

    // Over 64k: the escaped text is in the box while the notice is up, the HTML after it.
    std::string big;
    while (big.size() < 70000) {
        big += "int f(int a) { return a < 0 && a > -9; } // x\r\n";
    }
    dlg.SetDlgItemText(IDC_TAB_SIZE, "4");
    dlg.SetDlgItemText(IDC_SOURCE, big);
    messages.clear();
    Click(IDC_GO);
    const Expected expected = Convert(big, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Text lenght is over 64k !");
    EXPECT_EQ(messages[0].style, MessageStyle::Stop);
    EXPECT_TRUE(messages[0].source_box == expected.escaped) << "escape result not shown";
    EXPECT_TRUE(dlg.GetDlgItemText(IDC_SOURCE) == expected.html);
    ExpectWholeTextSelectedWithFocus();
    ExpectIdle();
}

TEST_F(GoTest, OutOfMemoryKeepsWhatTheBoxLastShowed) {
    // No keywords, so that every allocation counted belongs to the conversion.
    dlg.SetDlgItemText(IDC_KEYWORD_LIST, "");
    const std::string source = "int x; // c\r\nreturn;";
    Expected expected = Convert(source, 1);
    {
        ProfileSettings s;
        Defaults(s);
        s.ClearKeywords();
        ConvertSource(s, source, 1, expected.html);
    }
    bool kept_source = false;
    bool kept_escaped = false;
    for (long fail_at = 0;; ++fail_at) {
        ASSERT_LT(fail_at, 100);
        dlg.SetDlgItemText(IDC_SOURCE, source);
        messages.clear();
        tarvo::InjectAllocationFailure(fail_at);
        Click(IDC_GO);
        tarvo::InjectAllocationFailure(-1);
        ExpectIdle();
        const std::string shown = dlg.GetDlgItemText(IDC_SOURCE);
        if (shown == expected.html) {
            EXPECT_TRUE(messages.empty());
            break;
        }
        ASSERT_EQ(messages.size(), 1u) << fail_at;
        EXPECT_EQ(messages[0].text, "Not enough memory");
        EXPECT_EQ(messages[0].style, MessageStyle::Stop);
        kept_source = kept_source || shown == source;
        kept_escaped = kept_escaped || shown == expected.escaped;
        ASSERT_TRUE(shown == source || shown == expected.escaped) << fail_at << ": " << shown;
    }
    EXPECT_TRUE(kept_source && kept_escaped);
}

TEST_F(GoTest, ViewCssShowsTheSameStyleSheetWhateverTheStyleAndTable) {
    ProfileSettings s;
    Defaults(s);
    const std::string sheet = BuildStyleSheet(s);
    dlg.SetProgressPos(IDC_PROGRESS, 5);
    for (int toggles = 0; toggles < 8; ++toggles) {
        dlg.SetCheck(IDC_W3C_CORRECT, toggles & 1);
        dlg.SetCheck(IDC_USE_TABLE, toggles & 2);
        dlg.SetCheck(IDC_TABLE_WIDTH_PERCENT, toggles & 4);
        dlg.SetDlgItemText(IDC_TABLE_WIDTH, std::to_string(toggles));
        dlg.SetDlgItemText(IDC_SOURCE, "int x;");
        dlg.SetItemFocus(IDC_GO);
        Click(IDC_VIEW_CSS);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), sheet);
        ExpectWholeTextSelectedWithFocus();
    }
    EXPECT_EQ(dlg.GetProgressPos(IDC_PROGRESS), 5) << "View CSS leaves the bar alone";
    EXPECT_TRUE(messages.empty());
}

} // namespace
