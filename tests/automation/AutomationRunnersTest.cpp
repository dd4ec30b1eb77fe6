#include "automation/AutomationTestSupport.h"
#include "cleaning/CleaningTestSupport.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/ByteFormat.h"
#include "vitals/AppState.h"

#include <gtest/gtest.h>
#include <memory>
#include <QThreadPool>

using namespace automationtest;

namespace {

using Runner = void (AutomationStore::*)(AutomationStore::Done);

// Runs one runner of the store and waits for its outcome.
AutomationStore::Outcome outcome(AutomationStore& store, Runner runner) {
    std::optional<AutomationStore::Outcome> got;
    (store.*runner)([&](const AutomationStore::Outcome& o) { got = o; });
    EXPECT_TRUE(testsupport::waitFor([&] { return got.has_value(); }, 20000));
    return got.value_or(AutomationStore::Outcome{});
}

// The text of a run that did its whole job (or found none to do); a run flagged as a problem
// fails the test.
QString result(AutomationStore& store, Runner runner) {
    const AutomationStore::Outcome o = outcome(store, runner);
    EXPECT_FALSE(o.problem) << o.text.toStdString();
    return o.text;
}

// The text of a run that left part of its job undone, which must say so by its flag.
QString problem(AutomationStore& store, Runner runner) {
    const AutomationStore::Outcome o = outcome(store, runner);
    EXPECT_TRUE(o.problem) << o.text.toStdString();
    return o.text;
}

// A developer cleaner over the sandbox home measured by a fake, so a test says what it finds.
struct DevCleaner {
    std::shared_ptr<FakeCategoryMeasure> measure = std::make_shared<FakeCategoryMeasure>();
    std::unique_ptr<DevCleanupScanner> scanner;

    explicit DevCleaner(World& w) {
        CleanupScanner::Deps tools = w.cleaningTools();
        tools.measure = measure;
        scanner = std::make_unique<DevCleanupScanner>(w.layout, tools);
    }
    QString derivedData(World& w) const {
        return w.layout.home() + "/Library/Developer/Xcode/DerivedData";
    }
};

} // namespace

TEST(AutomationRunners, OldDownloadsMovesOnlyFilesUnopenedForThirtyDays) {
    World w;
    const QString downloads = w.layout.home() + "/Downloads";
    AutomationStore store(w.environment());
    EXPECT_EQ(result(store, &AutomationStore::emptyOldDownloads),
              "Nothing older than 30 days in Downloads.")
        << "no Downloads folder at all";
    cleaningtest::writeFile(downloads + "/fresh.pdf", 9000);
    cleaningtest::writeFile(downloads + "/opened-lately.pdf", 9000);
    cleaningtest::age(downloads + "/opened-lately.pdf", 2, 60);
    EXPECT_EQ(result(store, &AutomationStore::emptyOldDownloads),
              "Nothing older than 30 days in Downloads.");
    EXPECT_TRUE(w.trash->moved().isEmpty());

    qint64 bytes = 0;
    for (const char* name : {"a.dmg", "sub/b.zip", ".c.part"}) {
        const QString path = downloads + "/" + name;
        cleaningtest::writeFile(path, 6000);
        cleaningtest::age(path, 40, 40);
        bytes += cleaningtest::allocated(path);
    }
    EXPECT_EQ(result(store, &AutomationStore::emptyOldDownloads),
              "Moved " + formatBytes(bytes) + " (3 files) to Trash.");
    EXPECT_EQ(w.trash->moved().size(), 3);
    EXPECT_TRUE(QFile::exists(downloads + "/opened-lately.pdf"));

    const QString stuck = downloads + "/stuck.iso";
    cleaningtest::writeFile(stuck, 6000);
    cleaningtest::age(stuck, 40, 40);
    w.trash->failFor(stuck, "Permission denied");
    EXPECT_EQ(problem(store, &AutomationStore::emptyOldDownloads), "Moved Zero KB; 1 skipped.");
    EXPECT_TRUE(QFile::exists(stuck));
}

