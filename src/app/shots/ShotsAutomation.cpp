#include "app/shots/Shots.h"

#include "automation/AutomationStore.h"
#include "automation/views/AutomationView.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakeToolRunner.h"
#include "fakes/FakeTrash.h"
#include "fakes/FakeUserNotifier.h"
#include "platform/AppSupportFolder.h"
#include "platform/PendrelTimelineStore.h"
#include "platform/UserDefaults.h"
#include "shell/RunModeManager.h"
#include "vitals/SystemSnapshot.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QSize>
#include <QVBoxLayout>

namespace {

void saveLooks(ShotContext& ctx, QWidget* window, const QString& name) {
    ctx.saveLooks(window, name, QSize(760, 1180), QSize(760, 1700));
}

// A store on fakes in its own folder of the shots' throw-away home: its own defaults, no real
// notification, no real docker, a disk 93% full.
struct Bench {
    QString dir;
    std::unique_ptr<UserDefaults> defaults;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(Shots::now().toUTC());
    std::shared_ptr<FakeToolRunner> tools = std::make_shared<FakeToolRunner>();
    FakeLoginItem login;
    std::unique_ptr<RunModeManager> runMode;
    std::unique_ptr<PendrelTimelineStore> timeline;
    std::unique_ptr<AutomationStore> store;

    Bench(const QString& name, const AutomationRuleStates::Map& states, RunMode mode) {
        dir = Shots::freshFolder(QStringLiteral("automation-shots/") + name);
        defaults = std::make_unique<UserDefaults>(dir + QStringLiteral("/defaults.json"));
        if (!states.isEmpty())
            defaults->setValue(AutomationRuleStates::defaultsKey(),
                               AutomationRuleStates::encode(states));
        runMode = std::make_unique<RunModeManager>(*defaults, login);
        runMode->setMode(mode);

        AutomationStore::Deps env;
        env.defaults = defaults.get();
        env.clock = clock;
        env.layout = HomeLayout::forHome(dir + QStringLiteral("/home"));
        env.cleaning.measure = std::make_shared<FakeCategoryMeasure>();
        env.cleaning.trash = std::make_shared<FakeTrash>(dir + QStringLiteral("/trash"));
        env.notifier = std::make_shared<FakeUserNotifier>();
        env.tools = tools;
        timeline = std::make_unique<PendrelTimelineStore>(
            CacheFolder(AppSupportFolder(dir + QStringLiteral("/data"))), clock);
        env.timeline = timeline.get();
        const QString docker = dir + QStringLiteral("/bin/docker");
        QDir().mkpath(dir + QStringLiteral("/bin"));
        QFile script(docker);
        if (script.open(QIODevice::WriteOnly))
            script.write("#!/bin/sh\nexit 0\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.dockerCandidates = {docker};
        env.searchPath = {};
        env.freshDiskSample = [] {
            SystemSnapshot s;
            s.diskFreeBytes = 70'000'000'000;
            s.diskTotalBytes = 1'000'000'000'000;
            return s;
        };
        store = std::make_unique<AutomationStore>(std::move(env));
    }
};

double secondsAgo(qint64 seconds) {
    return secondsSinceReferenceDate(Shots::now().toUTC().addSecs(-seconds));
}

AutomationRuleState ranState(bool enabled, qint64 secondsBefore, const char* result) {
    AutomationRuleState s;
    s.enabled = enabled;
    s.lastRun = secondsAgo(secondsBefore);
    s.lastResult = QString::fromUtf8(result);
    return s;
}

std::unique_ptr<QWidget> automationWindow(Bench& bench) {
    auto window = std::make_unique<QWidget>();
    Shots::column(window.get(), QStringLiteral("automation"))
        ->addWidget(new AutomationView(*bench.store, bench.runMode.get(), window.get()));
    return window;
}

} // namespace

// The automation screen on a fresh start (window-only, so the tip shows), and in use: rules
// that ran, one waiting, one running, a long result and the last status message.
void renderAutomationShots(ShotContext& ctx) {
    {
        Bench bench(QStringLiteral("fresh"), {}, RunMode::WindowOnly);
        std::unique_ptr<QWidget> window = automationWindow(bench);
        saveLooks(ctx, window.get(), QStringLiteral("automation"));
    }
    {
        AutomationRuleStates::Map states;
        states["friday-downloads"] =
            ranState(true, 3 * 86400 + 5400, "Moved 1.2 GB (38 files) to Trash.");
        states["sunday-dev"].enabled = true;
        states["disk-alert"].enabled = true;
        states["weekly-docker"] =
            ranState(true, 7 * 86400,
                     "Docker prune failed: Cannot connect to the Docker daemon at "
                     "unix:///var/run/docker.sock. Is the docker daemon running?");
        states["friday-screenshots"] =
            ranState(false, 10 * 86400, "Moved 84 MB of old screenshots to Trash.");
        Bench bench(QStringLiteral("in-use"), states, RunMode::MenuBar);
        // The storage alert has just run; Docker is running now and holds until released.
        bench.store->runNow(*AutomationRule::lookup(QStringLiteral("disk-alert")));
        Shots::waitFor([&] { return !bench.store->isRunning(); }, 10000);
        QSemaphore gate;
        bench.tools->setHandler([&gate](const QString&, const QStringList&) {
            gate.acquire();
            return FakeToolRunner::succeeded("Total reclaimed space: 2.31GB\n");
        });
        bench.store->runNow(*AutomationRule::lookup(QStringLiteral("weekly-docker")));
        std::unique_ptr<QWidget> window = automationWindow(bench);
        saveLooks(ctx, window.get(), QStringLiteral("automation-running"));
        gate.release();
        Shots::waitFor([&] { return !bench.store->isRunning(); }, 10000);
        saveLooks(ctx, window.get(), QStringLiteral("automation-ran"));
    }
}
