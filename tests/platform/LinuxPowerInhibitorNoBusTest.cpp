#include "platform/LinuxPowerInhibitor.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>

// Without a reachable bus the backend refuses at once instead of hanging or crashing.
TEST(LinuxPowerInhibitorNoBus, RefusesQuickly) {
    const auto nowhere = [] {
        return QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/pendrel-no-bus"),
            QStringLiteral("pendrel-no-bus"));
    };
    LinuxPowerInhibitor inhibitor(nowhere, nowhere);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(
        inhibitor.acquire(PowerInhibitor::Kind::DisplaySleep, "Pendrel Keep Awake").isValid());
    EXPECT_FALSE(
        inhibitor.acquire(PowerInhibitor::Kind::IdleSleep, "Pendrel Keep Awake").isValid());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(inhibitor.heldCount(), 0);
    inhibitor.release(1); // nothing held: ignored
}
