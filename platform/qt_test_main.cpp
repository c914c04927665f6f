// main() for the Qt tests: a QApplication for the widgets, and every Qt warning fails the test
// that caused it. The widgets live on the offscreen platform unless QT_QPA_PLATFORM names
// another, so that a test program started by hand needs no display.

#include "platform/qt_test_warnings.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    qInstallMessageHandler(platform::FailOnWarnings);
    return RUN_ALL_TESTS();
}
