// Following the desktop's tray through its XEmbed selection (the bus is left out here: the
// status-notifier side is the same bookkeeping, fed by the watcher's signals).
#include "platform/DesktopTrayHost.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

TEST(DesktopTrayHost, FollowsATrayThatComesAndGoesAndSaysSoOncePerChange) {
    bool tray = false;
    DesktopTrayHost host(DesktopTrayHost::Options{
        .pollMs = 50, .xembedTray = [&tray] { return tray; }, .useSessionBus = false});
    QSignalSpy changed(&host, &TrayHost::availabilityChanged);
    EXPECT_FALSE(host.isAvailable());

    tray = true; // a panel started after the app
    ASSERT_TRUE(testsupport::waitFor([&] { return host.isAvailable(); }));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_TRUE(changed.at(0).at(0).toBool());
    QTest::qWait(150);
    EXPECT_EQ(changed.count(), 1) << "no news while nothing changes";

    tray = false; // the panel went away
    ASSERT_TRUE(testsupport::waitFor([&] { return !host.isAvailable(); }));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(changed.at(1).at(0).toBool());
}

TEST(DesktopTrayHost, ATrayPresentAtLaunchIsKnownAtOnce) {
    DesktopTrayHost host(DesktopTrayHost::Options{
        .pollMs = 1000, .xembedTray = [] { return true; }, .useSessionBus = false});
    EXPECT_TRUE(host.isAvailable());
}
