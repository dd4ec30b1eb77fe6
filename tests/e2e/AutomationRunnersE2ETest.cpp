// The five automation runners on a sandboxed home through the real measurer, cleaner, guard and
// freedesktop Trash (and a real child process and disk sample): what moved, what stayed, and
// what the user was told in the result, the notification and the timeline.
#include "automation/AutomationTestSupport.h"
#include "e2e/E2ESupport.h"
#include "platform/ByteFormat.h"
#include "platform/ToolRunner.h"
#include "vitals/SystemStatsSampler.h"

#include <QRegularExpression>

using namespace e2e;
using namespace automationtest;

namespace {

// An automation store whose cleaning is the app's own on a home of its own.
struct Rig {
    World world;
    Home home{QStringLiteral("automation-home")};
    std::unique_ptr<AutomationStore> store;

    explicit Rig(const std::function<void(AutomationStore::Deps&)>& adjust = {}) {
        AutomationStore::Deps env = world.environment();
        env.layout = home.layout;
        env.cleaning = home.deps;
        env.tools = std::make_shared<ProcessToolRunner>();
        env.freshDiskSample = [] {
            SystemStatsSampler sampler;
            SystemSnapshot snapshot;
            sampler.sampleDisk(snapshot);
            return snapshot;
        };
        if (adjust)
            adjust(env);
        store = std::make_unique<AutomationStore>(env);
    }

    // Runs the rule as "Run now" does and hands back the status line the screen shows.
    QString runNow(const char* ruleId) {
        store->runNow(rule(ruleId));
        EXPECT_TRUE(settled(*store, 60000));
        return store->statusMessage().value_or(QString());
    }
    QString told(const char* ruleId) const {
        return store->state(QString::fromLatin1(ruleId)).lastResult.value_or(QString());
    }
    // Whether the last run is shown as a problem, on the status line and in the rule's row.
    bool toldAsProblem(const char* ruleId) const {
        const bool row = store->state(QString::fromLatin1(ruleId)).lastResultIsProblem;
        EXPECT_EQ(row, store->statusIsProblem()) << ruleId;
        return row;
    }
    QString downloads() const { return home.layout.map("Downloads"); }
};

// The last notification and timeline entry carry the result too.
void expectToldEverywhere(const Rig& rig, const QString& result) {
    ASSERT_FALSE(rig.world.notifier->posted.isEmpty());
    EXPECT_EQ(rig.world.notifier->posted.last().body, result);
    ASSERT_FALSE(rig.world.timeline.entries().isEmpty());
    EXPECT_EQ(rig.world.timeline.entries().first().detail, result);
}

} // namespace

TEST(AutomationRunnersE2E, OldDownloadsGoToTheTrashAndTheRestStays) {
    Rig rig;
    const QStringList old = writeFixture(
        rig.downloads(), rig.home.outside, [](const QString& s) { return s + ".dmg"; }, 45);
    const QString fresh = rig.downloads() + "/fresh.pdf";
    writeFile(fresh, 4000);
    const Held before = held({rig.downloads()});

    const QString status = rig.runNow("friday-downloads");
    const Held after = held({rig.downloads()});
    // The package stays whole; every other file unopened for 30 days went.
    const QStringList inPackage = old.filter("/Editor.app/");
    const int moved = int(old.size() - inPackage.size());
    const QString result = "Moved " + formatBytes(before.bytes - after.bytes) + " (" +
                           QString::number(moved) + " files) to Trash.";
    EXPECT_EQ(rig.told("friday-downloads"), result);
    EXPECT_TRUE(status.endsWith(": " + result)) << status.toStdString();
    EXPECT_FALSE(rig.toldAsProblem("friday-downloads"));
    expectToldEverywhere(rig, result);
    EXPECT_EQ(before.files - after.files, moved);
    EXPECT_EQ(rig.home.trashed().size(), moved);
    for (const QString& path : old)
        EXPECT_EQ(QFileInfo::exists(path), inPackage.contains(path)) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(fresh));
    EXPECT_TRUE(QFileInfo(rig.downloads() + "/link.dmg").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(rig.home.outside));
}

TEST(AutomationRunnersE2E, ADownloadsFolderTheGuardRefusesIsAFailureWithItsReason) {
    Rig rig;
    // Downloads that is the home itself (a link to it): nothing of the home is searched.
    writeFile(rig.home.layout.home() + "/old.dmg", 4000);
    age(rig.home.layout.home() + "/old.dmg", 90, 90);
    symlinkTo(rig.home.layout.home(), rig.downloads());
    rig.runNow("friday-downloads");
    EXPECT_EQ(rig.told("friday-downloads"),
              "Left alone: " + rig.downloads() +
                  " is your home folder, so Pendrel will not search it.");
    EXPECT_TRUE(rig.toldAsProblem("friday-downloads"));
    EXPECT_TRUE(QFileInfo::exists(rig.home.layout.home() + "/old.dmg"));
    EXPECT_TRUE(rig.home.trashed().isEmpty());
}

