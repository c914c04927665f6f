// The Colours dialog: reached from the colour boxes' menu and by key, kept in profiles, reset by
// "C++ defaults"; tarvo-colours.png in the build folder shows it after "Suggested colours".

#include "app/dialog_fixture.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QImage>
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
    WithColours(f7, [](QWidget* window) {
        const auto boxes = window->findChildren<QLineEdit*>();
        ASSERT_EQ(boxes.size(), 7); // the four colours, then the line-number section's three
        EXPECT_EQ(boxes[0]->text(), "A31515");
        boxes[0]->setText("#123456");
        boxes[1]->setText("no number"); // keeps its colour
        Button(window, "&Number")->click();
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
