#pragma once

#include "assistant/CacheFolder.h"
#include "assistant/PendrelTimelineStore.h"
#include "assistant/TamsoAssistant.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLanguageModel.h"
#include "fakes/FakeRunningApplications.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "support/TestSupport.h"
#include "vitals/PerformanceAutopilot.h"

#include <csignal>
#include <memory>
#include <QFile>
#include <QStringList>
#include <sys/resource.h>

namespace assistanttest {

// Collects every log line written while it lives.
class LogCapture {
public:
    LogCapture() {
        lines().clear();
        m_previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&,
                                               const QString& text) { lines().append(text); });
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    static QStringList& lines() {
        static QStringList collected;
        return collected;
    }

private:
    QtMessageHandler m_previous;
};

// While it lives, no file of this process may grow beyond `bytes`: a write past it fails as on a
// full disk (SIGXFSZ is ignored so the write reports the error instead).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// A timeline in a fresh folder of the sandbox, on a clock the test moves.
struct Timeline {
    explicit Timeline(const QString& name, const QByteArray& initialFile = {})
        : dir(testsupport::freshDir(name)), folder(AppSupportFolder(dir)),
          clock(std::make_shared<FakeClock>()) {
        if (!initialFile.isNull())
            writeAll(file(), initialFile);
        store = std::make_unique<PendrelTimelineStore>(folder, clock);
    }
    QString file() const { return folder.folder().pathFor(PendrelTimelineStore::fileName()); }
    QByteArray bytes() const { return readAll(file()); }

    QString dir;
    CacheFolder folder;
    std::shared_ptr<FakeClock> clock;
    std::unique_ptr<PendrelTimelineStore> store;
};

// An assistant on fakes only: its own timeline, notification centre, model, running
// applications and autopilot, a sandbox home and scripted measurements. The model is unavailable
// unless the test makes it available.
struct AssistantRig {
    explicit AssistantRig(const QString& name = QStringLiteral("assistant"))
        : timeline(name + QStringLiteral("-timeline")),
          defaults(testsupport::freshDir(name + QStringLiteral("-defaults")) +
                   QStringLiteral("/defaults.json")),
          applications(std::make_shared<FakeRunningApplications>()),
          autopilot(defaults, applications),
          home(HomeLayout::forHome(testsupport::freshDir(name + QStringLiteral("-home")))),
          measure(std::make_shared<FakeCategoryMeasure>()) {
        model.available = false;
        timeline.store->setPromptFormat(QLocale::c(), QTimeZone::utc());
        assistant = std::make_unique<TamsoAssistant>(TamsoAssistant::Dependencies{
            .timeline = *timeline.store,
            .model = model,
            .notifications = notifications,
            .autopilot = [this] { return &autopilot; },
            .applications = applications,
            .home = home,
            .measure = measure,
            .headroom = [this](const SystemSnapshot& s) { return headroom(s); },
        });
    }

    // Asks and waits for the answer; the answer, or an empty message when none came.
    TamsoMessage askAndWait(const QString& question, const SystemSnapshot& snapshot = {},
                            std::optional<TamsoScreenContext> screen = std::nullopt) {
        const qsizetype before = assistant->messages().size();
        assistant->ask(question, snapshot, std::move(screen));
        if (!testsupport::waitFor([&] { return assistant->messages().size() >= before + 2; }))
            return {};
        return assistant->messages().constLast();
    }

    Timeline timeline;
    NotificationCenter notifications;
    FakeLanguageModel model;
    UserDefaults defaults;
    std::shared_ptr<FakeRunningApplications> applications;
    PerformanceAutopilot autopilot;
    HomeLayout home;
    std::shared_ptr<FakeCategoryMeasure> measure;
    std::function<TamsoAssistant::Headroom(const SystemSnapshot&)> headroom =
        [](const SystemSnapshot&) {
            return TamsoAssistant::Headroom{QStringLiteral("Good headroom"),
                                            QStringLiteral("78 headroom points · 12 GB free · "
                                                           "memory 81%"),
                                            {QStringLiteral("Storage getting tight"),
                                             QStringLiteral("Memory elevated"),
                                             QStringLiteral("Thermals comfortable")}};
        };
    std::unique_ptr<TamsoAssistant> assistant;
};

} // namespace assistanttest
