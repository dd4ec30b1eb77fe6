#include "platform/LinuxPowerInhibitor.h"
#include "MockBus.h"
#include "support/TestSupport.h"
#include "vitals/KeepAwakeManager.h"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QThread>
#include <unistd.h>

// A stand-in for logind's Manager: Inhibit hands out the write end of a pipe and keeps the read
// end, whose hang-up shows that the client closed its inhibitor. Served from a worker thread;
// its records are guarded for the test thread.
class MockLogind : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~MockLogind() override {
        for (int fd : std::as_const(m_readEnds))
            ::close(fd);
    }

    std::atomic<bool> refuse{false}; // answer AccessDenied
    std::atomic<bool> silent{false}; // never answer

    QList<QStringList> calls() const {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    QList<int> readEnds() const {
        QMutexLocker lock(&m_mutex);
        return m_readEnds;
    }
    // True once every copy of the inhibitor's write end is closed.
    static bool isReleased(int readEnd) {
        pollfd p{readEnd, POLLIN, 0};
        return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        QMutexLocker lock(&m_mutex);
        m_calls << QStringList{what, who, why, mode};
        int fds[2];
        if (silent) {
            setDelayedReply(true);
        } else if (refuse || ::pipe2(fds, O_CLOEXEC) != 0) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Permission denied"));
        } else {
            QDBusUnixFileDescriptor handed(fds[1]); // keeps its own duplicate
            ::close(fds[1]);
            m_readEnds << fds[0];
            return handed;
        }
        return {};
    }

private:
    mutable QMutex m_mutex;
    QList<QStringList> m_calls;
    QList<int> m_readEnds;
};

// A stand-in for org.freedesktop.ScreenSaver with its cookies.
class MockScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QList<QStringList> inhibits() const {
        QMutexLocker lock(&m_mutex);
        return m_inhibits;
    }
    QList<quint32> active() const {
        QMutexLocker lock(&m_mutex);
        return m_active;
    }

public slots:
    quint32 Inhibit(const QString& application, const QString& reason) {
        QMutexLocker lock(&m_mutex);
        m_inhibits << QStringList{application, reason};
        m_active << ++m_next;
        return m_next;
    }
    void UnInhibit(quint32 cookie) {
        QMutexLocker lock(&m_mutex);
        m_active.removeAll(cookie);
    }

private:
    mutable QMutex m_mutex;
    QList<QStringList> m_inhibits;
    QList<quint32> m_active;
    quint32 m_next = 100;
};

namespace {

// logind and the screensaver, served from a worker thread on a connection of their own, so
// the backend's calls really travel through the private bus (descriptors included). The
// backend reaches "logind" on the session bus here.
class LinuxPowerInhibitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!MockBus::available())
            GTEST_SKIP() << MockBus::kSkipReason;
        m_bus.open(QStringLiteral("pendrel-mock-power"));
        m_bus.adopt(logind);
        m_bus.adopt(screenSaver);
        m_bus.serve("org.freedesktop.login1", "/org/freedesktop/login1", logind);
        serveScreenSaver(true);
    }

    void TearDown() override {
        if (!m_bus.isOpen())
            return;
        m_bus.serve("org.freedesktop.login1", "/org/freedesktop/login1", logind, false);
        serveScreenSaver(false);
        m_bus.close();
    }

    void serveScreenSaver(bool on) {
        m_bus.serve("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", screenSaver, on);
    }

    static std::unique_ptr<LinuxPowerInhibitor> backend() {
        auto session = [] { return QDBusConnection::sessionBus(); };
        return std::make_unique<LinuxPowerInhibitor>(session, session);
    }

    void sendPrepareForSleep(bool start) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep");
        signal << start;
        ASSERT_TRUE(m_bus.send(signal));
    }

    MockLogind logind;
    MockScreenSaver screenSaver;

private:
    MockBus m_bus;
};

const QString kName = QStringLiteral("Pendrel Keep Awake");

} // namespace

