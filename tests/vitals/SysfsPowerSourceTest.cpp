#include "vitals/SysfsPowerSource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

// Writes (or updates) one supply folder's attribute files.
void supply(const QString& root, const QString& name,
            std::initializer_list<std::pair<const char*, const char*>> attributes) {
    const QString dir = root + QStringLiteral("/class/power_supply/") + name;
    QDir().mkpath(dir);
    for (const auto& [key, value] : attributes) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(key));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(value) + '\n');
    }
}

bool external(const QString& root) {
    return SysfsPowerSource(root).isOnExternalPower();
}

} // namespace

TEST(SysfsPowerSource, DesktopsCountAsOnPower) {
    EXPECT_TRUE(external(testsupport::home() + "/no-such-folder"));
    // An empty USB-C port and a wireless mouse running down are not the machine's battery.
    const QString root = testsupport::freshDir("desktop");
    supply(root, "ucsi-source-psy-USBC000:001", {{"type", "USB"}, {"online", "0"}});
    supply(root, "hidpp_battery_0",
           {{"type", "Battery"}, {"scope", "Device"}, {"status", "Discharging"}});
    EXPECT_TRUE(external(root));
    // A UPS running down is a battery.
    supply(root, "ups0", {{"type", "UPS"}, {"status", "Discharging"}});
    EXPECT_FALSE(external(root));
}

TEST(SysfsPowerSource, LaptopFollowsChargersThenBatteryStatus) {
    const QString root = testsupport::freshDir("laptop");
    supply(root, "BAT0", {{"type", "Battery"}, {"status", "Full"}});
    EXPECT_TRUE(external(root)); // no charger entries, not discharging
    supply(root, "BAT0", {{"status", "Discharging"}});
    EXPECT_FALSE(external(root));

    supply(root, "AC", {{"type", "Mains"}, {"online", "1"}});
    supply(root, "BAT0", {{"status", "Charging"}});
    EXPECT_TRUE(external(root));
    // Unplugged while the battery says neither charging nor discharging: on battery.
    supply(root, "AC", {{"online", "0"}});
    supply(root, "BAT0", {{"status", "Not charging"}});
    EXPECT_FALSE(external(root));
    // A USB-C charger (online 2: programmable) counts even with the mains entry offline.
    supply(root, "ucsi-source-psy-USBC000:001", {{"type", "USB"}, {"online", "2"}});
    EXPECT_TRUE(external(root));
}
