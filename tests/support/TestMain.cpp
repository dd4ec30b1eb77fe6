// The one main of every test program. Before Qt starts it points HOME and all XDG_* variables
// at a fresh temporary folder, selects the offscreen platform and cuts off the session bus; after
// the tests it fails the run if anything was written to the real home folder.
#include "platform/HomeLayout.h"
#include "platform/SandboxEnvironment.h"
#include "support/HomeGuard.h"

#include <cstdio>
#include <gtest/gtest.h>
#ifdef PENDREL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
// Tests of core code run without the widget library: a widget there would not even link.
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    // Tests of D-Bus backends run on a private bus the test script starts; keep its address.
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const bool allowBus = qEnvironmentVariableIntValue("PENDREL_TEST_ALLOW_BUS") == 1;
    const HomeLayout realHome = HomeLayout::fromEnvironment();
    SandboxEnvironment sandbox;
    if (allowBus)
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    if (!sandbox.isValid()) {
        std::fprintf(stderr, "test sandbox: could not create a temporary home\n");
        return 1;
    }
    HomeGuard guard(realHome);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORMTHEME", "");
    ::testing::InitGoogleTest(&argc, argv);
    int rc = 0;
    {
        TestApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    const QStringList escaped = guard.changes();
    if (!escaped.isEmpty()) {
        std::fprintf(stderr, "test sandbox: the tests wrote outside their temporary home:\n");
        for (const QString& line : escaped)
            std::fprintf(stderr, "  %s\n", qPrintable(line));
        rc = 1;
    }
    return rc;
}
