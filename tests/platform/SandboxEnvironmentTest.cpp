#include "platform/SandboxEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A sandbox repoints the process's variables; the test's own sandbox gets them back after.
class KeepEnvironment {
public:
    KeepEnvironment() {
        for (const char* name : kNames)
            m_values.append(qgetenv(name));
    }
    ~KeepEnvironment() {
        for (int i = 0; i < m_values.size(); ++i)
            qputenv(kNames[i], m_values[i]);
    }

private:
    static constexpr const char* kNames[] = {
        "HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
        "XDG_CACHE_HOME", "XDG_STATE_HOME",  "XDG_RUNTIME_DIR",
        "XDG_DATA_DIRS",  "XDG_CONFIG_DIRS", "DBUS_SESSION_BUS_ADDRESS"};
    QList<QByteArray> m_values;
};

} // namespace

TEST(SandboxEnvironment, AFixedRootIsEmptiedUsedAsHomeAndRemovedAtTheEnd) {
    KeepEnvironment keep;
    QTemporaryDir parent;
    const QString root = parent.path() + QStringLiteral("/shots");
    QDir().mkpath(root + QStringLiteral("/home/left-over"));
    {
        SandboxEnvironment sandbox(root);
        ASSERT_TRUE(sandbox.isValid());
        EXPECT_EQ(sandbox.root(), root);
        EXPECT_FALSE(QDir(root + QStringLiteral("/home/left-over")).exists());
        EXPECT_EQ(qEnvironmentVariable("HOME"), root + QStringLiteral("/home"));
        EXPECT_TRUE(QDir(root + QStringLiteral("/home/.config")).exists());
    }
    EXPECT_FALSE(QDir(root).exists());

    {
        SandboxEnvironment sandbox(root);
        sandbox.keep();
    }
    EXPECT_TRUE(QDir(root + QStringLiteral("/home")).exists());
}