TEST(AutomationRunnersE2E, DeveloperCachesAreFreedAndARefusedCacheIsNamed) {
    Rig rig;
    DevCleanupScanner dev(rig.home.layout, rig.home.deps);
    rig.store->setDevCleaner(&dev);
    const HomeLayout& l = rig.home.layout;
    writeFixture(l.map("Library/Caches/pip"), rig.home.outside, [](const QString& s) { return s; });
    writeFixture(l.map(".gradle/caches"), rig.home.outside, [](const QString& s) { return s; });
    const QString archive = l.map("Library/Developer/Xcode/Archives") + "/App.xcarchive/x";
    writeFile(archive, 5000); // off by default
    const Held before = held({l.map("Library/Caches/pip"), l.map(".gradle/caches")});
    // A cache place that is a link to the user's Documents is never emptied.
    const QString documents = l.map("Documents");
    writeFile(documents + "/thesis.odt", 5000);
    QDir().mkpath(l.map(".cargo/registry"));
    symlinkTo(documents, l.map(".cargo/registry/cache"));

    rig.runNow("sunday-dev");
    const Held after = held({l.map("Library/Caches/pip"), l.map(".gradle/caches")});
    EXPECT_EQ(after.entries, 0);
    const QString result = "Freed " + formatBytes(before.bytes - after.bytes) +
                           " of developer caches. Left alone: " + l.map(".cargo/registry/cache") +
                           " is your Documents folder, so Pendrel will not empty it.";
    EXPECT_EQ(rig.told("sunday-dev"), result);
    EXPECT_TRUE(rig.toldAsProblem("sunday-dev")) << "freed, yet a place was left alone";
    expectToldEverywhere(rig, result);
    EXPECT_TRUE(QFileInfo::exists(documents + "/thesis.odt"));
    EXPECT_TRUE(QFileInfo::exists(archive));
    EXPECT_TRUE(QFileInfo::exists(rig.home.outside));

    // With only the refused place left to clean, the run says so, not "nothing found".
    scanAndWait(dev);
    rig.runNow("sunday-dev");
    EXPECT_EQ(rig.told("sunday-dev"),
              "Left alone: " + l.map(".cargo/registry/cache") +
                  " is your Documents folder, so Pendrel will not empty it.");
    EXPECT_TRUE(rig.toldAsProblem("sunday-dev"));
}

TEST(AutomationRunnersE2E, OldScreenshotsMoveAndARefusedDesktopIsNamed) {
    Rig rig;
    ScreenshotCleanupScanner shots(rig.home.layout, rig.home.deps);
    rig.store->setScreenshotCleaner(&shots);
    const QString desk = rig.home.layout.map("Desktop");
    const QStringList old = writeFixture(
        desk, rig.home.outside, [](const QString& s) { return "Screenshot " + s + ".png"; }, 10);
    const QString fresh = desk + "/Screenshot today.png";
    writeFile(fresh, 3000);
    const Held before = held({desk});

    rig.runNow("friday-screenshots");
    const Held after = held({desk});
    const QString result =
        "Moved " + formatBytes(before.bytes - after.bytes) + " of old screenshots to Trash.";
    EXPECT_EQ(rig.told("friday-screenshots"), result);
    EXPECT_FALSE(rig.toldAsProblem("friday-screenshots"));
    expectToldEverywhere(rig, result);
    // Found within two levels, outside packages.
    for (const QString& path : old)
        EXPECT_EQ(QFileInfo::exists(path), path.contains("/Editor.app/") || path.contains("/sub/"))
            << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(fresh));

    // A Desktop that is the home: refused with its reason, and nothing of the home moves.
    Rig refused;
    ScreenshotCleanupScanner homeShots(refused.home.layout, refused.home.deps);
    refused.store->setScreenshotCleaner(&homeShots);
    const QString home = refused.home.layout.home();
    writeFile(home + "/Screenshot old.png", 3000);
    age(home + "/Screenshot old.png", 30, 30);
    symlinkTo(home, refused.home.layout.map("Desktop"));
    refused.runNow("friday-screenshots");
    EXPECT_EQ(refused.told("friday-screenshots"),
              "Left alone: " + refused.home.layout.map("Desktop") +
                  " is your home folder, so Pendrel will not search it.");
    EXPECT_TRUE(refused.toldAsProblem("friday-screenshots"));
    EXPECT_TRUE(QFileInfo::exists(home + "/Screenshot old.png"));
    EXPECT_TRUE(refused.home.trashed().isEmpty());
}

TEST(AutomationRunnersE2E, TheStorageAlertReadsTheDiskAsItIs) {
    Rig rig;
    rig.runNow("disk-alert");
    SystemStatsSampler sampler;
    SystemSnapshot disk;
    sampler.sampleDisk(disk);
    const QString told = rig.told("disk-alert");
    EXPECT_TRUE(QRegularExpression("^Disk is \\d+% full — .+ free\\. Open Storage to reclaim "
                                   "space\\.$")
                    .match(told)
                    .hasMatch())
        << told.toStdString();
    EXPECT_TRUE(told.startsWith("Disk is " + QString::number(disk.diskFullPercent()) + "% full"))
        << told.toStdString();
    expectToldEverywhere(rig, told);
}

TEST(AutomationRunnersE2E, TheDockerPruneRunsTheToolFoundAndReportsItsOutput) {
    const QString bin = testsupport::freshDir("docker-bin");
    // A stand-in with the tool's name: it records its arguments and prints what prune prints.
    writeScript(bin + "/docker",
                "echo \"$@\" > \"$(dirname \"$0\")/args\"\necho 'Total reclaimed space: 12MB'\n");
    Rig rig([&](AutomationStore::Deps& env) { env.searchPath = {bin}; });
    rig.runNow("weekly-docker");
    EXPECT_EQ(rig.told("weekly-docker"), "Total reclaimed space: 12MB");
    expectToldEverywhere(rig, "Total reclaimed space: 12MB");
    QFile args(bin + "/args");
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll().trimmed(), "system prune -f");

    Rig none;
    none.runNow("weekly-docker");
    EXPECT_EQ(none.told("weekly-docker"), "Docker CLI not found — skipped.");
}
