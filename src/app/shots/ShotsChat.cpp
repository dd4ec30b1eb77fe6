#include "app/shots/Shots.h"

#include "assistant/SpotlightSearch.h"
#include "assistant/TamsoAssistant.h"
#include "assistant/views/DescribeFindPanel.h"
#include "assistant/views/TamsoAIView.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFileRevealer.h"
#include "fakes/FakeLanguageModel.h"
#include "fakes/FakeRunningApplications.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/CacheFolder.h"
#include "platform/NotificationCenter.h"
#include "platform/PendrelTimelineStore.h"
#include "shell/ScreenState.h"
#include "vitals/AppState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSemaphore>
#include <QVBoxLayout>

namespace {

// A small home with documents and photos whose names a description finds.
QString sampleHome() {
    const QString home = Shots::freshFolder(QStringLiteral("chat-shots/home"));
    const char* files[] = {
        "Documents/Invoices/invoice-2024-electricity.pdf",
        "Documents/Invoices/invoice-2024-water.pdf",
        "Documents/Letters/electricity company complaint.txt",
        "Pictures/Holiday/dog on the beach.jpg",
        "Downloads/Electricity tariff comparison 2025 with a very long name.xlsx"};
    for (const char* f : files) {
        const QString path = home + QLatin1Char('/') + QString::fromUtf8(f);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("electricity\n");
    }
    return home;
}

// Everything the chat screen needs, made here on fakes in the shots' throw-away home.
struct ChatRig {
    ChatRig()
        : timeline(CacheFolder(
                       AppSupportFolder(Shots::freshFolder(QStringLiteral("chat-shots/timeline")))),
                   std::make_shared<FakeClock>()),
          appState(FakeSnapshotSampler::appStateOptions(samples)), finder(sampleHome()) {
        model.available = false;
        assistant = std::make_unique<TamsoAssistant>(TamsoAssistant::Deps{
            .timeline = timeline,
            .model = model,
            .notifications = notifications,
            .autopilot = [] { return nullptr; },
            .applications = std::make_shared<FakeRunningApplications>(),
            .home = HomeLayout::forHome(finder.root()),
            .measure = std::make_shared<FakeCategoryMeasure>(),
            .headroom = [](const SystemSnapshot&) { return std::nullopt; },
        });
    }

    PendrelTimelineStore timeline;
    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    AppState appState;
    FakeLanguageModel model;
    NotificationCenter notifications;
    SpotlightSearch finder;
    ScreenState screen;
    FakeFileRevealer revealer;
    std::unique_ptr<TamsoAssistant> assistant;
};

void saveSizes(ShotContext& ctx, QWidget* window, const QString& name) {
    for (int step : {0, 4}) {
        ctx.setLook(QStringLiteral("Light"), step);
        window->resize(step == 0 ? 1100 : 1400, step == 0 ? 700 : 900);
        Shots::settle(8);
        ctx.save(window, QStringLiteral("%1-step%2").arg(name).arg(step));
    }
    ctx.setLook(QStringLiteral("Dark"), 0);
    window->resize(1100, 700);
    Shots::settle(8);
    ctx.save(window, name + QStringLiteral("-step0-dark"));
    ctx.resetLook();
}

} // namespace

// The assistant's chat screen: the welcome alone, then an answer with an action, and its find
// panel idle, searching, with hits, with nothing matched and with a description of stop words.
void renderChatShots(ShotContext& ctx) {
    ChatRig rig;
    QWidget window;
    QVBoxLayout* layout = Shots::column(&window, QStringLiteral("tamso"));
    auto* view = new TamsoAIView(rig.screen, rig.appState, *rig.assistant, rig.finder,
                                 &rig.revealer, &window);
    layout->addWidget(view);
    auto* panel = view->findChild<DescribeFindPanel*>();
    saveSizes(ctx, &window, QStringLiteral("chat-welcome"));

    rig.assistant->ask(QStringLiteral("Can you tidy my Downloads folder?"), {},
                       TamsoScreenContext{QStringLiteral("tamso"), view->windowTitle(), {}});
    Shots::waitFor([&] { return rig.assistant->messages().size() >= 3; });
    rig.screen.setTamsoQuestion(QStringLiteral("What is using my memory?"));
    saveSizes(ctx, &window, QStringLiteral("chat-answer-actions"));

    // Searching: the walk waits for the gate while the shot is taken.
    auto gate = std::make_shared<QSemaphore>();
    rig.finder.setBeforeWalk([gate] { gate->acquire(); });
    panel->runSearch(QStringLiteral("invoice from the electricity company"));
    saveSizes(ctx, &window, QStringLiteral("chat-find-searching"));
    rig.finder.setBeforeWalk({});
    gate->release();
    Shots::waitFor([&] { return rig.finder.state().phase == ScanPhase::Done; });
    saveSizes(ctx, &window, QStringLiteral("chat-find-results"));

    panel->runSearch(QStringLiteral("kubernetes manifests"));
    Shots::waitFor([&] { return rig.finder.state().phase == ScanPhase::Done; });
    saveSizes(ctx, &window, QStringLiteral("chat-find-nothing"));

    panel->runSearch(QStringLiteral("of my"));
    saveSizes(ctx, &window, QStringLiteral("chat-find-failed"));

    window.findChild<QPushButton*>(QStringLiteral("clearSearch"))->click();
    saveSizes(ctx, &window, QStringLiteral("chat-find-idle"));
}
