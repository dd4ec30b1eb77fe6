#include "vitals/KeepAwakeManager.h"
#include "fakes/FakePowerInhibitor.h"
#include "fakes/FakePowerSource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

// Readable QString values in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

using Duration = KeepAwakeManager::Duration;

const QString kOff = QStringLiteral("Off — your Mac can sleep normally.");

// A manager on fakes: a clock the test moves, a power flag it flips, and a tick interval that is
// either the real 15 seconds (tests that must not tick) or a few milliseconds.
class KeepAwakeTest : public ::testing::Test {
protected:
    void make(int tickMs = 15000) {
        auto inhibitor = std::make_unique<FakePowerInhibitor>();
        fake = inhibitor.get();
        KeepAwakeManager::Deps b;
        b.inhibitor = std::move(inhibitor);
        b.powerSource = std::make_unique<FakePowerSource>(&onPower);
        b.clock = [this] { return now; };
        b.tickIntervalMs = tickMs;
        manager = std::make_unique<KeepAwakeManager>(std::move(b));
    }

    // Waits for one more tick (each tick acquires, or stops).
    bool waitForTick() {
        const int before = fake->acquireCount;
        return testsupport::waitFor(
            [&] { return fake->acquireCount > before || !manager->isActive(); });
    }

    QDateTime now = QDateTime(QDate(2025, 3, 1), QTime(10, 0), Qt::UTC);
    bool onPower = true;
    FakePowerInhibitor* fake = nullptr;
    std::unique_ptr<KeepAwakeManager> manager;
};

} // namespace

TEST_F(KeepAwakeTest, StartHoldsOneNamedAssertionAndDescribesIt) {
    make();
    EXPECT_EQ(manager->statusLine(), kOff);
    manager->setDuration(Duration::OneHour);
    manager->start();
    ASSERT_TRUE(manager->isActive());
    EXPECT_EQ(fake->log, QStringList{"acquire 1 idle"});
    EXPECT_EQ(fake->names, QStringList{"Pendrel Keep Awake"});
    EXPECT_EQ(manager->tickIntervalMs(), 15000);
    // Whole minutes fully left: a full hour already reads 59, as a countdown does.
    EXPECT_EQ(manager->statusLine(), "On — preventing idle sleep · display may sleep · power only"
                                     " · about 59 min left");

    // A wake refreshes the line without restarting the period: the minutes are cut.
    now = now.addSecs(61);
    emit fake->systemWoke();
    ASSERT_TRUE(testsupport::waitFor([&] { return manager->lastNote() == "Mac woke"; }));
    EXPECT_TRUE(manager->statusLine().endsWith(" · about 58 min left"));

    // Settings wait for applySettings, which also restarts the period from now.
    manager->setOnlyOnPower(false);
    EXPECT_TRUE(manager->statusLine().contains("power only"));
    now = now.addSecs(600);
    manager->applySettings();
    EXPECT_EQ(manager->endDate(), now.addSecs(3600));
    EXPECT_EQ(manager->statusLine(),
              "On — preventing idle sleep · display may sleep · about 59 min left");
}

TEST_F(KeepAwakeTest, DisplayPartTellsWhatIsHeld) {
    make();
    manager->setKeepDisplayAwake(true);
    manager->start();
    EXPECT_EQ(fake->log, QStringList{"acquire 1 display"});
    EXPECT_EQ(manager->statusLine(), "On — preventing idle sleep · display stays awake · power "
                                     "only · until you turn it off");

    EXPECT_FALSE(manager->displayRefused());

    // The system keeps the machine awake but refuses the display part: not claimed, and said.
    QSignalSpy refusals(manager.get(), &KeepAwakeManager::displayRefusedChanged);
    fake->refuseDisplay = true;
    manager->start();
    ASSERT_TRUE(manager->isActive());
    EXPECT_TRUE(manager->statusLine().contains(" · display may sleep · "));
    EXPECT_TRUE(manager->displayRefused());
    // Switched off: nothing is refused any more.
    manager->stop(KeepAwakeManager::turnedOffNote());
    EXPECT_FALSE(manager->displayRefused());
    // The display setting turned off while on: the machine alone was asked for.
    manager->start();
    EXPECT_TRUE(manager->displayRefused());
    manager->setKeepDisplayAwake(false);
    EXPECT_TRUE(manager->displayRefused()); // until the setting is applied
    manager->applySettings();
    EXPECT_FALSE(manager->displayRefused());
    EXPECT_EQ(refusals.size(), 4);
}

