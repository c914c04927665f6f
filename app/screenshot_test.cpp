// Renders the dialog after "C++ &defaults" and a Go on a short sample into tarvo-dialog.png in the
// build folder, so that anyone can look at it.

#include "app/dialog_fixture.h"

#include <QImage>
#include <QPixmap>

#include <cstdlib>

namespace {

TEST_F(DialogTest, ScreenshotAfterDefaultsAndGo) {
    Click(IDC_CPP_DEFAULTS);
    dlg.SetDlgItemText(IDC_SOURCE, "#include <stdio.h>\r\n\r\n/* Greets the world. */\r\n"
                                   "int main(void)\r\n{\r\n\tprintf(\"Hello, world!\\n\");"
                                   " // once\r\n\treturn 0;\r\n}\r\n");
    Click(IDC_GO);
    QApplication::processEvents();
    const QImage image = platform::DialogWindowOf(dlg)->grab().toImage();

    // Text was drawn: without fonts the boxes and buttons come out empty.
    long dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            dark += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 2000);

    const char* path = std::getenv("TARVO_SCREENSHOT");
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(image.save(QString::fromUtf8(path)));
}

} // namespace