TEST(AutomationRunners, DeveloperCachesScanWhenIdleAndUseAFinishedScanAsItStands) {
    World w;
    AutomationStore store(w.environment());
    EXPECT_EQ(problem(store, &AutomationStore::cleanDeveloperCaches),
              "Developer cleaner unavailable.");

    DevCleaner dev(w);
    store.setDevCleaner(dev.scanner.get());
    EXPECT_EQ(result(store, &AutomationStore::cleanDeveloperCaches),
              "No regenerable developer caches found.");
    EXPECT_EQ(dev.scanner->state().phase, ScanPhase::Done);

    // The finished scan is used as it is: the measure is not asked again.
    cleaningtest::writeFile(dev.derivedData(w) + "/App-abc/Build/out.o", 20000);
    dev.measure->setResult("dev-derived", Measurement{20000, 1, {}});
    dev.measure->setResult("dev-archives", Measurement{50000, 1, {}}); // off by default
    const qsizetype measured = dev.measure->measured().size();
    EXPECT_EQ(result(store, &AutomationStore::cleanDeveloperCaches),
              "No regenerable developer caches found.");
    EXPECT_EQ(dev.measure->measured().size(), measured);

    dev.scanner->scan();
    ASSERT_TRUE(testsupport::waitFor([&] { return !dev.scanner->isScanning(); }));
    const QString text = result(store, &AutomationStore::cleanDeveloperCaches);
    EXPECT_TRUE(text.startsWith("Freed ") && text.endsWith(" of developer caches."))
        << text.toStdString();
    EXPECT_EQ(w.trash->moved(), QStringList({dev.derivedData(w) + "/App-abc"}));
}

TEST(AutomationRunners, ADeveloperScanThatOverrunsTheWaitCleansWhatWasMeasured) {
    World w;
    DevCleaner dev(w);
    cleaningtest::writeFile(dev.derivedData(w) + "/App/x", 4000);
    dev.measure->setResult("dev-derived", Measurement{4000, 1, {}});
    // Shared with the hook, so a measuring job that outlives the test never waits on a gate
    // that is gone.
    auto gate = std::make_shared<QSemaphore>();
    OpenAtEnd open{*gate};
    dev.measure->setHook([gate](const CleanCategory& c, const CancelToken&) {
        if (c.id == "dev-xcodecache") // the second row: the first is measured by then
            gate->acquire();
    });
    AutomationStore store(w.environment());
    store.setDevCleaner(dev.scanner.get());
    const QString text = result(store, &AutomationStore::cleanDeveloperCaches);
    EXPECT_TRUE(dev.scanner->isScanning()) << "gave up waiting after 60 pauses";
    EXPECT_TRUE(text.endsWith(" of developer caches.")) << text.toStdString();
    gate->release(100);
    dev.scanner->cancelScan();
    EXPECT_TRUE(testsupport::waitFor([&] { return !dev.scanner->isScanning(); }, 20000));
    QThreadPool::globalInstance()->waitForDone(20000);
}

TEST(AutomationRunners, OldScreenshotsReportFailedMovesInsteadOfNothingFound) {
    World w;
    AutomationStore store(w.environment());
    EXPECT_EQ(problem(store, &AutomationStore::cleanOldScreenshots),
              "Screenshot cleaner unavailable.");
    ScreenshotCleanupScanner shots(w.layout, w.cleaningTools());
    store.setScreenshotCleaner(&shots);
    EXPECT_EQ(result(store, &AutomationStore::cleanOldScreenshots),
              "No screenshots older than 7 days found.");

    const QString home = w.layout.home();
    for (const char* name : {"Desktop/Screenshot 1.png", "Downloads/Screen Shot 2.jpg"}) {
        cleaningtest::writeFile(home + "/" + name, 3000);
        cleaningtest::age(home + "/" + name, 8, 8);
    }
    cleaningtest::writeFile(home + "/Desktop/Screenshot new.png", 3000);
    w.trash->refuseAll("Permission denied");
    EXPECT_EQ(problem(store, &AutomationStore::cleanOldScreenshots), "Moved Zero KB; 2 skipped.");

    w.trash->refuseAll(QString());
    const QString moved = result(store, &AutomationStore::cleanOldScreenshots);
    EXPECT_TRUE(moved.startsWith("Moved ") && moved.endsWith(" of old screenshots to Trash."))
        << moved.toStdString();
    EXPECT_EQ(w.trash->moved().size(), 2);
    EXPECT_TRUE(QFile::exists(home + "/Desktop/Screenshot new.png"));
}

