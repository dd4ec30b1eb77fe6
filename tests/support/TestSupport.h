#pragma once

#include <functional>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QString>

namespace testsupport {

// The sandboxed home of this test process (see TestMain.cpp).
inline QString home() {
    return qEnvironmentVariable("HOME");
}

// A file or folder under tests/fixtures.
inline QString fixture(const QString& relative) {
    return QStringLiteral(PENDREL_FIXTURES "/") + relative;
}

// The built app, for tests that start it as a second process.
inline QString appBinary() {
    return QStringLiteral(PENDREL_BINARY_DIR "/src/pendrel");
}

// A fresh folder under the sandbox, unique per call.
inline QString freshDir(const QString& name) {
    static int counter = 0;
    const QString path = home() + QStringLiteral("/t%1-%2").arg(++counter).arg(name);
    QDir().mkpath(path);
    return path;
}

// Processes events until condition holds or timeoutMs passes; returns the condition's value.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace testsupport
