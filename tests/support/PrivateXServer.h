#pragma once

// An Xvfb server of the test's own on a display it picks itself (-displayfd), stopped with the
// test. For tests that need a real X server where the rest run offscreen.
#include "support/TestSupport.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>

namespace testsupport {

class PrivateXServer {
public:
    ~PrivateXServer() { stop(); }

    // Starts the server with one screen of this size ("320x240x24"); false when Xvfb is not
    // installed or did not come up within 10 s. display() then names it (":5").
    bool start(const char* screen) {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return false;
        m_server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", screen});
        QByteArray number;
        waitFor(
            [&] {
                number += m_server.readAllStandardOutput();
                return number.contains('\n') || m_server.state() == QProcess::NotRunning;
            },
            10000);
        if (!number.contains('\n'))
            return false;
        m_display = ':' + number.trimmed();
        return true;
    }

    void stop() {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }

    const QByteArray& display() const { return m_display; }

private:
    QProcess m_server;
    QByteArray m_display;
};

} // namespace testsupport
