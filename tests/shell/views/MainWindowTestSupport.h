#pragma once

#include "assistant/AssistantTestSupport.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "shell/views/ContentView.h"
#include "shell/views/SidebarRow.h"
#include "shell/views/SidebarView.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "vitals/AppState.h"

#include <functional>
#include <memory>
#include <mutex>
#include <QLabel>

inline SystemSnapshot memorySample(quint64 used, quint64 total) {
    SystemSnapshot s;
    s.memUsedBytes = used;
    s.memTotalBytes = total;
    return s;
}

inline SidebarView* sidebarOf(const QWidget& content) {
    return Find::part<SidebarView>(content, QStringLiteral("sidebar"));
}

// The sidebar's section rows, top to bottom.
inline QList<SidebarRow*> sidebarRows(const QWidget& content) {
    return Find::part<QWidget>(sidebarOf(content), QStringLiteral("sectionRows"))
        ->findChildren<SidebarRow*>(QString(), Qt::FindDirectChildrenOnly);
}

inline SidebarRow* sidebarRow(const QWidget& content, const QString& featureId) {
    return Find::part<SidebarRow>(sidebarOf(content), QStringLiteral("row-") + featureId);
}

// One hand-over to the assistant, exactly as the caller made it.
struct AskCall {
    QString question;
    SystemSnapshot snapshot;
    std::optional<TamsoScreenContext> context;
};

// A content view over test-owned services, its own defaults file, and screens that are plain
// labels named "screen-<id>", counted as they are made. Nothing samples until the test says so.
// Every question handed to the assistant is counted and the last one kept.
struct ContentViewFixture {
    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    UserDefaults defaults{testsupport::freshDir("content") + "/defaults.json"};
    AppState appState{FakeSnapshotSampler::appStateOptions(samples)};
    assistanttest::AssistantRig rig{QStringLiteral("content")};
    TamsoAssistant& assistant = *rig.assistant;
    std::optional<AskCall> lastAsk;
    int askCount = 0;
    ScreenState screen;
    QStringList built;
    std::unique_ptr<ContentView> view;

    ContentViewFixture() {
        QObject::connect(&assistant, &TamsoAssistant::asked,
                         [this](const QString& question, const SystemSnapshot& snapshot,
                                const std::optional<TamsoScreenContext>& context) {
                             lastAsk = AskCall{question, snapshot, context};
                             ++askCount;
                         });
        Services services;
        services.appState = &appState;
        services.assistant = &assistant;
        services.screen = &screen;
        ContentView::Deps options;
        options.defaults = &defaults;
        options.makeScreen = [this](const QString& id, QWidget* parent) -> QWidget* {
            built.append(id);
            auto* label = new QLabel(id, parent);
            label->setObjectName("screen-" + id);
            return label;
        };
        view = std::make_unique<ContentView>(services, options);
        view->resize(1180, 760);
    }

    // Publishes one sample through AppState, as its timer would.
    void publish(const SystemSnapshot& snapshot) {
        samples->set(snapshot);
        const int before = appState.hasFirstSample() ? 1 : 0;
        if (!before)
            appState.start();
        else
            appState.sampleAndPublish();
        testsupport::waitFor([&] {
            return appState.hasFirstSample() &&
                   appState.snapshot().memUsedBytes == snapshot.memUsedBytes &&
                   appState.snapshot().memTotalBytes == snapshot.memTotalBytes;
        });
    }
};
