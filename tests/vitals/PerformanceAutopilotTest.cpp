#include "fakes/FakeRunningApplications.h"
#include "support/TestSupport.h"

#include "platform/UserDefaults.h"
#include "support/ProcessRows.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/SystemSnapshot.h"

#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <sys/stat.h>

namespace {

const QString enabledKey = QStringLiteral("autopilot.enabled");
const QString autoQuitKey = QStringLiteral("autopilot.autoQuit");
const QString protectedKey = QStringLiteral("autopilot.protected");

using testsupport::memoryRow;

class AutopilotTest : public ::testing::Test {
protected:
    void SetUp() override {
        path =
            testsupport::freshDir(QStringLiteral("autopilot")) + QStringLiteral("/defaults.json");
        defaults = std::make_unique<UserDefaults>(path);
        apps = std::make_shared<FakeRunningApplications>();
    }

    std::unique_ptr<PerformanceAutopilot> make() {
        return std::make_unique<PerformanceAutopilot>(*defaults, apps);
    }

    std::unique_ptr<PerformanceAutopilot> makeEnabled() {
        auto autopilot = make();
        autopilot->setEnabled(true);
        return autopilot;
    }

    // One running app and its top-memory row per (name, bytes), in the given order, with the
    // pids 5001, 5002, …
    void run(const QList<std::pair<QString, quint64>>& list) {
        qint64 pid = 5000;
        for (const auto& [name, bytes] : list) {
            apps->apps.append(FakeRunningApplications::app(name, ++pid));
            snapshot.topProcesses.append(memoryRow(name, bytes, pid));
        }
    }

    static QStringList names(const PerformanceAutopilot& autopilot) {
        QStringList out;
        for (const AutopilotCandidate& c : autopilot.candidates())
            out.append(c.name);
        return out;
    }

    QString path;
    std::unique_ptr<UserDefaults> defaults;
    std::shared_ptr<FakeRunningApplications> apps;
    SystemSnapshot snapshot;
};

TEST_F(AutopilotTest, FirstStartWritesFalseUnderBothBooleanKeys) {
    auto autopilot = make();
    EXPECT_FALSE(autopilot->enabled());
    EXPECT_FALSE(autopilot->autoQuit());
    EXPECT_TRUE(autopilot->protectedNames().isEmpty());
    EXPECT_TRUE(autopilot->candidates().isEmpty());
    EXPECT_TRUE(autopilot->lastAction().isEmpty());

    UserDefaults reread(path);
    EXPECT_EQ(reread.boolValue(enabledKey), false);
    EXPECT_EQ(reread.boolValue(autoQuitKey), false);
    EXPECT_FALSE(reread.contains(protectedKey));
}

TEST_F(AutopilotTest, StoredSettingsAreReadAndTheProtectedListRewrittenSorted) {
    defaults->setValue(enabledKey, true);
    defaults->setValue(autoQuitKey, true);
    defaults->setValue(protectedKey, QJsonArray{"Zed", "Safari", "Mail"});
    auto autopilot = make();
    EXPECT_TRUE(autopilot->enabled());
    EXPECT_TRUE(autopilot->autoQuit());
    EXPECT_EQ(autopilot->protectedNames(), (QSet<QString>{"Mail", "Safari", "Zed"}));
    EXPECT_EQ(defaults->stringListValue(protectedKey), (QStringList{"Mail", "Safari", "Zed"}));
}

TEST_F(AutopilotTest, InvalidStoredValuesAreIgnoredAndTheProtectedListLeftUntouched) {
    defaults->setValue(enabledKey, QStringLiteral("yes"));
    const QJsonArray mixed{"Safari", 3};
    defaults->setValue(protectedKey, mixed);
    auto autopilot = make();
    EXPECT_FALSE(autopilot->enabled());
    EXPECT_EQ(defaults->value(enabledKey), QJsonValue("yes")) << "read as false, not rewritten";
    EXPECT_TRUE(autopilot->protectedNames().isEmpty());
    EXPECT_EQ(defaults->value(protectedKey), QJsonValue(mixed));

    defaults->setValue(protectedKey, QStringLiteral("Safari"));
    auto second = make();
    EXPECT_TRUE(second->protectedNames().isEmpty());
    EXPECT_EQ(defaults->value(protectedKey), QJsonValue(QStringLiteral("Safari")));

    // The next protect replaces the bad value.
    second->protect(QStringLiteral("Mail"));
    EXPECT_EQ(defaults->stringListValue(protectedKey), QStringList{"Mail"});
}

TEST_F(AutopilotTest, ALaunchWithEverythingStoredLeavesTheFileAlone) {
    defaults->setValue(enabledKey, true);
    defaults->setValue(autoQuitKey, false);
    defaults->setValue(protectedKey, QJsonArray{"Mail", "Safari"});
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    auto autopilot = make();
    autopilot->setEnabled(true); // assigning what is stored is no change either
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino) << "the file was replaced";
}