TEST_F(KeepAwakeTest, ARefusedDisplayIsSaidUntilAHoldSucceeds) {
    make(10);
    fake->refuseDisplay = true;
    manager->setKeepDisplayAwake(true);
    manager->start();
    ASSERT_TRUE(manager->isActive());
    EXPECT_TRUE(manager->displayRefused());
    ASSERT_TRUE(waitForTick());
    EXPECT_TRUE(manager->displayRefused());

    // The screensaver service appears: the next tick holds the display, and the refusal goes.
    fake->refuseDisplay = false;
    ASSERT_TRUE(waitForTick());
    EXPECT_TRUE(manager->heldAssertionKeepsDisplayAwake());
    EXPECT_FALSE(manager->displayRefused());
    EXPECT_TRUE(manager->statusLine().contains("display stays awake"));
}

TEST_F(KeepAwakeTest, StartOnBatteryWithPowerOnlyDoesNotSwitchOn) {
    make();
    onPower = false;
    manager->start();
    EXPECT_FALSE(manager->isActive());
    EXPECT_EQ(fake->acquireCount, 0);
    EXPECT_EQ(manager->lastNote(),
              "Plug in power first — Keep Awake is set to work only while charging.");
    EXPECT_EQ(manager->statusLine(), kOff);

    // Without the rule the battery does not matter, and start clears the old note.
    manager->setOnlyOnPower(false);
    manager->start();
    EXPECT_TRUE(manager->isActive());
    EXPECT_TRUE(manager->lastNote().isEmpty());
}

TEST_F(KeepAwakeTest, RefusedStartLeavesNothingBehind) {
    make();
    fake->refuse = true;
    manager->start();
    EXPECT_FALSE(manager->isActive());
    EXPECT_EQ(manager->lastNote(), "The system refused the stay-awake request. Try again, or use "
                                   "systemd-inhibit in a terminal as a fallback.");
    EXPECT_EQ(manager->statusLine(), kOff);

    // Refused while a period was running: the old assertion goes too, not left held while
    // the status says off.
    fake->refuse = false;
    manager->start();
    fake->refuse = true;
    manager->start();
    EXPECT_FALSE(manager->isActive());
    EXPECT_FALSE(manager->isTicking());
    EXPECT_TRUE(fake->held.isEmpty());
}

TEST_F(KeepAwakeTest, EachPeriodEndsAtItsEndDate) {
    for (Duration d : {Duration::OneHour, Duration::TwoHours, Duration::FourHours}) {
        SCOPED_TRACE(KeepAwakeManager::rawValue(d).toStdString());
        make(10);
        const QDateTime started = now;
        manager->setDuration(d);
        manager->start();
        const qint64 secs = *KeepAwakeManager::seconds(d);

        now = started.addSecs(secs - 121); // two whole minutes and a second
        ASSERT_TRUE(waitForTick());
        EXPECT_TRUE(manager->statusLine().endsWith(" · about 2 min left"));
        now = started.addSecs(secs - 120); // exactly two minutes: only one is fully left
        ASSERT_TRUE(waitForTick());
        EXPECT_TRUE(manager->statusLine().endsWith(" · about 1 min left"));
        now = started.addSecs(secs - 30);
        ASSERT_TRUE(waitForTick());
        EXPECT_TRUE(manager->isActive());
        EXPECT_TRUE(manager->statusLine().endsWith(" · about 1 min left"));

        now = started.addSecs(secs);
        ASSERT_TRUE(testsupport::waitFor([&] { return !manager->isActive(); }));
        EXPECT_EQ(manager->lastNote(), "Timer finished — your Mac can sleep again.");
        EXPECT_TRUE(fake->held.isEmpty());
        EXPECT_FALSE(manager->isTicking());
        EXPECT_EQ(manager->statusLine(), kOff);
    }
}