TEST(AutomationRunners, StorageFiguresComeFromTheVitalsOrAFreshSample) {
    World w;
    w.setDisk(95'000'000'000, 1000'000'000'000);
    AutomationStore store(w.environment());
    EXPECT_EQ(result(store, &AutomationStore::storageAlertMessage),
              "Disk is 91% full — 95 GB free. Open Storage to reclaim space."); // 90.5 %, up
    // Root's reserved blocks are neither used nor free to the user: 500 GB used and 100 GB
    // available is 84% full (83.3 rounded up), as Performance and df say, not the 90% of
    // 1 − free ÷ total.
    w.setDisk(100'000'000'000, 1000'000'000'000);
    w.disk->diskUsedBytes = 500'000'000'000;
    EXPECT_EQ(result(store, &AutomationStore::storageAlertMessage),
              "Disk is 84% full — 100 GB free. Open Storage to reclaim space.");
    std::optional<bool> reserved;
    store.storageAlertDue([&](bool d) { reserved = d; });
    ASSERT_TRUE(testsupport::waitFor([&] { return reserved.has_value(); }));
    EXPECT_FALSE(*reserved);
    w.disk->diskUsedBytes.reset();

    auto sampler = std::make_shared<FakeSamplerState>();
    SystemSnapshot vitals;
    vitals.diskFreeBytes = 150'000'000'000;
    vitals.diskTotalBytes = 1000'000'000'000;
    sampler->set(vitals);
    AppState app(AppState::Options{FakeSnapshotSampler::factory(sampler), 3600000, true});
    store.setAppState(&app);
    ASSERT_TRUE(testsupport::waitFor([&] { return app.hasFirstSample(); }));
    EXPECT_EQ(result(store, &AutomationStore::storageAlertMessage),
              "Disk is 85% full — 150 GB free. Open Storage to reclaim space.");
    std::optional<bool> due;
    store.storageAlertDue([&](bool d) { due = d; });
    ASSERT_TRUE(testsupport::waitFor([&] { return due.has_value(); }));
    EXPECT_FALSE(*due);
}

TEST(AutomationRunners, DockerIsFoundAtTheCandidatesThenOnTheSearchPath) {
    World w;
    const QString local = w.root + "/usr-local-bin/docker";
    const QString inPath = w.root + "/path-bin/docker";
    auto env = w.environment();
    env.dockerCandidates = {w.root + "/opt-homebrew-bin/docker", local};
    env.searchPath = {w.root + "/path-bin", "relative"};
    {
        AutomationStore store(env);
        EXPECT_FALSE(store.locateDocker());
        EXPECT_EQ(result(store, &AutomationStore::pruneDocker), "Docker CLI not found — skipped.");
        EXPECT_TRUE(w.tools->calls().isEmpty());
    }
    writeScript(inPath, "exit 0\n");
    QDir().mkpath(local); // a folder is not the tool
    EXPECT_EQ(AutomationStore(env).locateDocker(), inPath);
    QDir().rmdir(local);
    writeScript(local, "exit 0\n");
    AutomationStore store(env);
    EXPECT_EQ(store.locateDocker(), local);
    EXPECT_EQ(result(store, &AutomationStore::pruneDocker), "Docker unused data pruned.");
    EXPECT_EQ(w.tools->calls().at(0).program, local);
}

TEST(AutomationRunners, DockerPruneRunsTheFoundToolAndReportsWhatItSaid) {
    World w;
    const QString docker = w.root + "/bin/docker";
    auto env = w.environment();
    env.dockerCandidates = {docker};
    env.tools = std::make_shared<ProcessToolRunner>();
    env.dockerTimeoutMs = 2000;
    AutomationStore store(env);

    writeScript(docker, "[ \"$*\" = \"system prune -f\" ] || exit 9\n"
                        "head -c 500 /dev/zero | tr '\\0' 'r'\n");
    EXPECT_EQ(result(store, &AutomationStore::pruneDocker), QString(200, 'r'));
    writeScript(docker, "echo 'Cannot connect to the Docker daemon' >&2\nexit 1\n");
    EXPECT_EQ(problem(store, &AutomationStore::pruneDocker),
              "Docker prune failed: Cannot connect to the Docker daemon\n");
    writeScript(docker, "exec sleep 30\n");
    EXPECT_EQ(problem(store, &AutomationStore::pruneDocker),
              "Docker prune failed: it did not finish within 2 seconds.");
    // Not a program the system can start.
    QFile f(docker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\x7f"
            "ELF garbage");
    f.close();
    EXPECT_TRUE(problem(store, &AutomationStore::pruneDocker).startsWith("Could not run Docker: "));
}
