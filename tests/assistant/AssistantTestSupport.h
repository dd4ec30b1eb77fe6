#pragma once

#include "assistant/TamsoAssistant.h"
#include "fakes/FakeCategoryMeasure.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLanguageModel.h"
#include "fakes/FakeRunningApplications.h"
#include "platform/CacheFolderTestSupport.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "support/TestSupport.h"
#include "vitals/PerformanceAutopilot.h"

#include <memory>
#include <QStringList>

namespace assistanttest {

using cachefoldertest::FileSizeLimit;
using cachefoldertest::LogCapture;
using cachefoldertest::readAll;
using cachefoldertest::Timeline;
using cachefoldertest::writeAll;

// The reply to a question the assistant has no rule for, word for word.
inline const QString kFallback =
    "I can answer about speed, heat, memory, disk space, battery, screenshots, organising "
    "folders, duplicates, and what system processes are. Try: \"why is my Mac hot?\" or \"why is "
    "my Mac slow?\".";

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
        assistant = std::make_unique<TamsoAssistant>(TamsoAssistant::Deps{
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