TEST_F(LinuxPowerInhibitorTest, IdleSleepHoldsALogindInhibitorUntilReleased) {
    auto inhibitor = backend();
    QSignalSpy woke(inhibitor.get(), &PowerInhibitor::systemWoke);
    const PowerAssertion first = inhibitor->acquire(PowerInhibitor::Kind::IdleSleep, kName);
    ASSERT_TRUE(first.isValid());
    EXPECT_FALSE(first.keepsDisplayAwake);
    EXPECT_EQ(logind.calls(),
              (QList<QStringList>{{"sleep:idle", "Pendrel", "Pendrel Keep Awake", "block"}}));
    EXPECT_TRUE(screenSaver.inhibits().isEmpty());

    // A replacement is taken while the first is still held; each is let go on its own.
    const PowerAssertion second = inhibitor->acquire(PowerInhibitor::Kind::IdleSleep, kName);
    ASSERT_TRUE(second.isValid());
    const QList<int> ends = logind.readEnds();
    ASSERT_EQ(ends.size(), 2);
    inhibitor->release(first.id);
    EXPECT_TRUE(testsupport::waitFor([&] { return MockLogind::isReleased(ends[0]); }));
    EXPECT_FALSE(MockLogind::isReleased(ends[1]));

    // Only the end of a sleep counts as a wake.
    sendPrepareForSleep(true);
    sendPrepareForSleep(false);
    ASSERT_TRUE(testsupport::waitFor([&] { return woke.count() >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(woke.count(), 1);

    inhibitor.reset(); // going away releases the rest
    EXPECT_TRUE(testsupport::waitFor([&] { return MockLogind::isReleased(ends[1]); }));
}

TEST_F(LinuxPowerInhibitorTest, DisplaySleepAlsoInhibitsTheScreenSaverWhenThereIsOne) {
    auto inhibitor = backend();
    const PowerAssertion held = inhibitor->acquire(PowerInhibitor::Kind::DisplaySleep, kName);
    ASSERT_TRUE(held.isValid());
    EXPECT_TRUE(held.keepsDisplayAwake);
    EXPECT_EQ(screenSaver.inhibits(), (QList<QStringList>{{"Pendrel", "Pendrel Keep Awake"}}));
    ASSERT_EQ(screenSaver.active().size(), 1);
    inhibitor->release(held.id);
    EXPECT_TRUE(screenSaver.active().isEmpty());

    // Without a screensaver the machine is still kept awake, and the assertion says so.
    serveScreenSaver(false);
    const PowerAssertion partial = inhibitor->acquire(PowerInhibitor::Kind::DisplaySleep, kName);
    ASSERT_TRUE(partial.isValid());
    EXPECT_FALSE(partial.keepsDisplayAwake);
}

TEST_F(LinuxPowerInhibitorTest, RefusedOrSilentLogindGivesNoAssertion) {
    auto inhibitor = backend();
    logind.refuse = true;
    EXPECT_FALSE(inhibitor->acquire(PowerInhibitor::Kind::DisplaySleep, kName).isValid());
    EXPECT_TRUE(screenSaver.inhibits().isEmpty()); // no half-held display part
    EXPECT_EQ(inhibitor->heldCount(), 0);

    logind.refuse = false;
    logind.silent = true;
    inhibitor->setCallTimeout(300);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(inhibitor->acquire(PowerInhibitor::Kind::IdleSleep, kName).isValid());
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST_F(LinuxPowerInhibitorTest, KeepAwakeHoldsAndReleasesThroughTheBus) {
    struct Mains : PowerSource {
        bool isOnExternalPower() const override { return true; }
    };
    KeepAwakeManager::Deps b;
    b.inhibitor = backend();
    b.powerSource = std::make_unique<Mains>(); // whatever the machine running the tests says
    b.tickIntervalMs = 20;
    KeepAwakeManager manager(std::move(b));

    manager.setKeepDisplayAwake(true);
    manager.start();
    ASSERT_TRUE(manager.isActive());
    EXPECT_TRUE(manager.statusLine().contains("display stays awake"));
    // Ticks renew the inhibitor, closing each old one once the new one is held.
    ASSERT_TRUE(testsupport::waitFor([&] { return logind.readEnds().size() >= 3; }));
    EXPECT_TRUE(MockLogind::isReleased(logind.readEnds()[0]));
    EXPECT_EQ(screenSaver.active().size(), 1);

    manager.stop(KeepAwakeManager::turnedOffNote());
    const QList<int> all = logind.readEnds();
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return std::all_of(all.begin(), all.end(), &MockLogind::isReleased); }));
    EXPECT_TRUE(screenSaver.active().isEmpty());
}

#include "LinuxPowerInhibitorTest.moc"
