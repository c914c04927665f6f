// The window beyond its template: resizing, the toggles' pressed look, the context menus with
// the keyword sets, and the typed minus of the tab size.

#include "app/dialog_fixture.h"
#include "res/keyword_sets.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

#include <iterator>
#include <memory>
#include <set>
#include <sstream>

namespace {

using WindowTest = DialogTest;

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// Opens the context menu of `box` and returns it; it closes itself when picked from.
QMenu* OpenContextMenu(QWidget* box) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                            box->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(static_cast<QPlainTextEdit*>(box)->viewport(), &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// The entries of `menu` as "caption|shortcut", separators left out.
std::vector<std::string> Entries(const QMenu* menu) {
    std::vector<std::string> entries;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            entries.push_back(action->text().toStdString() + "|" +
                              action->shortcut().toString().toStdString());
        }
    }
    return entries;
}

TEST_F(WindowTest, OnlyTheSourceBoxAndTheProgressBarGrowWithTheWindow) {
    QWidget* window = platform::DialogWindowOf(dlg);
    const QSize base = window->size();
    EXPECT_EQ(window->minimumSize(), base);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    std::vector<QRect> before;
    for (std::size_t i = 0; i < platform::ControlCount(dlg); ++i) {
        before.push_back(platform::ControlAt(dlg, i)->geometry());
    }
    window->resize(base + QSize(230, 170));
    QApplication::processEvents();
    for (std::size_t i = 0; i < before.size(); ++i) {
        QRect expected = before[i];
        const int id = platform::ControlOf(dlg, platform::ControlAt(dlg, i))->id;
        if (id == IDC_SOURCE) {
            expected.adjust(0, 0, 230, 170);
        } else if (id == IDC_PROGRESS) {
            expected.adjust(0, 0, 230, 0);
        }
        EXPECT_EQ(platform::ControlAt(dlg, i)->geometry(), expected) << i;
    }
    window->resize(base - QSize(50, 50));
    QApplication::processEvents();
    EXPECT_EQ(window->size(), base) << "never smaller than the template";
    EXPECT_EQ(Widget(IDC_SOURCE)->geometry(), before[31]);
}

TEST_F(WindowTest, APressedToggleLooksPlainlyPressedInEveryShippedStyle) {
    auto* toggle = static_cast<QPushButton*>(Widget(IDC_USE_TABLE));
    const QRect place = toggle->geometry();
    for (const char* name : {"Fusion", "Windows"}) {
        const std::unique_ptr<QStyle> style(QStyleFactory::create(name));
        ASSERT_NE(style, nullptr) << name;
        toggle->setStyle(style.get());
        dlg.SetCheck(IDC_USE_TABLE, 0);
        const QImage released = toggle->grab().toImage();
        dlg.SetCheck(IDC_USE_TABLE, 1);
        const QImage pressed = toggle->grab().toImage();
        EXPECT_EQ(toggle->geometry(), place) << name;
        ASSERT_EQ(pressed.size(), released.size());
        // Most of the face changes colour, and not by a shade.
        long changed = 0;
        for (int y = 0; y < pressed.height(); ++y) {
            for (int x = 0; x < pressed.width(); ++x) {
                const QColor a = pressed.pixelColor(x, y);
                const QColor b = released.pixelColor(x, y);
                const int distance = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                                     std::abs(a.blue() - b.blue());
                changed += distance > 120 ? 1 : 0;
            }
        }
        EXPECT_GT(changed * 2, long(pressed.width()) * pressed.height()) << name;
        toggle->setStyle(nullptr);
    }
}

