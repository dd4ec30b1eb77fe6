#include "platform/FreedesktopNotifier.h"
#include "MockBus.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QMutex>
#include <QThread>
#include <QVariantMap>

// A stand-in notification server, served from a worker thread on a connection of its own so the
// call really travels through the private bus.
class MockNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString app;
        QString summary;
        QString body;
        QVariantMap hints;
        int timeout = 0;
    };
    QList<Shown> shown() const {
        QMutexLocker lock(&m_mutex);
        return m_shown;
    }

public slots:
    uint Notify(const QString& app, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout) {
        Q_UNUSED(replacesId);
        Q_UNUSED(icon);
        Q_UNUSED(actions);
        QMutexLocker lock(&m_mutex);
        m_shown.append({app, summary, body, hints, timeout});
        return uint(m_shown.size());
    }

private:
    mutable QMutex m_mutex;
    QList<Shown> m_shown;
};

namespace {

class FreedesktopNotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!MockBus::available())
            GTEST_SKIP() << MockBus::kSkipReason;
        m_bus.open(QStringLiteral("pendrel-mock-notifications"));
        m_bus.adopt(server);
        m_bus.serve(kService, kPath, server);
    }
    void TearDown() override {
        if (!m_bus.isOpen())
            return;
        m_bus.serve(kService, kPath, server, false);
        m_bus.close();
    }

    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    MockNotificationServer server;

private:
    MockBus m_bus;
};

} // namespace

TEST_F(FreedesktopNotifierTest, ShowsTheTitleAndBodyWithTheDefaultSound) {
    FreedesktopNotifier notifier;
    notifier.requestPermission();
    notifier.post(
        {"automation-1", "Pendrel · Storage alert", "Disk is 93% full — 70 GB free.", true});
    ASSERT_TRUE(testsupport::waitFor([&] { return !server.shown().isEmpty(); }));
    const MockNotificationServer::Shown shown = server.shown().constFirst();
    EXPECT_EQ(shown.app, "Pendrel");
    EXPECT_EQ(shown.summary, "Pendrel · Storage alert");
    EXPECT_EQ(shown.body, "Disk is 93% full — 70 GB free.");
    EXPECT_EQ(shown.hints.value("sound-name").toString(), "message-new-instant");
    EXPECT_EQ(shown.hints.value("x-pendrel-identifier").toString(), "automation-1");
    EXPECT_EQ(shown.timeout, -1);
}

#include "FreedesktopNotifierTest.moc"
