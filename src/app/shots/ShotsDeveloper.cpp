#include "app/shots/Shots.h"

#include "cleaning/CleanupScanner.h"
#include "developer/views/DevCleanView.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakePowerInhibitor.h"
#include "fakes/FakePowerSource.h"
#include "fakes/FakeTrash.h"
#include "platform/HomeLayout.h"
#include "shell/ScreenState.h"
#include "vitals/KeepAwakeManager.h"

#include <atomic>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

void renderDeveloperShots(ShotContext& ctx) {
    const QString base = Shots::freshFolder(QStringLiteral("developer-shots"));
    const HomeLayout layout = HomeLayout::forHome(base + "/home");
    auto measure = std::make_shared<FakeCategoryMeasure>();
    measure->setResult("dev-derived", {18'400'000'000, 91'204, {}});
    measure->setResult("dev-docker", {31'000'000'000, 12, {}});
    measure->setResult("dev-ollama", {24'700'000'000, 9, {}});
    measure->setResult("dev-lmstudio", {7'200'000'000, 3, {}});
    measure->setResult("dev-brew", {2'100'000'000, 3'801, {}});
    measure->setResult("dev-npm", {3'600'000'000, 48'112, {}});
    measure->setResult("dev-node-modules", {9'900'000'000, 210'400, {}});
    measure->setResult("dev-cargo", {1'300'000'000, 7'020, {}});
    CleanupScanner::Deps tools{measure, std::make_shared<FakeTrash>(base + "/trash"), {}};
    DevCleanupScanner scanner(layout, tools);
    ScreenState screen;

    bool onPower = true;
    KeepAwakeManager::Deps backends;
    auto inhibitor = std::make_unique<FakePowerInhibitor>();
    FakePowerInhibitor* power = inhibitor.get();
    backends.inhibitor = std::move(inhibitor);
    backends.powerSource = std::make_unique<FakePowerSource>(&onPower);
    KeepAwakeManager keepAwake(std::move(backends));

    auto window = std::make_unique<QWidget>();
    Shots::column(window.get(), QStringLiteral("devclean"))
        ->addWidget(new DevCleanView(screen, scanner, keepAwake, window.get()));
    window->resize(1000, 820);
    window->show();
    Shots::waitFor([&] { return scanner.state().phase == ScanPhase::Done; });
    keepAwake.start();
    Shots::settle();

    const struct {
        DevPane pane;
        const char* name;
    } panes[] = {{DevPane::Hub, "dev-hub"},
                 {DevPane::Cleanup, "dev-cleanup"},
                 {DevPane::Models, "dev-models"},
                 {DevPane::Awake, "dev-awake"}};
    for (const auto& p : panes) {
        screen.setDevPane(p.pane);
        for (int step : {0, 4}) {
            ctx.setLook(QStringLiteral("Light"), step);
            window->resize(1000, step == 0 ? 820 : 1060);
            Shots::settle();
            ctx.save(window.get(), QStringLiteral("%1-step%2").arg(p.name).arg(step));
        }
    }
    // The hub's cards take as many columns as the width allows.
    screen.setDevPane(DevPane::Hub);
    ctx.setLook(QStringLiteral("Light"), 4);
    window->resize(560, 1060);
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("dev-hub-narrow-step4"));
    window->resize(1000, 820);
    ctx.resetLook();
    keepAwake.stop(KeepAwakeManager::turnedOffNote());
    screen.setDevPane(DevPane::Awake);
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("dev-awake-off"));
    screen.setDevResult(QStringLiteral("Freed 3.6 GB · 2 items skipped"));
    screen.setDevPane(DevPane::Cleanup);
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("dev-cleanup-result"));

    // Measuring again, caught with only the first row measured: the cleanup pane lists what is
    // found so far under the measuring strip, the models pane still shows the placeholder.
    std::atomic_bool released = false;
    measure->setHook([&released](const CleanCategory& category, const CancelToken& cancel) {
        if (category.id == QLatin1String("dev-derived"))
            return;
        while (!released && !cancel.isCancelled())
            QThread::msleep(5);
    });
    window->findChild<QPushButton*>(QStringLiteral("devRescan"))->click();
    Shots::waitFor([&] { return scanner.progressDone() >= 1; });
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("dev-cleanup-measuring"));
    screen.setDevPane(DevPane::Models);
    Shots::settle();
    ctx.save(window.get(), QStringLiteral("dev-models-measuring"));
    released = true;
    Shots::waitFor([&] { return scanner.state().phase == ScanPhase::Done; });

    // Last, as its looks would linger in the shots after it. A desktop without a screensaver
    // service: the machine is kept awake, the display is not, and the note line says so.
    power->refuseDisplay = true;
    keepAwake.setKeepDisplayAwake(true);
    keepAwake.start();
    screen.setDevPane(DevPane::Awake);
    for (int step : {0, 4}) {
        ctx.setLook(QStringLiteral("Light"), step);
        window->resize(1000, step == 0 ? 820 : 1060);
        Shots::settle();
        ctx.save(window.get(), QStringLiteral("dev-awake-display-refused-step%1").arg(step));
    }
    ctx.resetLook();
}