TEST_F(KeepAwakeTest, EveryTickTakesTheNewAssertionBeforeReleasingTheOld) {
    make(10);
    manager->start();
    ASSERT_TRUE(waitForTick());
    ASSERT_GE(fake->log.size(), 3);
    EXPECT_EQ(fake->log.mid(0, 3), (QStringList{"acquire 1 idle", "acquire 2 idle", "release 1"}));
    EXPECT_EQ(fake->held.size(), 1);
}

TEST_F(KeepAwakeTest, PowerOnlyStopsWithinOneTickOnBattery) {
    make(10);
    manager->start();
    onPower = false;
    ASSERT_TRUE(testsupport::waitFor([&] { return !manager->isActive(); }));
    EXPECT_EQ(
        manager->lastNote(),
        "Stopped — switched to battery. Plug in and turn Keep Awake on again if you need it.");
    EXPECT_TRUE(fake->held.isEmpty());
}

TEST_F(KeepAwakeTest, RefusedReassertionKeepsTheOldAssertionAndTheTruth) {
    make(10);
    manager->start();
    // The user asks for the display too, but the system refuses the replacement.
    fake->refuse = true;
    manager->setKeepDisplayAwake(true);
    manager->applySettings();
    ASSERT_TRUE(waitForTick());
    EXPECT_TRUE(manager->isActive());
    EXPECT_EQ(fake->held, QSet<quint32>{1});
    EXPECT_TRUE(manager->statusLine().contains("display may sleep"));

    // The next granted tick swaps it in.
    fake->refuse = false;
    ASSERT_TRUE(waitForTick());
    EXPECT_EQ(fake->held.size(), 1);
    EXPECT_FALSE(fake->held.contains(1));
    EXPECT_TRUE(manager->statusLine().contains("display stays awake"));
}

TEST_F(KeepAwakeTest, StopAlwaysReleasesAndKeepsTheNoteUnlessGiven) {
    make();
    manager->start();
    manager->stop(KeepAwakeManager::turnedOffNote());
    EXPECT_TRUE(fake->held.isEmpty());
    EXPECT_FALSE(manager->isTicking());
    EXPECT_EQ(manager->lastNote(), "Turned off");
    manager->stop();
    EXPECT_EQ(manager->lastNote(), "Turned off");

    // Going away while on lets the assertion go as well.
    manager->start();
    QSet<quint32> heldAtEnd{99};
    fake->onDestroyed = [&](const QSet<quint32>& held) { heldAtEnd = held; };
    manager.reset();
    EXPECT_TRUE(heldAtEnd.isEmpty());
}

TEST_F(KeepAwakeTest, BatteryFoundBySettingsOrWakeStops) {
    make();
    QSignalSpy active(manager.get(), &KeepAwakeManager::isActiveChanged);
    manager->applySettings(); // while off: nothing but the status
    emit fake->systemWoke();
    QCoreApplication::processEvents();
    EXPECT_EQ(fake->acquireCount, 0);
    EXPECT_EQ(active.count(), 0);

    manager->start();
    onPower = false;
    manager->applySettings();
    EXPECT_FALSE(manager->isActive());
    EXPECT_TRUE(fake->held.isEmpty());
    EXPECT_EQ(manager->lastNote(), "Paused — Mac is on battery. Plug in to resume, or turn off "
                                   "“Only while on power”.");

    onPower = true;
    manager->start();
    onPower = false;
    emit fake->systemWoke();
    ASSERT_TRUE(testsupport::waitFor([&] { return !manager->isActive(); }));
    EXPECT_EQ(manager->lastNote(), "Stopped — Mac is on battery.");
}
