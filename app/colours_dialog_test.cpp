// The Colours dialog: reached from the colour boxes' menu and by key, kept in profiles, reset by
// "C++ defaults"; tarvo-colours.png in the build folder shows it after "Suggested colours".

#include "app/dialog_fixture.h"
#include "platform/colour_dialog.h"
#include "platform/edit_box.h"
#include "render/css_rules.h"
#include "themes/builtin_themes.h"
#include "themes/contrast.h"
#include "themes/theme_file.h"

#include <QAction>
#include <QComboBox>

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

// The colour of a colour box's swatch, -1 for none.
int32_t Swatch(QWidget* box) {
    return static_cast<platform::EditBox*>(box)->Swatch();
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
    EXPECT_EQ(Classes(dlg), "-1 -1 -1 -1 -1 -1 -1 -1");

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
    std::string names; // appended: GCC 12's Release build warns on " " + a new string
    for (const int32_t colour : {kSuggestedFunctionColor, kSuggestedTypeColor,
                                 kSuggestedNamespaceColor, kSuggestedMacroColor}) {
        names.append(" ").append(std::to_string(colour));
    }
    const std::string suggested = std::to_string(kSuggestedStringColor) + " " +
                                  std::to_string(kSuggestedCharColor) + " " +
                                  std::to_string(kSuggestedNumberColor) + " " +
                                  std::to_string(kSuggestedPreprocColor) + names;
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
        ASSERT_EQ(boxes.size(), 11); // the eight colours, then the line-number section's three
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
                                " -1 " + std::to_string(kSuggestedPreprocColor) + names);
    WithColours(f7, [](QWidget* window) {
        Button(window, "&String")->click();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    EXPECT_EQ(Classes(dlg), std::to_string(0x123456) + " " + std::to_string(kSuggestedCharColor) +
                                " -1 " + std::to_string(kSuggestedPreprocColor) + names);

    // Save and Load keep them; "C++ defaults" puts them back to off.
    const std::string kept = Classes(dlg);
    dlg.SetDlgItemText(IDC_PROFILE_NAME, "colours");
    Click(IDC_SAVE);
    Click(IDC_CPP_DEFAULTS);
    EXPECT_EQ(Classes(dlg), "-1 -1 -1 -1 -1 -1 -1 -1");
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
                    ASSERT_EQ(boxes.size(), 11);
                    EXPECT_EQ(boxes[8]->text(), "-1");
                    EXPECT_EQ(boxes[9]->text(), "1-3,x");
                    // Typed or loaded, a value that is none is named the same way.
                    Button(window, "OK")->click();
                    EXPECT_TRUE(window->isVisible());
                    boxes[8]->setText("2000000000");
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

// The themes: a list of the built-in ones and the profile folder's, a sample in each chosen one,
// each colour's contrast against the theme's background, and the colour picker behind each box's
// button and, in the main window too, its menu.
TEST_F(ColoursTest, ThemesShowTheirSampleContrastAndPickedColours) {
    Theme mine = *FindBuiltInTheme("nord");
    std::snprintf(mine.name, sizeof mine.name, "my-nord");
    std::filesystem::create_directory("themes");
    WriteWholeFile("themes/my-nord.theme", ThemeFileText(mine));
    std::vector<std::string> asked;
    platform::ScopedColourDialogHandler picker([&](uint32_t initial, std::string_view caption) {
        asked.push_back(std::string(caption) + " " + std::to_string(initial));
        return int32_t(0x123456);
    });
    Click(IDC_CPP_DEFAULTS);
    const Theme& nord = *FindBuiltInTheme("nord");
    const auto pick = [](QComboBox* list, const QString& name) {
        const int index = list->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    };
    WithColours(
        [&] { dlg.OnColours(); },
        [&](QWidget* window) {
            const auto lists = window->findChildren<QComboBox*>();
            ASSERT_EQ(lists.size(), 2);
            EXPECT_EQ(lists[0]->currentText(), "classic");
            EXPECT_EQ(lists[1]->currentText(), "none");
            EXPECT_EQ(lists[0]->count(), int(BuiltInThemes().size()) + 1);
            EXPECT_GE(lists[1]->findText("my-nord"), 0);
            QLabel* light = nullptr;
            QLabel* dark = nullptr;
            std::vector<QLabel*> figures;
            for (QLabel* label : window->findChildren<QLabel*>()) {
                if (label->text().contains("<pre")) {
                    (light == nullptr ? light : dark) = label;
                } else if (label->text().endsWith(":1") || label->text().endsWith("low")) {
                    figures.push_back(label);
                }
            }
            ASSERT_NE(light, nullptr);
            EXPECT_EQ(dark, nullptr) << "no dark sample without a dark theme";
            EXPECT_TRUE(light->text().contains("color:#0000FF")); // the profile's keywords
            const auto boxes = window->findChildren<QLineEdit*>();
            ASSERT_GE(boxes.size(), 8);
            ASSERT_EQ(figures.size(), 8u);
            EXPECT_EQ(figures[0]->text().toStdString(),
                      ContrastText(ContrastRatio(0xA31515, 0xFFFFFF)));

            // A theme: its sample, and the figures against its background as typed.
            pick(lists[0], "nord");
            EXPECT_TRUE(
                light->text().contains(QString::fromStdString(CssColour(ShownBackground(nord)))));
            boxes[0]->setText("4C566A");
            EXPECT_EQ(figures[0]->text().toStdString(),
                      ContrastText(ContrastRatio(0x4C566A, ShownBackground(nord))) + " low");
            boxes[0]->setText("ECEFF4");
            EXPECT_FALSE(figures[0]->text().endsWith("low"));
            pick(lists[1], "my-nord");
            bool beside = false;
            for (QLabel* label : window->findChildren<QLabel*>()) {
                beside = beside || (label != light && label->text().contains("<pre"));
            }
            EXPECT_TRUE(beside) << "the dark sample beside the light one";
            QApplication::processEvents();
            EXPECT_TRUE(window->grab().toImage().save(
                QStringLiteral(TARVO_SCREENSHOT_DIR "/tarvo-colours-themes.png")));

            // The picker, from the row's button: its colour in the box, the row on.
            EXPECT_EQ(Swatch(boxes[1]), kSuggestedCharColor);
            std::vector<QAbstractButton*> buttons;
            for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
                if (b->text() == "...") {
                    buttons.push_back(b);
                }
            }
            ASSERT_EQ(buttons.size(), 8u);
            buttons[1]->click();
            EXPECT_EQ(boxes[1]->text(), "123456");
            EXPECT_EQ(Swatch(boxes[1]), 0x123456);
            EXPECT_TRUE(Button(window, "C&haracter")->isChecked());
            Button(window, "OK")->click();
        });
    ProfileSettings s;
    dlg.ControlsToSettings(s);
    EXPECT_STREQ(s.p_s_theme, "nord");
    EXPECT_STREQ(s.p_s_dark_theme, "my-nord");
    EXPECT_EQ(s.n_char_color, 0x123456);
    EXPECT_EQ(s.n_string_color, kClassOff); // typed, but its row stayed off

    // The main window's keyword colour: its swatch, and the picker from its menu and the swatch.
    QWidget* box = Widget(IDC_KEYWORD_COLOR);
    EXPECT_EQ(Swatch(box), 0x0000FF);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* entry = nullptr;
    for (QAction* a : menu->actions()) {
        entry = a->text() == "&Pick colour..." ? a : entry;
    }
    ASSERT_NE(entry, nullptr);
    menu->close();
    entry->trigger();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_KEYWORD_COLOR), "123456");
    EXPECT_EQ(Swatch(box), 0x123456);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0], "Character " + std::to_string(kSuggestedCharColor));
    EXPECT_EQ(asked[1], "Keyword colour " + std::to_string(0x0000FF));
    EXPECT_EQ(asked[2], "Keyword colour " + std::to_string(0x123456)); // from the swatch
    EXPECT_TRUE(messages.empty());

    // A profile whose theme is gone: named at its load, kept in the list, and Go uses the
    // profile's own colours.
    dlg.SetDlgItemText(IDC_PROFILE_NAME, "gone");
    Click(IDC_SAVE);
    std::filesystem::remove("themes/my-nord.theme");
    WithColours([&] { Click(IDC_LOAD); },
                [&](QWidget* window) {
                    EXPECT_EQ(window->findChildren<QComboBox*>()[1]->currentText(), "my-nord");
                    bool named = false;
                    for (const QLabel* label : window->findChildren<QLabel*>()) {
                        named = named || label->text().contains("Unknown theme 'my-nord'");
                    }
                    EXPECT_TRUE(named);
                    QTest::keyClick(window, Qt::Key_Escape);
                });
    EXPECT_EQ(Texts(), std::vector<std::string>{"The profile holds values that cannot be used:\n"
                                                "Unknown theme 'my-nord'"});
}
