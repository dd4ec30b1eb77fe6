// Run modes with their login item, the update preference and the Full Disk Access probe.
#include "platform/LoginItem.h"
#include "platform/UserDefaults.h"
#include "shell/Permissions.h"
#include "shell/RunModeManager.h"
#include "shell/UpdaterManager.h"
#include "support/TestSupport.h"

#include "fakes/FakeLoginItem.h"
#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>

namespace {

struct RunModeFixture : ::testing::Test {
    QString dir = testsupport::freshDir("runmode");
    UserDefaults defaults{dir + "/defaults.json"};
    FakeLoginItem login;
};

} // namespace

TEST(RunMode, RawValuesMatchExactly) {
    EXPECT_EQ(runModeFromRawValue("Only when open"), RunMode::WindowOnly);
    EXPECT_EQ(runModeFromRawValue("Keep in the menu bar"), RunMode::MenuBar);
    EXPECT_EQ(runModeFromRawValue("Start at login"), RunMode::Login);
    EXPECT_FALSE(runModeFromRawValue("start at login").has_value());
    EXPECT_FALSE(runModeFromRawValue(" Start at login").has_value());
    EXPECT_EQ(allRunModes().size(), 3);
}

TEST_F(RunModeFixture, MissingOrUnknownStoredModeReadsAsMenuBarAndIsNotRewritten) {
    for (const QJsonValue& stored :
         {QJsonValue(QJsonValue::Undefined), QJsonValue("start at login"), QJsonValue(3),
          QJsonValue(true)}) {
        defaults.setValue("run.mode", stored);
        RunModeManager manager(defaults, login);
        EXPECT_EQ(manager.mode(), RunMode::MenuBar);
        EXPECT_EQ(defaults.value("run.mode"), stored);
    }
    defaults.setValue("run.mode", "Only when open");
    EXPECT_EQ(RunModeManager(defaults, login).mode(), RunMode::WindowOnly);
}

TEST_F(RunModeFixture, CreatingAppliesNothingAndEveryAssignmentStoresAndApplies) {
    login.current = LoginItemService::Status::Enabled;
    RunModeManager manager(defaults, login);
    EXPECT_EQ(login.unregisters, 0);
    QSignalSpy changed(&defaults, &UserDefaults::changed);
    manager.setMode(RunMode::Login);
    manager.setMode(RunMode::Login);
    EXPECT_EQ(changed.count(), 2) << "assigning the current mode writes again";
    EXPECT_EQ(login.registers, 0) << "already registered";
    manager.setMode(RunMode::WindowOnly);
    EXPECT_EQ(login.unregisters, 1);
    EXPECT_EQ(defaults.stringValue("run.mode"), "Only when open");
    EXPECT_EQ(manager.activationPolicy(), ActivationPolicy::Regular);
    EXPECT_TRUE(manager.quitsAfterLastWindowClosed());
    manager.setMode(RunMode::MenuBar);
    EXPECT_EQ(manager.activationPolicy(), ActivationPolicy::Accessory);
    EXPECT_FALSE(manager.quitsAfterLastWindowClosed());
}

TEST_F(RunModeFixture, RequiresApprovalIsLeftAloneWhenLeavingLoginAndRegisteredAgainOnLogin) {
    login.current = LoginItemService::Status::RequiresApproval;
    RunModeManager manager(defaults, login);
    manager.setMode(RunMode::MenuBar);
    EXPECT_EQ(login.unregisters, 0);
    manager.setMode(RunMode::Login);
    EXPECT_EQ(login.registers, 1);
}

TEST_F(RunModeFixture, AFailedLoginChangeKeepsTheModeAndTheNextSuccessClearsTheMessage) {
    RunModeManager manager(defaults, login);
    login.failWith = "Permission denied";
    manager.setMode(RunMode::Login);
    EXPECT_EQ(manager.mode(), RunMode::Login);
    EXPECT_EQ(manager.loginItemError(), "Could not change the login setting: Permission denied");
    EXPECT_EQ(defaults.stringValue("run.mode"), "Start at login");
    login.failWith.clear();
    manager.setMode(RunMode::Login);
    EXPECT_TRUE(manager.loginItemError().isNull());
}

TEST_F(RunModeFixture, TheRealAutostartFileFollowsTheMode) {
    AutostartLoginItem autostart(dir + "/autostart", "/usr/bin/pendrel");
    RunModeManager manager(defaults, autostart);
    manager.setMode(RunMode::Login);
    EXPECT_TRUE(QFile::exists(autostart.filePath()));
    manager.setMode(RunMode::MenuBar);
    EXPECT_FALSE(QFile::exists(autostart.filePath()));
    QFile blocker(dir + "/blocked");
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
    AutostartLoginItem blocked(dir + "/blocked/autostart", "pendrel");
    RunModeManager failing(defaults, blocked);
    failing.setMode(RunMode::Login);
    EXPECT_TRUE(failing.loginItemError().startsWith("Could not change the login setting: "));
}

TEST(UpdaterManager, ReadsOnlyABooleanAndWritesOnEveryAssignment) {
    UserDefaults defaults(testsupport::freshDir("updates") + "/defaults.json");
    EXPECT_TRUE(UpdaterManager(defaults).automaticallyChecks());
    EXPECT_FALSE(defaults.contains("updates.auto")) << "nothing is written until assigned";
    defaults.setValue("updates.auto", "no");
    EXPECT_TRUE(UpdaterManager(defaults).automaticallyChecks());
    UpdaterManager updater(defaults);
    EXPECT_FALSE(updater.isAvailable());
    updater.setAutomaticallyChecks(false);
    EXPECT_EQ(defaults.boolValue("updates.auto"), false);
    EXPECT_FALSE(UpdaterManager(defaults).automaticallyChecks());
}

TEST(Permissions, ProbeTriesThePrivacyDatabaseThenTheBookmarks) {
    const QString home = "/h";
    const QString tcc = home + "/Library/Application Support/com.apple.TCC/TCC.db";
    const QString bookmarks = home + "/Library/Safari/Bookmarks.plist";
    QStringList touched;
    QSet<QString> readable, readOk;
    Permissions::FileAccess access{[&](const QString& p) {
                                       touched << p;
                                       return readable.contains(p);
                                   },
                                   [&](const QString& p) { return readOk.contains(p); }};

    readable = {tcc};
    readOk = {tcc};
    EXPECT_TRUE(Permissions::probeFullDiskAccessIn(home, access));
    EXPECT_EQ(touched, QStringList({tcc})) << "the bookmarks are not touched";

    readable = {tcc, bookmarks};
    readOk = {bookmarks}; // the database is readable but the read fails
    EXPECT_TRUE(Permissions::probeFullDiskAccessIn(home, access));

    readable = {};
    EXPECT_FALSE(Permissions::probeFullDiskAccessIn(home, access));
}

TEST(Permissions, RealFilesUnderATemporaryHomeAndTheLinuxAnswer) {
    const QString home = testsupport::freshDir("fda");
    EXPECT_FALSE(Permissions::probeFullDiskAccessIn(home, Permissions::FileAccess::real()));
    QDir().mkpath(home + "/Library/Safari");
    QFile f(home + "/Library/Safari/Bookmarks.plist");
    f.open(QIODevice::WriteOnly);
    f.write("<plist/>");
    f.close();
    EXPECT_TRUE(Permissions::probeFullDiskAccessIn(home, Permissions::FileAccess::real()));

    Permissions perms([] { return true; });
    EXPECT_TRUE(perms.hasFullDiskAccess());
    EXPECT_TRUE(Permissions::shared()->hasFullDiskAccess()) << "no such gate on Linux";
}