TEST_F(AutopilotTest, ASettingThatCouldNotBeSavedIsNotKeptAndSaysWhy) {
    const QString dir = testsupport::freshDir(QStringLiteral("autopilot-blocked"));
    QFile blocker(dir + QStringLiteral("/sub")); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    defaults = std::make_unique<UserDefaults>(dir + QStringLiteral("/sub/defaults.json"));
    run({{"Safari", 900}});
    auto autopilot = make();
    EXPECT_TRUE(autopilot->saveError().isEmpty()) << "nothing was asked of the user yet";

    QSignalSpy enabled(autopilot.get(), &PerformanceAutopilot::enabledChanged);
    autopilot->setEnabled(true);
    EXPECT_FALSE(autopilot->enabled());
    ASSERT_EQ(enabled.count(), 1) << "announced again, so a switch that flipped flips back";
    EXPECT_EQ(enabled.at(0).at(0).toBool(), false);
    EXPECT_TRUE(autopilot->saveError().startsWith("Could not save the setting: "))
        << autopilot->saveError().toStdString();

    // Protecting needs the list stored; the row stays while it is not.
    defaults = std::make_unique<UserDefaults>(path);
    auto working = makeEnabled();
    working->refreshCandidates(snapshot);
    ASSERT_EQ(names(*working), QStringList{"Safari"});
    QFile::remove(path);
    QDir().mkpath(path); // a folder in the file's place: the next write fails
    working->protect("Safari");
    EXPECT_FALSE(working->protectedNames().contains("Safari"));
    EXPECT_EQ(names(*working), QStringList{"Safari"});
    EXPECT_FALSE(working->saveError().isEmpty());
    QDir().rmdir(path);
    working->protect("Safari");
    EXPECT_TRUE(working->protectedNames().contains("Safari"));
    EXPECT_TRUE(working->candidates().isEmpty());
    EXPECT_TRUE(working->saveError().isEmpty()) << "a saved change clears the message";
}

TEST_F(AutopilotTest, OnlyRegularRunningBackgroundAppsInTheTopListQualify) {
    defaults->setValue(protectedKey, QJsonArray{"Notes"});
    auto autopilot = makeEnabled();
    run({{"Safari", 900},
         {"Editor", 800},
         {"Warp", 700},
         {"kitty", 650},
         {"Notes", 600},
         {"Music", 500},
         {"Helper", 400},
         {"Gone", 300},
         {"Self", 200},
         {"Mail", 100}});
    apps->frontmost = QStringLiteral("Editor");
    apps->apps.append(FakeRunningApplications::app("Editor", 7000));  // a second Editor process
    apps->apps[5].active = true;                                      // Music
    apps->apps[6].regular = false;                                    // Helper
    apps->apps[7].terminated = true;                                  // Gone
    apps->apps[8].pid = QCoreApplication::applicationPid();           // Self
    apps->apps.append(FakeRunningApplications::app(QString(), 7001)); // no name
    snapshot.topProcesses.append(memoryRow(QString(), 5000, 7001));
    apps->apps.append(FakeRunningApplications::app("Preview", 7002)); // not in the top list…
    snapshot.topProcesses.append(
        memoryRow("Preview", 5000, 7099)); // …only another process of its name

    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(names(*autopilot), (QStringList{"Safari", "Mail"}));
    const AutopilotCandidate& safari = autopilot->candidates().constFirst();
    EXPECT_EQ(safari.id, QStringLiteral("Safari"));
    EXPECT_EQ(safari.pid, 5001);
    EXPECT_EQ(safari.memoryBytes, 900u);
}

TEST_F(AutopilotTest, KeepsTheEightLargestWithEqualMemoryInRunningOrder) {
    auto autopilot = makeEnabled();
    run({{"A", 10},
         {"B", 90},
         {"C", 50},
         {"D", 50},
         {"E", 70},
         {"F", 20},
         {"G", 80},
         {"H", 60},
         {"I", 30},
         {"J", 40}});
    // The top-memory list is largest first in a real snapshot; the order must not matter.
    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(names(*autopilot), (QStringList{"B", "G", "E", "H", "C", "D", "J", "I"}));
}

