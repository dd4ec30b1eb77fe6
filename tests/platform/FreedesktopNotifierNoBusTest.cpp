#include "platform/FreedesktopNotifier.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QElapsedTimer>

// The test sandbox cuts off the session bus, as a desktop without one would: posting must return
// at once and send nothing, and the bus is looked up at each post, not before.
TEST(FreedesktopNotifier, WithoutABusNothingIsSentAndNothingWaits) {
    int lookups = 0;
    FreedesktopNotifier notifier([&] {
        ++lookups;
        return QDBusConnection::sessionBus();
    });
    EXPECT_EQ(lookups, 0);
    ASSERT_FALSE(QDBusConnection::sessionBus().isConnected());
    QElapsedTimer timer;
    timer.start();
    notifier.post({"automation-x", "Pendrel · Docker cleanup", "Docker unused data pruned.", true});
    notifier.post({"automation-y", "Pendrel · Docker cleanup", "Again.", false});
    EXPECT_EQ(lookups, 2);
    EXPECT_LT(timer.elapsed(), 1000);
}
