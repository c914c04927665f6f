#pragma once
// For the Qt tests' main()s: every Qt warning fails the test that caused it.

#include <QString>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace platform {

inline void FailOnWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    // Set-up chatter of the bare test environment, not faults of ours.
    if (message.startsWith(QLatin1String("QStandardPaths:")) ||
        message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        ADD_FAILURE() << "Qt: " << message.toStdString();
    }
}

} // namespace platform