TEST_F(AutopilotTest, ReasonNamesTheMemoryOrSaysItRunsInTheBackground) {
    auto autopilot = makeEnabled();
    run({{"Big", 2'000'000'000}, {"Idle", 0}, {"Huge", std::numeric_limits<quint64>::max()}});
    autopilot->refreshCandidates(snapshot);
    const QList<AutopilotCandidate> list = autopilot->candidates();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[1].reason, QStringLiteral("Not frontmost · using 2 GB"));
    EXPECT_EQ(list[2].reason, QStringLiteral("Not frontmost · still running in the background"));
    EXPECT_TRUE(list[0].reason.startsWith(QStringLiteral("Not frontmost · using ")));
    EXPECT_FALSE(list[0].reason.contains(QLatin1Char('-'))) << list[0].reason.toStdString();
}

TEST_F(AutopilotTest, AnAppGetsTheMemoryOfItsOwnProcessWhateverTheNames) {
    auto autopilot = makeEnabled();
    // Window classes and kernel command names differ, and two apps may share an interpreter.
    apps->apps = {
        FakeRunningApplications::app("Firefox-esr", 10), FakeRunningApplications::app("Meld", 11),
        FakeRunningApplications::app("Terminator", 12), FakeRunningApplications::app("Gimp", 13)};
    snapshot.topProcesses = {memoryRow("firefox-esr", 800, 10), memoryRow("python3", 700, 12),
                             memoryRow("python3", 650, 11), memoryRow("Gimp", 600, 99)};
    autopilot->refreshCandidates(snapshot);
    ASSERT_EQ(names(*autopilot), (QStringList{"Firefox-esr", "Terminator", "Meld"}));
    EXPECT_EQ(autopilot->candidates()[1].memoryBytes, 700u);
    EXPECT_EQ(autopilot->candidates()[2].memoryBytes, 650u);
}

TEST_F(AutopilotTest, WhileDisabledRefreshEmptiesTheListAndNeverQuits) {
    auto autopilot = makeEnabled();
    run({{"Safari", 900}, {"Mail", 100}});
    autopilot->refreshCandidates(snapshot);
    ASSERT_EQ(autopilot->candidates().size(), 2);

    autopilot->setEnabled(false);
    autopilot->setAutoQuit(true);
    EXPECT_EQ(autopilot->candidates().size(), 2); // until the next refresh
    QSignalSpy changed(autopilot.get(), &PerformanceAutopilot::candidatesChanged);
    autopilot->refreshCandidates(snapshot);
    EXPECT_TRUE(autopilot->candidates().isEmpty());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(apps->quitRequests.isEmpty());
    EXPECT_EQ(defaults->boolValue(autoQuitKey), true);
}

TEST_F(AutopilotTest, AutoQuitQuitsOnlyTheFirstCandidatePerRefresh) {
    auto autopilot = makeEnabled();
    run({{"Small", 100}, {"Big", 900}, {"Medium", 500}});
    autopilot->refreshCandidates(snapshot);
    autopilot->setAutoQuit(true);
    EXPECT_TRUE(apps->quitRequests.isEmpty()); // switching it on quits nothing by itself

    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(apps->quitRequests, QList<qint64>{5002});
    EXPECT_EQ(autopilot->lastAction(), QStringLiteral("Autopilot quit Big"));
    EXPECT_EQ(names(*autopilot), (QStringList{"Medium", "Small"}));

    apps->apps.removeAt(1); // Big has gone
    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(apps->quitRequests, (QList<qint64>{5002, 5003}));
    EXPECT_EQ(autopilot->lastAction(), QStringLiteral("Autopilot quit Medium"));
}

TEST_F(AutopilotTest, AutoQuitDoesNotReaskAnAppThatDeclinedUntilTheRetryTimePasses) {
    auto autopilot = makeEnabled();
    qint64 now = 1'000'000;
    autopilot->setClock([&now] { return now; });
    run({{"Editor", 900}, {"Mail", 100}});
    autopilot->setAutoQuit(true);
    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(apps->quitRequests, QList<qint64>{5001});

    // The editor asked about unsaved work and is still running: it is listed again, but the
    // next refreshes do not pile further requests onto it, nor quit the next app instead.
    now += 3000;
    autopilot->refreshCandidates(snapshot);
    now += 3000;
    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(apps->quitRequests, QList<qint64>{5001});
    EXPECT_EQ(names(*autopilot), (QStringList{"Editor", "Mail"}));

    // The user's own Quit still asks at once.
    autopilot->quit(5001, QStringLiteral("Editor"), false);
    EXPECT_EQ(apps->quitRequests, (QList<qint64>{5001, 5001}));

    now += PerformanceAutopilot::autoQuitRetryMs;
    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(apps->quitRequests, (QList<qint64>{5001, 5001, 5001}));
}

// Two applications of one name: a quit asks the process of the row acted on, and only its row
// goes; the twin is still running and still suggested.
TEST_F(AutopilotTest, QuitAsksTheProcessItIsGivenAndDropsOnlyThatRow) {
    auto autopilot = makeEnabled();
    run({{"Safari", 900}, {"Mail", 100}});
    apps->apps.append(FakeRunningApplications::app("Safari", 6000)); // a twin
    snapshot.topProcesses.append(memoryRow("Safari", 800, 6000));
    autopilot->refreshCandidates(snapshot);
    ASSERT_EQ(names(*autopilot), (QStringList{"Safari", "Safari", "Mail"}));
    ASSERT_EQ(autopilot->candidates()[1].pid, 6000);

    autopilot->setEnabled(false); // the Quit button works whether or not suggestions are on
    QSignalSpy action(autopilot.get(), &PerformanceAutopilot::lastActionChanged);
    EXPECT_EQ(autopilot->quit(6000, QStringLiteral("Safari"), false),
              PerformanceAutopilot::QuitResult::Asked);
    EXPECT_EQ(apps->quitRequests, QList<qint64>{6000});
    EXPECT_EQ(autopilot->lastAction(), QStringLiteral("Quit Safari"));
    EXPECT_EQ(action.count(), 1);
    EXPECT_EQ(names(*autopilot), (QStringList{"Safari", "Mail"}));
    EXPECT_EQ(autopilot->candidates()[0].pid, 5001);
}

// The row may be stale by the time it is acted on: the pid is checked against the list at that
// moment, and anything but the same regular, running application of that name asks nothing.
TEST_F(AutopilotTest, QuitAsksNothingUnlessThePidIsStillThatApplication) {
    using R = PerformanceAutopilot::QuitResult;
    auto autopilot = makeEnabled();
    run({{"Safari", 900}, {"Helper", 500}, {"Self", 300}, {"Gone", 200}, {"Mail", 100}});
    autopilot->refreshCandidates(snapshot);
    ASSERT_EQ(autopilot->candidates().size(), 5);
    apps->apps[1].regular = false;                          // Helper
    apps->apps[2].pid = QCoreApplication::applicationPid(); // Self
    apps->apps[3].terminated = true;                        // Gone
    apps->apps[4].localizedName = QStringLiteral("Other");  // Mail's pid now names another app

    EXPECT_EQ(autopilot->quit(5099, QStringLiteral("Safari"), false), R::NotRunning);
    EXPECT_EQ(autopilot->quit(5001, QStringLiteral("safari"), false), R::NotRunning);
    EXPECT_EQ(autopilot->quit(5002, QStringLiteral("Helper"), false), R::NotRunning);
    EXPECT_EQ(autopilot->quit(QCoreApplication::applicationPid(), QStringLiteral("Self"), false),
              R::NotRunning);
    EXPECT_EQ(autopilot->quit(5004, QStringLiteral("Gone"), false), R::NotRunning);
    EXPECT_EQ(autopilot->quit(5005, QStringLiteral("Mail"), false), R::NotRunning);
    EXPECT_EQ(autopilot->quit(0, QStringLiteral("Safari"), false), R::NotRunning);
    EXPECT_EQ(autopilot->quit(5001, QString(), false), R::NotRunning);
    EXPECT_TRUE(apps->quitRequests.isEmpty());
    EXPECT_TRUE(autopilot->lastAction().isEmpty());
    // The stale rows went; Safari still runs and stays (a wrong name is no reason to drop it), and
    // so does Self's row, which no quit of that pid ever reaches.
    EXPECT_EQ(names(*autopilot), (QStringList{"Safari", "Self"}));

    // Delivery fails: tried, nothing claimed, the row stays.
    apps->deliverQuit = false;
    EXPECT_EQ(autopilot->quit(5001, QStringLiteral("Safari"), true), R::NotDelivered);
    EXPECT_EQ(apps->quitRequests, QList<qint64>{5001});
    EXPECT_TRUE(autopilot->lastAction().isEmpty());
    EXPECT_EQ(names(*autopilot), (QStringList{"Safari", "Self"}));
}

TEST_F(AutopilotTest, ProtectDropsTheRowAtOnceAndStoresTheNameOnceSorted) {
    auto autopilot = makeEnabled();
    run({{"Safari", 900}, {"Mail", 100}});
    autopilot->refreshCandidates(snapshot);
    autopilot->protect(QStringLiteral("Safari"));
    EXPECT_EQ(names(*autopilot), QStringList{"Mail"});
    autopilot->protect(QStringLiteral("Calendar"));
    autopilot->protect(QStringLiteral("Safari"));
    EXPECT_EQ(defaults->stringListValue(protectedKey), (QStringList{"Calendar", "Safari"}));

    autopilot->refreshCandidates(snapshot);
    EXPECT_EQ(names(*autopilot), QStringList{"Mail"});

    UserDefaults reread(path);
    PerformanceAutopilot restarted(reread, apps);
    EXPECT_EQ(restarted.protectedNames(), (QSet<QString>{"Calendar", "Safari"}));
    EXPECT_TRUE(restarted.enabled());
}

} // namespace
