#include "automation/AutomationTestSupport.h"
#include "cleaning/CleaningTestSupport.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QSemaphore>

using namespace automationtest;

namespace {

// Switches rules on in the stored value, as an earlier run of the app would have left it.
void storeEnabled(World& w, const QStringList& ids) {
    AutomationRuleStates::Map states;
    for (const QString& id : ids)
        states[id].enabled = true;
    w.defaults.setValue(AutomationRuleStates::defaultsKey(), AutomationRuleStates::encode(states));
}

QStringList notificationTitles(const World& w) {
    QStringList titles;
    for (const UserNotifier::Request& r : w.notifier->posted)
        titles << r.title;
    return titles;
}

void checkAndSettle(AutomationStore& store) {
    store.checkDue();
    ASSERT_TRUE(settled(store));
}

} // namespace

TEST(AutomationStore, AFridayPassRunsBothFridayRulesInTableOrderOncePerDay) {
    World w;
    const QString home = w.layout.home();
    cleaningtest::writeFile(home + "/Downloads/old.zip", 5000);
    cleaningtest::age(home + "/Downloads/old.zip", 40, 40);
    cleaningtest::writeFile(home + "/Downloads/new.zip", 5000);
    cleaningtest::writeFile(home + "/Desktop/Screenshot 2026-03-01.png", 3000);
    cleaningtest::age(home + "/Desktop/Screenshot 2026-03-01.png", 10, 10);
    storeEnabled(w, {"friday-downloads", "friday-screenshots", "sunday-dev"});
    ScreenshotCleanupScanner shots(w.layout, w.cleaningTools());
    AutomationStore store(w.environment());
    store.setScreenshotCleaner(&shots);

    QStringList running;
    QObject::connect(&store, &AutomationStore::runningRuleIDChanged, [&] {
        if (store.runningRuleID())
            running << *store.runningRuleID();
    });
    checkAndSettle(store);
    EXPECT_EQ(running, QStringList({"friday-downloads", "friday-screenshots"}));
    EXPECT_EQ(notificationTitles(w),
              QStringList({"Pendrel · Empty Downloads", "Pendrel · Screenshot cleanup"}));
    ASSERT_EQ(w.timeline.entries().size(), 2);
    EXPECT_EQ(w.timeline.entries().at(0).title, "Screenshot cleanup");
    EXPECT_EQ(w.timeline.entries().at(0).kind, TimelineEntry::Kind::Automation);
    EXPECT_EQ(w.timeline.entries().at(0).featureID, "automation");
    const QString downloads = *store.state("friday-downloads").lastResult;
    EXPECT_TRUE(downloads.startsWith("Moved ") && downloads.endsWith(" (1 file) to Trash."))
        << downloads.toStdString();
    EXPECT_EQ(*store.statusMessage(),
              "Screenshot cleanup: " + *store.state("friday-screenshots").lastResult);
    EXPECT_TRUE(store.statusMessage()->endsWith("of old screenshots to Trash."));
    EXPECT_EQ(store.state("friday-screenshots").lastRunDay, "2026-03-27");
    EXPECT_EQ(w.trash->moved().size(), 2);
    EXPECT_TRUE(QFile::exists(home + "/Downloads/new.zip"));
    EXPECT_FALSE(store.state("sunday-dev").lastRun) << "not its day";

    // Later the same Friday: nothing is due any more.
    w.clock->advance(5 * 3600);
    checkAndSettle(store);
    EXPECT_EQ(store.statusMessage(), "No enabled schedules are due right now.");
    EXPECT_EQ(w.notifier->posted.size(), 2);

    // A week on, both run again; the screenshot cleaner measures afresh rather than reusing the
    // list of files it already moved.
    cleaningtest::writeFile(home + "/Pictures/Screenshots/Screenshot 2026-03-20.png", 3000);
    cleaningtest::age(home + "/Pictures/Screenshots/Screenshot 2026-03-20.png", 9, 9);
    w.clock->advance(7 * 86400);
    checkAndSettle(store);
    EXPECT_EQ(store.state("friday-downloads").lastResult,
              "Nothing older than 30 days in Downloads.");
    EXPECT_TRUE(
        store.state("friday-screenshots").lastResult->endsWith("of old screenshots to Trash."))
        << store.state("friday-screenshots").lastResult->toStdString();
    EXPECT_EQ(w.notifier->posted.size(), 4);
}

TEST(AutomationStore, TheStorageAlertRunsAtMostOncePerLocalDayAcrossTheClockChange) {
    World w;
    storeEnabled(w, {"disk-alert"});
    w.clock->set(inBerlin(2026, 3, 28, 23, 50));
    w.setDisk(110'000'000'000, 1000'000'000'000); // 89% used
    AutomationStore store(w.environment());
    checkAndSettle(store);
    EXPECT_EQ(store.statusMessage(), "No enabled schedules are due right now.");
    EXPECT_TRUE(w.notifier->posted.isEmpty());

    w.setDisk(95'000'000'000, 1000'000'000'000);
    checkAndSettle(store);
    ASSERT_EQ(w.notifier->posted.size(), 1);
    EXPECT_EQ(w.notifier->posted[0].title, "Pendrel · Storage alert");
    EXPECT_TRUE(w.notifier->posted[0].identifier.startsWith("automation-"));
    EXPECT_TRUE(w.notifier->posted[0].playSound);
    EXPECT_TRUE(w.notifier->posted[0].body.startsWith("Disk is 91% full — ")); // 90.5 %, up
    EXPECT_EQ(store.state("disk-alert").lastRunDay, "2026-03-28");

    w.clock->set(inBerlin(2026, 3, 28, 23, 58));
    checkAndSettle(store);
    EXPECT_EQ(w.notifier->posted.size(), 1) << "once per day";

    // 00:10 on the day the clocks go forward: a new day here though still Saturday in UTC.
    w.clock->set(inBerlin(2026, 3, 29, 0, 10));
    checkAndSettle(store);
    ASSERT_EQ(w.notifier->posted.size(), 2);
    EXPECT_NE(w.notifier->posted[0].identifier, w.notifier->posted[1].identifier);
    EXPECT_EQ(store.state("disk-alert").lastRunDay, "2026-03-29");

    w.clock->set(inBerlin(2026, 3, 29, 23, 50));
    checkAndSettle(store);
    EXPECT_EQ(w.notifier->posted.size(), 2);
}

