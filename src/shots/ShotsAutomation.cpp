#include "shots/Shots.h"

#include "automation/AutomationStore.h"
#include "automation/views/AutomationView.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakeToolRunner.h"
#include "fakes/FakeTrash.h"
#include "fakes/FakeUserNotifier.h"
#include "platform/AppSupportFolder.h"
#include "platform/UserDefaults.h"
#include "shell/RunModeManager.h"
#include "ui-kit/Themed.h"
#include "vitals/SystemSnapshot.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QVBoxLayout>

namespace {

void settle() {
    for (int i = 0; i < 12; ++i)
        QApplication::processEvents();
}

void waitFor(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void saveLooks(ShotContext& ctx, QWidget* window, const QString& name) {
    const struct {
        const char* appearance;
        const char* suffix;
    } looks[] = {{"Light", ""}, {"Dark", "-dark"}};
    for (const auto& look : looks) {
        for (int step : {0, 4}) {
            ctx.setLook(QString::fromUtf8(look.appearance), step);
            window->resize(760, step == 0 ? 1180 : 1700);
            settle();
            ctx.save(window, QStringLiteral("%1-step%2%3")
                                 .arg(name)
                                 .arg(step)
                                 .arg(QString::fromUtf8(look.suffix)));
        }
    }
    ctx.resetLook();
}

// A store on fakes in its own folder of the shots' throw-away home: its own defaults, no real
// notification, no real docker, a disk 93% full.
struct Bench {
    QString dir;
    std::unique_ptr<UserDefaults> defaults;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(QDateTime::currentDateTimeUtc());
    std::shared_ptr<FakeToolRunner> tools = std::make_shared<FakeToolRunner>();
    FakeLoginItem login;
    std::unique_ptr<RunModeManager> runMode;
    std::unique_ptr<AutomationStore> store;

    Bench(const QString& name, const AutomationRuleStates::Map& states, RunMode mode) {
        dir = QDir::homePath() + QStringLiteral("/automation-shots/") + name;
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        defaults = std::make_unique<UserDefaults>(dir + QStringLiteral("/defaults.json"));
        if (!states.isEmpty())
            defaults->setValue(AutomationRuleStates::defaultsKey(),
                               AutomationRuleStates::encode(states));
        runMode = std::make_unique<RunModeManager>(*defaults, login);
        runMode->setMode(mode);

        AutomationStore::Environment env;
        env.defaults = defaults.get();
        env.clock = clock;
        env.layout = HomeLayout::forHome(dir + QStringLiteral("/home"));
        env.cleaning.trash = std::make_shared<FakeTrash>(dir + QStringLiteral("/trash"));
        env.notifier = std::make_shared<FakeUserNotifier>();
        env.tools = tools;
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
    return secondsSinceReferenceDate(QDateTime::currentDateTimeUtc().addSecs(-seconds));
}

AutomationRuleState ranState(bool enabled, qint64 secondsBefore, const char* result) {
    AutomationRuleState s;
    s.enabled = enabled;
    s.lastRun = secondsAgo(secondsBefore);
    s.lastResult = QString::fromUtf8(result);
    return s;
}

std::unique_ptr<QWidget> frame(Bench& bench) {
    auto window = std::make_unique<QWidget>();
    Themed::apply(window.get());
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new AutomationView(*bench.store, bench.runMode.get(), window.get()));
    return window;
}

} // namespace

// The automation screen on a fresh start (window-only, so the tip shows), and in use: rules
// that ran, one waiting, one running, a long result and the last status message.
void renderAutomationShots(ShotContext& ctx) {
    {
        Bench bench(QStringLiteral("fresh"), {}, RunMode::WindowOnly);
        std::unique_ptr<QWidget> window = frame(bench);
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
        waitFor([&] { return !bench.store->isRunning(); });
        QSemaphore gate;
        bench.tools->setHandler([&gate](const QString&, const QStringList&) {
            gate.acquire();
            return FakeToolRunner::succeeded("Total reclaimed space: 2.31GB\n");
        });
        bench.store->runNow(*AutomationRule::lookup(QStringLiteral("weekly-docker")));
        std::unique_ptr<QWidget> window = frame(bench);
        saveLooks(ctx, window.get(), QStringLiteral("automation-running"));
        gate.release();
        waitFor([&] { return !bench.store->isRunning(); });
        saveLooks(ctx, window.get(), QStringLiteral("automation-ran"));
    }
}
