#include "platform/FileRevealer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QMutex>
#include <QThread>

// A stand-in for the file manager's interface, served from a worker thread on a connection of
// its own so the call really travels through the private bus.
class MockFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown() const {
        QMutexLocker lock(&m_mutex);
        return m_shown;
    }

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        Q_UNUSED(startupId);
        QMutexLocker lock(&m_mutex);
        m_shown << uris;
    }

private:
    mutable QMutex m_mutex;
    QList<QStringList> m_shown;
};

namespace {

class FileManagerRevealerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus (run under dbus-run-session with "
                            "PENDREL_TEST_ALLOW_BUS=1)";
        static int counter = 0;
        m_name = QStringLiteral("pendrel-mock-filemanager-%1").arg(++counter);
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name));
        ASSERT_TRUE(m_bus->isConnected());
        m_thread.start();
        fileManager.moveToThread(&m_thread);
    }
    void TearDown() override {
        if (!m_bus)
            return;
        serve(false);
        m_bus.reset();
        QDBusConnection::disconnectFromBus(m_name);
        m_thread.quit();
        m_thread.wait();
    }
    void serve(bool on) {
        if (on) {
            ASSERT_TRUE(m_bus->registerObject("/org/freedesktop/FileManager1", &fileManager,
                                              QDBusConnection::ExportAllSlots));
            ASSERT_TRUE(m_bus->registerService("org.freedesktop.FileManager1"));
        } else {
            m_bus->unregisterService("org.freedesktop.FileManager1");
            m_bus->unregisterObject("/org/freedesktop/FileManager1");
        }
    }

    MockFileManager fileManager;

private:
    QString m_name;
    std::unique_ptr<QDBusConnection> m_bus;
    QThread m_thread;
};

} // namespace

TEST_F(FileManagerRevealerTest, AsksTheFileManagerToShowTheFile) {
    serve(true);
    QList<QUrl> opened;
    FileManagerRevealer revealer({}, [&](const QUrl& url) {
        opened << url;
        return true;
    });
    QList<bool> outcomes;
    revealer.reveal("/home/someone/.config/autostart/my app.desktop",
                    [&](bool shown) { outcomes << shown; });
    ASSERT_TRUE(testsupport::waitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(fileManager.shown(),
              QList<QStringList>{{"file:///home/someone/.config/autostart/my%20app.desktop"}});
    EXPECT_EQ(outcomes, QList<bool>{true});
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(FileManagerRevealerTest, OpensTheFolderWhenNoFileManagerAnswers) {
    // Where the bus could start a real file manager, this test would start it: not here.
    const QStringList activatable =
        QDBusConnection::sessionBus().interface()->activatableServiceNames().value();
    if (activatable.contains("org.freedesktop.FileManager1"))
        GTEST_SKIP() << "a file manager is installed and the bus would start it";
    // The opener's answer is the outcome: one that finds no launcher means nothing showed it.
    for (const bool opens : {true, false}) {
        QList<QUrl> opened;
        FileManagerRevealer revealer({}, [&](const QUrl& url) {
            opened << url;
            return opens;
        });
        QList<bool> outcomes;
        revealer.reveal("/etc/xdg/autostart/applet.desktop",
                        [&](bool shown) { outcomes << shown; });
        ASSERT_TRUE(testsupport::waitFor([&] { return !outcomes.isEmpty(); }));
        EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile("/etc/xdg/autostart")});
        EXPECT_EQ(outcomes, QList<bool>{opens});
    }
}

#include "FileManagerRevealerTest.moc"