TEST(AutomationStore, RunNowIgnoresTheSwitchAndCountsAsTodaysRun) {
    World w;
    w.setDisk(95'000'000'000, 1000'000'000'000);
    AutomationStore store(w.environment());
    store.runNow(rule("disk-alert"));
    ASSERT_TRUE(settled(store));
    const AutomationRuleState ran = store.state("disk-alert");
    EXPECT_FALSE(ran.enabled);
    EXPECT_EQ(ran.lastRunDay, "2026-03-27");
    EXPECT_EQ(*ran.lastRun, secondsSinceReferenceDate(w.clock->now()));
    EXPECT_EQ(store.statusMessage(), "Storage alert: " + *ran.lastResult);
    const QJsonObject saved = w.defaults.value(AutomationRuleStates::defaultsKey())
                                  .toObject()
                                  .value("disk-alert")
                                  .toObject();
    EXPECT_EQ(saved.value("lastResult").toString(), *ran.lastResult);

    // Switched on later that day: the check that follows finds it already run today.
    store.setEnabled(true, "disk-alert");
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return store.statusMessage() == "No enabled schedules are due right now."; }));
    EXPECT_EQ(w.notifier->posted.size(), 1);
}

TEST(AutomationStore, SwitchingARuleOnChecksAtOnce) {
    World w;
    cleaningtest::writeFile(w.layout.home() + "/Downloads/setup.iso", 8000);
    cleaningtest::age(w.layout.home() + "/Downloads/setup.iso", 45, 45);
    AutomationStore store(w.environment());
    store.setEnabled(true, "friday-downloads");
    EXPECT_TRUE(store.state("friday-downloads").enabled);
    ASSERT_TRUE(
        testsupport::waitFor([&] { return store.state("friday-downloads").lastRun.has_value(); }));
    ASSERT_TRUE(settled(store));
    EXPECT_EQ(w.trash->moved(), QStringList({w.layout.home() + "/Downloads/setup.iso"}));

    // Switching off starts nothing.
    const int notes = int(w.notifier->posted.size());
    store.setEnabled(false, "friday-downloads");
    QCoreApplication::processEvents();
    EXPECT_FALSE(store.isChecking());
    EXPECT_EQ(w.notifier->posted.size(), notes);
    store.setEnabled(true, "no-such-rule");
    EXPECT_FALSE(store.states().contains("no-such-rule"));
}

TEST(AutomationStore, NothingElseStartsWhileARuleRuns) {
    World w;
    auto env = w.environmentWithDocker();
    QSemaphore gate;
    w.tools->setHandler([&gate](const QString&, const QStringList&) {
        gate.acquire();
        return FakeToolRunner::succeeded("Total reclaimed space: 0B\n");
    });
    storeEnabled(w, {"disk-alert"});
    w.setDisk(10, 1000);
    AutomationStore store(env);
    OpenAtEnd open{gate}; // before the store goes, which waits for the tool
    store.start();
    store.runNow(rule("weekly-docker"));
    ASSERT_TRUE(store.isRunning());
    EXPECT_EQ(store.runningRuleID(), "weekly-docker");

    store.checkDue();
    store.runNow(rule("disk-alert"));
    QMetaObject::invokeMethod(const_cast<QTimer*>(store.scheduleTimer()), "timeout");
    EXPECT_FALSE(store.statusMessage()) << "a refused check leaves even the status line alone";
    EXPECT_FALSE(store.isChecking());
    gate.release();
    ASSERT_TRUE(settled(store));
    EXPECT_EQ(store.statusMessage(), "Docker cleanup: Total reclaimed space: 0B");
    EXPECT_FALSE(store.state("disk-alert").lastRun);
    EXPECT_EQ(w.tools->calls().size(), 1);
    EXPECT_EQ(w.tools->calls()[0].program, env.dockerCandidates.first());
    EXPECT_EQ(w.tools->calls()[0].arguments, QStringList({"system", "prune", "-f"}));
    EXPECT_FALSE(store.runningRuleID());
}

TEST(AutomationStore, StartLeavesOneTimerOnTheInterval) {
    World w;
    auto env = w.environment();
    env.checkIntervalMs = 20;
    storeEnabled(w, {"disk-alert"});
    w.setDisk(5, 100);
    AutomationStore store(env);
    store.start();
    const QTimer* first = store.scheduleTimer();
    ASSERT_TRUE(first && first->isActive());
    store.start();
    EXPECT_TRUE(store.scheduleTimer()->isActive());
    EXPECT_EQ(store.scheduleTimer()->interval(), 20);
    ASSERT_TRUE(testsupport::waitFor([&] { return !w.notifier->posted.isEmpty(); }));
    EXPECT_EQ(w.notifier->posted[0].title, "Pendrel · Storage alert");
}
