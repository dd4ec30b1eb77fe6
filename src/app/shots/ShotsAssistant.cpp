#include "app/shots/Shots.h"

#include "assistant/TamsoMemory.h"
#include "assistant/views/PendrelTimelineView.h"
#include "assistant/views/TamsoMemoryView.h"
#include "fakes/FakeClock.h"
#include "platform/HomeLayout.h"
#include "platform/PendrelTimelineStore.h"

#include <QDir>
#include <QPixmap>
#include <QSize>
#include <QVBoxLayout>

namespace {

using Kind = TimelineEntry::Kind;

// A week of activity, oldest first, ending a few minutes before now; two entries pinned.
void fillWeek(PendrelTimelineStore& store, FakeClock& clock) {
    const struct {
        double hoursAgo;
        Kind kind;
        const char* title;
        const char* detail;
        const char* feature;
        bool pin;
    } rows[] = {
        {150, Kind::Automation, "Weekly cleanup", "Moved 1.2 GB of old downloads to the Trash.",
         "automation", false},
        {96, Kind::AskAnswer, "why is my mac hot",
         "Your CPU is at 91% and the sensor chips report 94 °C. ffmpeg is doing most of the "
         "work; the fans are near their maximum. It should cool down once the export finishes.",
         "performance", true},
        {49, Kind::Action, "Quit Slack", "Approved from Explain My Mac.", "performance", false},
        {26, Kind::AskAnswer, "what is taking up space",
         "Your home folder holds 212 GB. Movies (84 GB) and developer caches (31 GB) are the "
         "biggest parts; the caches can be rebuilt.",
         "disk", true},
        {3.5, Kind::Automation, "Developer caches", "Freed 3.4 GB of build caches.", "automation",
         false},
        {0.1, Kind::AskAnswer, "how much memory is free",
         "About 2.1 GB is free and 4.3 GB is cached, so memory is comfortable right now.",
         "dashboard", false},
    };
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const auto& r : rows) {
        clock.set(now.addSecs(qint64(-r.hoursAgo * 3600)));
        store.record(r.kind, QString::fromUtf8(r.title), QString::fromUtf8(r.detail),
                     QString::fromLatin1(r.feature));
        if (r.pin)
            store.togglePin(store.entries().first().id);
    }
}

void saveLooks(ShotContext& ctx, QWidget* window, const QString& name) {
    ctx.saveLooks(window, name, QSize(760, 900), QSize(760, 1300));
}

} // namespace

// The timeline (empty, with pinned entries, a search without a match) and the memory screen,
// each at the smallest and largest text size in light and dark. Every store and home is made
// here, in the shots' throw-away home.
void renderAssistantShots(ShotContext& ctx) {
    {
        auto clock = std::make_shared<FakeClock>();
        PendrelTimelineStore empty(CacheFolder(AppSupportFolder(Shots::freshFolder(
                                       QStringLiteral("assistant-shots/empty")))),
                                   clock);
        QWidget window;
        Shots::column(&window, QStringLiteral("pendrel-timeline"))
            ->addWidget(new PendrelTimelineView(empty, &window));
        saveLooks(ctx, &window, QStringLiteral("timeline-empty"));
    }
    {
        auto clock = std::make_shared<FakeClock>();
        PendrelTimelineStore store(CacheFolder(AppSupportFolder(
                                       Shots::freshFolder(QStringLiteral("assistant-shots/week")))),
                                   clock);
        fillWeek(store, *clock);
        QWidget window;
        Shots::column(&window, QStringLiteral("pendrel-timeline"))
            ->addWidget(new PendrelTimelineView(store, &window));
        saveLooks(ctx, &window, QStringLiteral("timeline-pinned"));
        store.setSearchText(QStringLiteral("kubernetes"));
        saveLooks(ctx, &window, QStringLiteral("timeline-no-match"));
        store.setSearchText(QStringLiteral("explain"));
        saveLooks(ctx, &window, QStringLiteral("timeline-search"));
    }
    {
        const QString home = Shots::freshFolder(QStringLiteral("assistant-shots/home"));
        for (const char* tool : {".docker", ".ollama", ".cargo", ".npm", ".cursor", ".homebrew"})
            QDir().mkpath(home + QLatin1Char('/') + QLatin1String(tool));
        TamsoMemory memory(HomeLayout::forHome(home));
        QWidget window;
        QVBoxLayout* layout = Shots::column(&window, QStringLiteral("tamso-memory"));
        layout->addWidget(new TamsoMemoryView(memory, &window));
        window.resize(760, 900);
        // The first look, before the refresh that showing starts has published: rendered
        // without being shown, so no refresh runs yet.
        window.ensurePolished();
        layout->activate();
        ctx.saveImage(window.grab().toImage(), QStringLiteral("memory-learning"));
        window.show();
        Shots::waitFor([&] { return !memory.observations().isEmpty(); });
        saveLooks(ctx, &window, QStringLiteral("memory"));
    }
}