TEST_F(WindowTest, ContextMenusAddTheirEntriesToTheToolkitsOwn) {
    QMenu* menu = OpenContextMenu(Widget(IDC_SOURCE));
    ASSERT_NE(menu, nullptr);
    const std::vector<std::string> entries = Entries(menu);
    ASSERT_GE(entries.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(entries.end() - 5, entries.end()),
              (std::vector<std::string>{"Copy as ric&h text|Ctrl+Shift+C", "Pre&view in browser|F5",
                                        "Save as HTML pa&ge...|Ctrl+S",
                                        "&Open source file...|Ctrl+O", "Colo&urs...|F7"}));
    EXPECT_NE(menu->findChild<QAction*>("edit-copy"), nullptr) << "the toolkit's entries stay";
    menu->close();

    // Each keyword set replaces the keyword box's text with its words, one space apart.
    menu = OpenContextMenu(Widget(IDC_KEYWORD_LIST));
    ASSERT_NE(menu, nullptr);
    QMenu* sets = menu->actions().back()->menu();
    ASSERT_NE(sets, nullptr);
    EXPECT_EQ(menu->actions().back()->text(), "Insert &keywords");
    const std::vector<std::string> names{"C++23", "C23", "Java", "C#", "JavaScript/TypeScript",
                                         "Go"};
    const std::vector<std::size_t> counts{108, 71, 54, 77, 46, 25};
    const std::vector<std::string> builtin = Words(kCppDefaultKeywords);
    const std::vector<std::string> preprocessor(builtin.begin(), builtin.begin() + 12);
    ASSERT_EQ(sets->actions().size(), qsizetype(names.size()));
    std::string all;
    for (std::size_t i = 0; i < names.size(); ++i) {
        QAction* action = sets->actions()[qsizetype(i)];
        EXPECT_EQ(action->text().toStdString(), names[i]);
        dlg.SetDlgItemText(IDC_KEYWORD_LIST, "old");
        action->trigger();
        const std::string text = dlg.GetDlgItemText(IDC_KEYWORD_LIST);
        const std::vector<std::string> words = Words(text);
        EXPECT_EQ(text, TarvoKeywordSets()[i].words);
        EXPECT_EQ(words.size(), counts[i]) << names[i];
        EXPECT_EQ(std::set<std::string>(words.begin(), words.end()).size(), words.size());
        EXPECT_EQ(text.find("  "), std::string::npos);
        const bool c_family = i < 2;
        EXPECT_EQ(std::vector<std::string>(words.begin(), words.begin() + 12) == preprocessor,
                  c_family)
            << names[i];
        ProfileSettings s;
        dlg.ControlsToSettings(s);
        EXPECT_EQ(std::size_t(s.KeywordCount()), counts[i]);
        all += " " + text + " ";
    }
    for (const char* word : {" co_await ", " override ", " typeof_unqual ", " _Bool ", " strictfp ",
                             " stackalloc ", " debugger ", " fallthrough "}) {
        EXPECT_NE(all.find(word), std::string::npos) << word;
    }
    menu->close();
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowTest, TheTabSizeTakesATypedLeadingMinusAndNoOtherBoxDoes) {
    const auto type = [&](int id, const char* keys) {
        dlg.SetDlgItemText(id, "");
        dlg.SetItemFocus(id);
        QTest::keyClicks(QApplication::focusWidget(), keys);
        return dlg.GetDlgItemText(id);
    };
    EXPECT_EQ(type(IDC_TAB_SIZE, "-1"), "-1");
    EXPECT_EQ(type(IDC_TAB_SIZE, "1-2"), "12");
    EXPECT_EQ(type(IDC_TAB_SIZE, "--3"), "-3");
    Key(Qt::Key_Home);
    QTest::keyClicks(QApplication::focusWidget(), "-");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TAB_SIZE), "-3") << "one sign only";
    EXPECT_EQ(type(IDC_FONT_SIZE, "-1"), "1");
    EXPECT_EQ(type(IDC_TABLE_WIDTH, "-80"), "80");
    ProfileSettings s;
    type(IDC_TAB_SIZE, "-1");
    dlg.ControlsToSettings(s);
    EXPECT_EQ(s.n_tab_size, -1);
}

} // namespace
