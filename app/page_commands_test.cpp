// Handing the result on: the clipboard's flavours, the preview page and the saved page,
// for source in the box and for Go's result, in both styles, with and without the table.

#include "app/dialog_fixture.h"
#include "render/converter.h"
#include "render/html_page.h"
#include "render/rich_text.h"
#include "render/rtf_text.h"
#include "render/style_sheet.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

using platform::MessageStyle;

const std::string kSample = "#include <stdio.h>\r\n/* Greets. */\r\nint main(void)\r\n{\r\n"
                            "\treturn printf(\"gr\xC3\xBC\xC3\x9F dich & <du>\\n\"); // once\r\n}";

std::string WithLf(std::string text) {
    std::erase(text, '\r');
    return text;
}

class PageTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Click(IDC_CPP_DEFAULTS);
    }

    // The converter's result for `source` with the controls' settings, and those settings.
    std::string Convert(const std::string& source, ProfileSettings& s) {
        dlg.ControlsToSettings(s);
        std::string html;
        EXPECT_EQ(ConvertSource(s, source, dlg.GetCheck(IDC_W3C_CORRECT), html), 1);
        return html;
    }

    // The page that preview and save write for `source` converted with the controls' settings.
    std::string ExpectedPage(const std::string& source, const std::string& title) {
        ProfileSettings s;
        const std::string html = Convert(source, s);
        return BuildHtmlPage(title, WithLf(html),
                             dlg.GetCheck(IDC_W3C_CORRECT) != 0 ? WithLf(BuildStyleSheet(s)) : "");
    }

    // The shortcut as the user presses it, with the focus in the keyword box.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        dlg.SetItemFocus(IDC_KEYWORD_LIST);
        Key(key, modifiers);
    }
};

TEST_F(PageTest, CopyAsRichTextPutsTheCodeAndItsColouredRenderingOnTheClipboard) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (int toggles = 0; toggles < 4; ++toggles) {
        const int b_css = toggles & 1;
        dlg.SetCheck(IDC_W3C_CORRECT, b_css);
        dlg.SetCheck(IDC_USE_TABLE, toggles & 2);
        dlg.SetDlgItemText(IDC_KEYWORD_COLOR, "0000FF");
        dlg.SetDlgItemText(IDC_SOURCE, kSample);
        ProfileSettings s;
        const std::string html = Convert(kSample, s);
        const std::string rich = BuildRichText(kSample, s, b_css);
        ASSERT_NE(rich.find("0000FF"), std::string::npos);
        std::string rtf;
        ASSERT_EQ(BuildRtf(kSample, s, b_css, rtf), 1);
        // Word processors take the RTF, under whichever name they ask for.
        const auto expect_rtf = [&] {
            for (const char* type : {"text/rtf", "application/rtf", "text/richtext"}) {
                EXPECT_EQ(clipboard->mimeData()->data(type).toStdString(), rtf) << type;
            }
        };

        // Source in the box: converted as Go would, the box left alone.
        Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), kSample);
        EXPECT_EQ(platform::ToAppText(clipboard->mimeData()->text()), kSample) << toggles;
        EXPECT_EQ(platform::ToAppText(clipboard->mimeData()->html()), rich) << toggles;
        expect_rtf();

        // Go's result in the box: that result, and the source it came from, even after the
        // settings changed.
        Click(IDC_GO);
        dlg.SetDlgItemText(IDC_KEYWORD_COLOR, "FF0000");
        clipboard->clear();
        dlg.OnCopyRichText();
        EXPECT_EQ(platform::ToAppText(clipboard->mimeData()->text()), kSample) << toggles;
        EXPECT_EQ(platform::ToAppText(clipboard->mimeData()->html()), rich) << toggles;
        expect_rtf();
    }
    // An edited result is source again.
    dlg.SetDlgItemText(IDC_SOURCE, dlg.GetDlgItemText(IDC_SOURCE) + "x");
    dlg.OnCopyRichText();
    EXPECT_EQ(platform::ToAppText(clipboard->mimeData()->text()), dlg.GetDlgItemText(IDC_SOURCE));
    EXPECT_NE(platform::ToAppText(clipboard->mimeData()->html()).find("FF0000"), std::string::npos);
    EXPECT_TRUE(messages.empty());

    // Go's notices, and the box still as it was while they are up.
    dlg.SetDlgItemText(IDC_TAB_SIZE, "-1");
    dlg.SetDlgItemText(IDC_SOURCE, "\tint x;");
    dlg.OnCopyRichText();
    ASSERT_EQ(Texts(), std::vector<std::string>{"Negative tab-size = keep tabs"});
    EXPECT_EQ(messages[0].source_box, "\tint x;");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "\tint x;");
    EXPECT_EQ(Progress(), 0);
}

