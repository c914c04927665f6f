// Renders the dialog into the build folder so that anyone can look at it without a display:
// tarvo-dialog.png after "C++ &defaults" and a Go on a short sample, tarvo-context-menu.png with
// the source box's context menu open, tarvo-resized.png with the window made larger,
// tarvo-tabs.png with a tab-indented source at three tab sizes.

#include "app/dialog_fixture.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>

#include <cstdlib>

namespace {

// Pixels dark enough to be text; without fonts the boxes and buttons come out empty.
long DarkPixels(const QImage& image) {
    long dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    return dark;
}

void Save(const QImage& image, const char* name) {
    const QString path = QStringLiteral(TARVO_SCREENSHOT_DIR "/") + QLatin1String(name);
    EXPECT_TRUE(image.save(path)) << path.toStdString();
}

TEST_F(DialogTest, ScreenshotsAfterDefaultsAndGoWithTheMenuOpenAndResized) {
    Click(IDC_CPP_DEFAULTS);
    dlg.SetDlgItemText(IDC_SOURCE, "#include <stdio.h>\r\n\r\n/* Greets the world. */\r\n"
                                   "int main(void)\r\n{\r\n\tprintf(\"Hello, world!\\n\");"
                                   " // once\r\n\treturn 0;\r\n}\r\n");
    Click(IDC_GO);
    QApplication::processEvents();
    QWidget* window = platform::DialogWindowOf(dlg);
    const QImage image = window->grab().toImage();
    EXPECT_GT(DarkPixels(image), 2000);
    Save(image, "tarvo-dialog.png");

    // The menu is a window of its own: drawn onto the dialog where it opened.
    QWidget* source = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE))->viewport();
    const QPoint at(60, 40);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, source->mapToGlobal(at));
    QApplication::sendEvent(source, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QApplication::processEvents();
    const QRect menu_place(window->mapFromGlobal(menu->pos()), menu->size());
    QImage with_menu(window->rect().united(menu_place).size(), QImage::Format_RGB32);
    with_menu.fill(Qt::white);
    {
        QPainter painter(&with_menu);
        painter.drawImage(0, 0, image);
        painter.drawPixmap(menu_place.topLeft(), menu->grab());
    }
    menu->close();
    EXPECT_GT(DarkPixels(with_menu), DarkPixels(image) + 500) << "the menu's entries";
    Save(with_menu, "tarvo-context-menu.png");

    window->resize(window->size() * 3 / 2);
    QApplication::processEvents();
    const QImage resized = window->grab().toImage();
    EXPECT_EQ(resized.size(), window->size());
    Save(resized, "tarvo-resized.png");
}

// The source as Go's result shows it: each tab `size` spaces, or 8 where Go keeps tabs (a
// browser's width for them at a line's start).
std::string Expanded(std::string text, int size) {
    const std::string spaces(std::size_t(size < 0 ? 8 : size), ' ');
    for (std::size_t at; (at = text.find('\t')) != std::string::npos;) {
        text.replace(at, 1, spaces);
    }
    return text;
}

// For each row of pixels, where its first dark pixel is (-1 for none).
std::vector<int> Indents(const QImage& image) {
    std::vector<int> indents(std::size_t(image.height()), -1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width() && indents[std::size_t(y)] < 0; ++x) {
            indents[std::size_t(y)] = qGray(image.pixel(x, y)) < 128 ? x : -1;
        }
    }
    return indents;
}

// The source box shows a tab as wide as Go makes it: a tab-indented source stands in the columns
// of its result, at tab sizes 2, 4 and 8 (kept tabs); tarvo-tabs.png shows all three.
TEST_F(DialogTest, TabsInTheSourceBoxStandWhereTheOutputPutsThem) {
    const std::string source = "int f(int x)\r\n{\r\n\tif (x < 0 && x > -9)\r\n\t\treturn 1;"
                               "\r\n\t\t\t// deep\r\n\treturn 0;\r\n}\r\n";
    auto* box = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE));
    dlg.SetItemFocus(IDC_GO); // no caret in the pictures
    std::vector<QImage> shots;
    for (const int size : {2, 4, -1}) {
        dlg.SetDlgItemInt(IDC_TAB_SIZE, size, true);
        dlg.SetDlgItemText(IDC_SOURCE, Expanded(source, size));
        const std::vector<int> output = Indents(box->viewport()->grab().toImage());
        dlg.SetDlgItemText(IDC_SOURCE, source);
        shots.push_back(box->viewport()->grab().toImage());
        const std::vector<int> shown = Indents(shots.back());
        ASSERT_EQ(shown.size(), output.size());
        for (std::size_t y = 0; y < shown.size(); ++y) {
            EXPECT_LE(std::abs(shown[y] - output[y]), 1) << "tab size " << size << ", row " << y;
        }
    }
    EXPECT_NE(Indents(shots[0]), Indents(shots[1])) << "the tab size makes a difference";
    const QRect text(0, 0, 300, 10 * box->fontMetrics().height());
    QImage all(text.width() * 3, text.height(), QImage::Format_RGB32);
    QPainter painter(&all);
    for (int i = 0; i < 3; ++i) {
        painter.drawImage(text.width() * i, 0, shots[std::size_t(i)].copy(text));
    }
    painter.end();
    Save(all, "tarvo-tabs.png");
}

} // namespace
