#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

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

// Writes the bytes to path, its folders made as needed; a file that cannot be written fails the
// test. Returns the path.
inline QString write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
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

// What `of` gives for each item of a list, in the list's order: the ids or names a test compares
// with the ones it expects. `of` is a member (&Row::id), a getter (&File::fileName) or a function
// of the item; items held by pointer work the same.
template <typename List, typename Of> QStringList strings(const List& list, Of of) {
    QStringList out;
    for (const auto& item : list)
        out << std::invoke(of, item);
    return out;
}

} // namespace testsupport
