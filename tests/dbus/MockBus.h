#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QString>
#include <QThread>

// Mock services served on the session bus from a worker thread, over a connection of their own,
// so the code under test reaches them through the bus daemon as it would the real ones.
class MockBus {
public:
    ~MockBus() { close(); }

    // Whether there is a session bus at all; a test without one skips.
    static bool available() { return QDBusConnection::sessionBus().isConnected(); }
    static constexpr const char* kSkipReason =
        "no session bus (run under dbus-run-session with PENDREL_TEST_ALLOW_BUS=1)";

    // Connects under a name of its own (the prefix and a number) and starts the serving thread.
    void open(const QString& prefix) {
        static int counter = 0;
        m_name = prefix + QStringLiteral("-%1").arg(++counter);
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name));
        ASSERT_TRUE(m_bus->isConnected());
        m_thread.start();
    }
    bool isOpen() const { return m_bus != nullptr; }

    // Moves a mock onto the serving thread; once, before it is served.
    void adopt(QObject& mock) { mock.moveToThread(&m_thread); }

    // Serves the mock's slots at path under the service's name, or stops serving them.
    void serve(const QString& service, const QString& path, QObject& mock, bool on = true) {
        if (on) {
            ASSERT_TRUE(m_bus->registerObject(path, &mock, QDBusConnection::ExportAllSlots));
            ASSERT_TRUE(m_bus->registerService(service));
        } else {
            m_bus->unregisterService(service);
            m_bus->unregisterObject(path);
        }
    }

    // Hands every call to path (and below it) under the service's name to mock, which answers or
    // not as it likes.
    void serveVirtual(const QString& service, const QString& path, QDBusVirtualObject& mock) {
        ASSERT_TRUE(m_bus->registerVirtualObject(path, &mock, QDBusConnection::SubPath));
        ASSERT_TRUE(m_bus->registerService(service));
    }

    bool send(const QDBusMessage& message) { return m_bus->send(message); }

    // Disconnects and stops the serving thread; the services go with the connection.
    void close() {
        if (!m_bus)
            return;
        m_bus.reset();
        QDBusConnection::disconnectFromBus(m_name);
        m_thread.quit();
        m_thread.wait();
    }

private:
    QString m_name;
    std::unique_ptr<QDBusConnection> m_bus;
    QThread m_thread;
};