TEST_F(PageTest, PreviewWritesTheWholePageToAPrivateFolderAndOpensIt) {
    std::string folder;
    {
        RecordingDlg other;
        Open(other);
        other.OnCppDefaults();
        for (int b_css : {1, 0}) {
            other.SetCheck(IDC_W3C_CORRECT, b_css);
            other.SetDlgItemText(IDC_SOURCE, kSample);
            dlg.SetCheck(IDC_W3C_CORRECT, b_css); // for the expected page
            opened.clear();
            other.SetItemFocus(IDC_SOURCE);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
            ASSERT_EQ(opened.size(), 1u);
            EXPECT_EQ(ReadWholeFile(opened[0]), ExpectedPage(kSample, "Tarvo preview")) << b_css;
            EXPECT_EQ(other.GetDlgItemText(IDC_SOURCE), kSample);
        }
        folder = std::filesystem::path(opened[0]).parent_path();
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    EXPECT_FALSE(std::filesystem::exists(folder)) << "the folder ends with the dialog";
    messages.clear(); // the other dialog's start

    open_result = false;
    dlg.SetDlgItemText(IDC_SOURCE, kSample);
    Click(IDC_GO);
    dlg.OnPreviewInBrowser();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Tarvo");
    EXPECT_EQ(messages[0].style, MessageStyle::Stop);
    EXPECT_EQ(messages[0].text, "Can't open the browser !\n" + opened.back());

    // The desktop's own opener, with an xdg-open that finds no browser: said once it has ended.
    const std::filesystem::path bin = m_dir / "bin";
    std::filesystem::create_directory(bin);
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\nexit 3\n";
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin";
    ::setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
    messages.clear();
    {
        const platform::ScopedFileOpener desktop({});
        dlg.OnPreviewInBrowser();
        EXPECT_TRUE(messages.empty()) << "the opener has not been seen to end yet";
        EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 60000));
    }
    ::setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Can't open the browser !\n" + opened.back());
    EXPECT_EQ(messages[0].style, MessageStyle::Stop);
}

TEST_F(PageTest, SaveWritesThePageWholeOrLeavesTheOldFile) {
    dlg.SetDlgItemText(IDC_SOURCE, kSample);
    next_file = (m_dir / "sample.html").string();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(file_dialogs, std::vector<platform::FileDialogMode>{platform::FileDialogMode::Save});
    EXPECT_EQ(ReadWholeFile(next_file), ExpectedPage(kSample, "sample"));
    EXPECT_TRUE(messages.empty());
    // A typed name without a suffix gets ".html"; one with a suffix, or a dot only in front,
    // is taken as it is.
    for (const auto& [typed, written] :
         {std::pair{"page", "page.html"}, {"page.htm", "page.htm"}, {".page", ".page.html"}}) {
        next_file = (m_dir / typed).string();
        dlg.OnSaveHtmlPage();
        EXPECT_TRUE(std::filesystem::exists(m_dir / written)) << typed;
        std::filesystem::remove(m_dir / written);
    }
    next_file = (m_dir / "sample.html").string();

    // A disk that takes no more: the old page stays, no scrap is left beside it.
    const std::string old_page = ReadWholeFile(next_file);
    dlg.SetDlgItemText(IDC_SOURCE, kSample + kSample);
    {
        const FileSizeLimit full(old_page.size());
        dlg.OnSaveHtmlPage();
    }
    EXPECT_EQ(ReadWholeFile(next_file), old_page);
    EXPECT_EQ(Listing(), "profiles.ini\nsample.html\n");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error saving page !\n" + next_file + ": " + std::strerror(EFBIG));

    // A folder that cannot exist: under a regular file.
    messages.clear();
    next_file = (m_dir / "sample.html" / "page.html").string();
    dlg.OnSaveHtmlPage();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Error saving page !\n" + next_file + ": " + std::strerror(ENOTDIR));
    EXPECT_EQ(messages[0].style, MessageStyle::Stop);

    // Cancelled: nothing converted, nothing written.
    messages.clear();
    next_file.clear();
    dlg.SetDlgItemText(IDC_TAB_SIZE, "-1");
    dlg.OnSaveHtmlPage();
    EXPECT_TRUE(messages.empty());
}

} // namespace
