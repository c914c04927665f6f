// The Colours dialog: reached from the colour boxes' menu and by key, kept in profiles, reset by
// "C++ defaults"; tarvo-colours.png in the build folder shows it after "Suggested colours".

#include "app/dialog_fixture.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <functional>

namespace {

using ColoursTest = DialogTest;

// The Colours window while it runs modally, found by its title.
QWidget* ColoursWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == "Colours") {
            return w;
        }
    }
    return nullptr;
}

QAbstractButton* Button(QWidget* window, const QString& text) {
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

// Runs `act` on the Colours window once it shows, after `open` was called to open it.
void WithColours(const std::function<void()>& open, const std::function<void(QWidget*)>& act) {
    bool seen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* window = ColoursWindow()) {
            poll.stop();
            seen = true;
            act(window);
        }
    });
    poll.start();
    open();
    poll.stop();
    EXPECT_TRUE(seen);
    EXPECT_EQ(ColoursWindow(), nullptr) << "the dialog is gone";
}

std::string Classes(CTarvoDlg& d) {
    ProfileSettings s;
    d.ControlsToSettings(s);
    std::string text;
    for (const ClassColourField& c : kClassColourFields) {
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(s.*c.field);
    }
    return text;
}

} // namespace

TEST_F(ColoursTest, ReachedByMenuAndKeyKeptInProfilesResetByDefaults) {
    Click(IDC_CPP_DEFAULTS);
    EXPECT_EQ(Classes(dlg), "-1 -1 -1 -1");

    // The comment colour box's menu; "Suggested colours" turns every class on.
    QWidget* box = Widget(IDC_COMMENT_COLOR);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* entry = menu->actions().back();
    EXPECT_EQ(entry->text(), "Colo&urs...");
    menu->close();
    WithColours([&] { entry->trigger(); },
                [](QWidget* window) {
                    EXPECT_FALSE(Button(window, "&String")->isChecked());
                    Button(window, "S&uggested colours")->click();
                    // A picture of it beside the dialog's own screenshots.
                    QApplication::processEvents();
                    const QImage image = window->grab().toImage();
                    EXPECT_TRUE(
                        image.save(QStringLiteral(TARVO_SCREENSHOT_DIR "/tarvo-colours.png")));
                    Button(window, "OK")->click();
                });
    const std::string suggested =
        std::to_string(kSuggestedStringColor) + " " + std::to_string(kSuggestedCharColor) + " " +
        std::to_string(kSuggestedNumberColor) + " " + std::to_string(kSuggestedPreprocColor);
    EXPECT_EQ(Classes(dlg), suggested);

    // F7 from the source box: a typed colour, a class switched off; Escape changes nothing.
    // The desktop gives the focus back to the main window when a dialog closes; offscreen, the
    // test does.
    const auto f7 = [&] {
        QWidget* window = platform::DialogWindowOf(dlg);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        dlg.SetItemFocus(IDC_SOURCE);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
    };
    WithColours(f7, [&](QWidget* window) {
        const auto boxes = window->findChildren<QLineEdit*>();
        ASSERT_EQ(boxes.size(), 7); // the four colours, then the line-number section's three
        EXPECT_EQ(boxes[0]->text(), "A31515");
        boxes[0]->setText("#123456");
        const QString character = boxes[1]->text();
        boxes[1]->setText("no number"); // named, and OK waits until it is put right
        Button(window, "&Number")->click();
        Button(window, "OK")->click();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Texts(),
                  std::vector<std::string>{"Character: 'no number' is not a colour (RRGGBB)"});
        messages.clear();
        boxes[1]->setText(character);
        Button(window, "OK")->click();
    });
    EXPECT_EQ(Classes(dlg), std::to_string(0x123456) + " " + std::to_string(kSuggestedCharColor) +
                                " -1 " + std::to_string(kSuggestedPreprocColor));
    WithColours(f7, [](QWidget* window) {
        Button(window, "&String")->click();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    EXPECT_EQ(Classes(dlg), std::to_string(0x123456) + " " + std::to_string(kSuggestedCharColor) +
                                " -1 " + std::to_string(kSuggestedPreprocColor));

    // Save and Load keep them; "C++ defaults" puts them back to off.
    const std::string kept = Classes(dlg);
    dlg.SetDlgItemText(IDC_PROFILE_NAME, "colours");
    Click(IDC_SAVE);
    Click(IDC_CPP_DEFAULTS);
    EXPECT_EQ(Classes(dlg), "-1 -1 -1 -1");
    Click(IDC_LOAD);
    EXPECT_EQ(Classes(dlg), kept);
    EXPECT_TRUE(messages.empty());
}

// A profile's values that cannot be used are named at its load, and shown where they are put
// right: the Colours dialog opens with them; kept as read, a save keeps them.
TEST_F(ColoursTest, ALoadNamesWhatItCannotUseInTheColoursDialog) {
    Click(IDC_CPP_DEFAULTS);
    dlg.SetDlgItemText(IDC_PROFILE_NAME, "odd");
    Click(IDC_SAVE);
    std::string path;
    for (const auto& e : std::filesystem::directory_iterator(".")) {
        if (e.path().filename().string().rfind("profile_", 0) == 0) {
            path = e.path().string();
        }
    }
    ASSERT_FALSE(path.empty());
    WriteWholeFile(path, "b_line_numbers = 1; p_s_marked_lines = \"1-3,x\";\n"
                         "n_first_line = -1; n_font_size = 0x;\n" +
                             ReadWholeFile(path));
    messages.clear();
    WithColours([&] { Click(IDC_LOAD); },
                [&](QWidget* window) {
                    // The first of them under the boxes, as a typed one would stand there.
                    bool named = false;
                    for (const QLabel* label : window->findChildren<QLabel*>()) {
                        named = named || label->text() == "n_first_line: '-1' is not a line "
                                                          "number (from 0 to 999999999)";
                    }
                    EXPECT_TRUE(named);
                    EXPECT_EQ(dlg.GetDlgItemText(IDC_FONT_SIZE), "0");
                    const auto boxes = window->findChildren<QLineEdit*>();
                    ASSERT_EQ(boxes.size(), 7);
                    EXPECT_EQ(boxes[4]->text(), "-1");
                    EXPECT_EQ(boxes[5]->text(), "1-3,x");
                    // Typed or loaded, a value that is none is named the same way.
                    Button(window, "OK")->click();
                    EXPECT_TRUE(window->isVisible());
                    boxes[4]->setText("2000000000");
                    Button(window, "OK")->click();
                    EXPECT_TRUE(window->isVisible());
                    QTest::keyClick(window, Qt::Key_Escape);
                });
    ASSERT_EQ(Texts().size(), 3u);
    EXPECT_EQ(Texts()[0], "The profile holds values that cannot be used:\n"
                          "n_font_size: '0x' has no digits after 0x (read as 0)\n"
                          "n_first_line: '-1' is not a line number (from 0 to 999999999)\n"
                          "p_s_marked_lines: 'x' is not a line number (from 0 to 999999999) or a "
                          "range such as 3-5");
    EXPECT_EQ(Texts()[1], "First line: '-1' is not a line number (from 0 to 999999999)");
    EXPECT_EQ(Texts()[2], "First line: '2000000000' is not a line number (from 0 to 999999999)");
    Click(IDC_SAVE);
    const std::string saved = ReadWholeFile(path);
    EXPECT_NE(saved.find("p_s_marked_lines = \"1-3,x\";"), std::string::npos) << saved;
    EXPECT_NE(saved.find("n_first_line = -1;"), std::string::npos) << saved;
}
