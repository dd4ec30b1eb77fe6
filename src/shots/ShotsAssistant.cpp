#include "shots/Shots.h"

#include "assistant/PendrelTimelineStore.h"
#include "assistant/TamsoMemory.h"
#include "assistant/views/PendrelTimelineView.h"
#include "assistant/views/TamsoMemoryView.h"
#include "fakes/FakeClock.h"
#include "platform/HomeLayout.h"
#include "ui-kit/Themed.h"

#include <cstdio>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
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

// Word-wrapped cards settle one layout level per event-loop turn.
void settle() {
    for (int i = 0; i < 12; ++i)
        QApplication::processEvents();
}

void saveLooks(ShotContext& ctx, QWidget* window, const QString& name) {
    const struct {
        const char* appearance;
        const char* suffix;
    } looks[] = {{"Light", ""}, {"Dark", "-dark"}};
    for (const auto& look : looks) {
        for (int step : {0, 4}) {
            ctx.setLook(QString::fromUtf8(look.appearance), step);
            window->resize(760, step == 0 ? 900 : 1300);
            settle();
            ctx.save(window, QStringLiteral("%1-step%2%3")
                                 .arg(name)
                                 .arg(step)
                                 .arg(QString::fromUtf8(look.suffix)));
        }
    }
    ctx.resetLook();
}

QString freshFolder(const QString& name) {
    const QString dir = QDir::homePath() + QStringLiteral("/assistant-shots/") + name;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

} // namespace

// The timeline (empty, with pinned entries, a search without a match) and the memory screen,
// each at the smallest and largest text size in light and dark. Every store and home is made
// here, in the shots' throw-away home.
void renderAssistantShots(ShotContext& ctx) {
    {
        auto clock = std::make_shared<FakeClock>();
        PendrelTimelineStore empty(CacheFolder(AppSupportFolder(freshFolder("empty"))), clock);
        QWidget window;
        Themed::apply(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new PendrelTimelineView(empty, &window));
        saveLooks(ctx, &window, QStringLiteral("timeline-empty"));
    }
    {
        auto clock = std::make_shared<FakeClock>();
        PendrelTimelineStore store(CacheFolder(AppSupportFolder(freshFolder("week"))), clock);
        fillWeek(store, *clock);
        QWidget window;
        Themed::apply(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new PendrelTimelineView(store, &window));
        saveLooks(ctx, &window, QStringLiteral("timeline-pinned"));
        store.setSearchText(QStringLiteral("kubernetes"));
        saveLooks(ctx, &window, QStringLiteral("timeline-no-match"));
        store.setSearchText(QStringLiteral("explain"));
        saveLooks(ctx, &window, QStringLiteral("timeline-search"));
    }
    {
        const QString home = freshFolder("home");
        for (const char* tool : {".docker", ".ollama", ".cargo", ".npm", ".cursor", ".homebrew"})
            QDir().mkpath(home + QLatin1Char('/') + QLatin1String(tool));
        TamsoMemory memory(HomeLayout::forHome(home));
        QWidget window;
        Themed::apply(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new TamsoMemoryView(memory, &window);
        layout->addWidget(view);
        window.resize(760, 900);
        // The first look, before the refresh that showing starts has published: rendered
        // without being shown, so no refresh runs yet.
        window.ensurePolished();
        layout->activate();
        const QString learning = ctx.outDir + QStringLiteral("/memory-learning.png");
        const bool ok = window.grab().save(learning);
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(learning));
        ctx.failures += ok ? 0 : 1;
        window.show();
        const QDeadlineTimer deadline(5000);
        while (memory.observations().isEmpty() && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        saveLooks(ctx, &window, QStringLiteral("memory"));
    }
}
