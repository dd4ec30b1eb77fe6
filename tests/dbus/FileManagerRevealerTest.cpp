#include "MockBus.h"
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
        if (!MockBus::available())
            GTEST_SKIP() << MockBus::kSkipReason;
        m_bus.open(QStringLiteral("pendrel-mock-filemanager"));
        m_bus.adopt(fileManager);
    }
    void TearDown() override {
        if (!m_bus.isOpen())
            return;
        serve(false);
        m_bus.close();
    }
    void serve(bool on) {
        m_bus.serve("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", fileManager,
                    on);
    }

    MockFileManager fileManager;

private:
    MockBus m_bus;
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
