// Renders the dialog into the build folder so that anyone can look at it without a display:
// tarvo-dialog.png after "C++ &defaults" and a Go on a short sample, tarvo-context-menu.png with
// the source box's context menu open, tarvo-resized.png with the window made larger.

#include "app/dialog_fixture.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>

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

} // namespace
