#include "platform/SandboxEnvironment.h"
#include "platform/HomeLayout.h"
#include "support/HomeGuard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

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

// A folder of someone's files, outside any sandbox the test makes.
QString theirFiles(const QString& base) {
    testsupport::write(base + "/theirs/letter.txt", "dear");
    testsupport::write(base + "/theirs/deep/photo.jpg", "jpeg");
    return base + "/theirs";
}

void expectIntact(const QString& theirs) {
    EXPECT_TRUE(QFile::exists(theirs + "/letter.txt"));
    EXPECT_TRUE(QFile::exists(theirs + "/deep/photo.jpg"));
}

// Links the sandbox's own code could leave in it, to a file and to a folder of someone's.
void plantLinksIn(const QString& root, const QString& theirs) {
    QDir().mkpath(root + "/home/sub");
    ASSERT_TRUE(QFile::link(theirs, root + "/home/sub/to-folder"));
    ASSERT_TRUE(QFile::link(theirs + "/letter.txt", root + "/home/to-file"));
    QDir().mkpath(root + "/home/locked/inner");
    testsupport::write(root + "/home/locked/inner/f", "x");
    QFile::setPermissions(root + "/home/locked", QFile::ReadOwner | QFile::ExeOwner);
}

} // namespace

TEST(SandboxEnvironment, AnExactNameIsMadeFreshUsedAsHomeAndRemovedWithoutFollowingLinks) {
    KeepEnvironment keep;
    const QString base = testsupport::freshDir("exact");
    const QString theirs = theirFiles(base);
    const QString root = base + "/shots";
    {
        SandboxEnvironment sandbox(root, SandboxEnvironment::Name::Exact);
        ASSERT_TRUE(sandbox.isValid());
        EXPECT_FALSE(sandbox.taken());
        EXPECT_EQ(sandbox.root(), root);
        EXPECT_EQ(qEnvironmentVariable("HOME"), root + "/home");
        EXPECT_TRUE(QDir(root + "/home/.config").exists());
        EXPECT_EQ(QFile::permissions(root) & 0x0077, 0) << "owner-only";
        plantLinksIn(root, theirs);
    }
    EXPECT_FALSE(QFileInfo::exists(root));
    expectIntact(theirs);

    {
        SandboxEnvironment sandbox(root, SandboxEnvironment::Name::Exact);
        sandbox.keep();
    }
    EXPECT_TRUE(QDir(root + "/home").exists());
}

// Someone made the name a link to a folder of the user's before the run: nothing is made, and
// the folder, the link and a leftover folder are left exactly as they were.
TEST(SandboxEnvironment, AnExactNameSomeoneHoldsIsNeverEnteredOrRemoved) {
    KeepEnvironment keep;
    const QString base = testsupport::freshDir("taken");
    const QString theirs = theirFiles(base);
    const QString before = qEnvironmentVariable("HOME");
    for (const bool asLink : {true, false}) {
        const QString root = base + (asLink ? "/planted" : "/left-over");
        if (asLink)
            ASSERT_TRUE(QFile::link(theirs, root));
        else
            testsupport::write(root + "/home/kept.txt", "x");
        {
            SandboxEnvironment sandbox(root, SandboxEnvironment::Name::Exact);
            EXPECT_FALSE(sandbox.isValid());
            EXPECT_TRUE(sandbox.taken());
            EXPECT_EQ(qEnvironmentVariable("HOME"), before);
        }
        expectIntact(theirs);
        EXPECT_EQ(QFileInfo(root).isSymLink(), asLink);
        EXPECT_EQ(QFile::exists(root + "/home/kept.txt"), !asLink);
    }
}

TEST(SandboxEnvironment, ARandomNameIsFreshAndItsRemovalNeverFollowsALink) {
    KeepEnvironment keep;
    const QString base = testsupport::freshDir("random");
    const QString theirs = theirFiles(base);
    QString first;
    {
        SandboxEnvironment sandbox(base + "/run-XXXXXX", SandboxEnvironment::Name::Random);
        SandboxEnvironment second(base + "/run-XXXXXX", SandboxEnvironment::Name::Random);
        ASSERT_TRUE(sandbox.isValid());
        ASSERT_TRUE(second.isValid());
        first = sandbox.root();
        EXPECT_TRUE(first.startsWith(base + "/run-"));
        EXPECT_NE(first, second.root());
        plantLinksIn(first, theirs);
    }
    EXPECT_FALSE(QFileInfo::exists(first));
    expectIntact(theirs);
}

// The guard of every test program watches the app's own places in the real home. Here a home of
// the test's stands for the real one.
TEST(HomeGuard, CatchesTheAppsSettingsInTheRealHomeNotAnotherProgramsFolderBesideThem) {
    const QString home = testsupport::freshDir("real-home");
    const HomeLayout real = HomeLayout::forHome(home);
    QDir().mkpath(real.configHome());
    QDir().mkpath(real.trashDir() + "/files");
    {
        const HomeGuard guard(real);
        QDir().mkpath(real.configHome() + "/procps");
        testsupport::write(real.cacheHome() + "/fontconfig/cache-1", "x");
        testsupport::write(home + "/.bash_history", "ls");
        EXPECT_EQ(guard.changes(), QStringList());

        testsupport::write(real.appConfigDir() + "/defaults.json", "{}");
        EXPECT_EQ(guard.changes(),
                  QStringList({"created: " + real.appConfigDir(),
                               "created: " + real.appConfigDir() + "/defaults.json"}));
    }
    const HomeGuard guard(real);
    testsupport::write(real.appConfigDir() + "/defaults.json", "{\"a\": 1}");
    testsupport::write(real.trashDir() + "/files/report.pdf", "%PDF");
    testsupport::write(real.autostartDir() + "/pendrel.desktop", "[Desktop Entry]");
    EXPECT_EQ(guard.changes(), QStringList({"changed: " + real.appConfigDir() + "/defaults.json",
                                            "created: " + real.autostartDir(),
                                            "created: " + real.autostartDir() + "/pendrel.desktop",
                                            "created: " + real.trashDir() + "/files/report.pdf"}));
}
