// main() for the Qt tests: a QApplication for the widgets, and every Qt warning fails the test
// that caused it. The widgets live on the offscreen platform unless QT_QPA_PLATFORM names
// another, so that a test program started by hand needs no display.

#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

namespace {

void FailOnWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    // Set-up chatter of the bare test environment, not faults of ours.
    if (message.startsWith(QLatin1String("QStandardPaths:")) ||
        message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        ADD_FAILURE() << "Qt: " << message.toStdString();
    }
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    qInstallMessageHandler(FailOnWarnings);
    return RUN_ALL_TESTS();
}
