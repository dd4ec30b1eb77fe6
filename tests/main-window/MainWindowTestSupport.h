#pragma once

#include "assistant/TamsoAssistant.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "shell/views/ContentView.h"
#include "support/TestSupport.h"
#include "vitals/AppState.h"
#include "vitals/SnapshotSampler.h"

#include <functional>
#include <memory>
#include <mutex>
#include <QLabel>

// A sampler whose every sample is made by a function the test may swap at any time.
struct ScriptedSamples {
    std::mutex lock;
    std::function<SystemSnapshot()> make = [] { return SystemSnapshot(); };

    void set(std::function<SystemSnapshot()> f) {
        std::lock_guard<std::mutex> guard(lock);
        make = std::move(f);
    }
    SystemSnapshot next() {
        std::lock_guard<std::mutex> guard(lock);
        return make();
    }
};

class ScriptedSampler final : public SnapshotSampler {
public:
    explicit ScriptedSampler(std::shared_ptr<ScriptedSamples> samples)
        : m_samples(std::move(samples)) {}
    SystemSnapshot takeSample() override { return m_samples->next(); }
    void relieveMemoryPressure() override {}

private:
    std::shared_ptr<ScriptedSamples> m_samples;
};

inline SystemSnapshot memorySample(quint64 used, quint64 total) {
    SystemSnapshot s;
    s.memUsedBytes = used;
    s.memTotalBytes = total;
    return s;
}

// A content view over test-owned services, its own defaults file, and screens that are plain
// labels named "screen-<id>", counted as they are made. Nothing samples until the test says so.
struct ContentViewFixture {
    std::shared_ptr<ScriptedSamples> samples = std::make_shared<ScriptedSamples>();
    UserDefaults defaults{testsupport::freshDir("content") + "/defaults.json"};
    AppState appState{AppState::Options{
        .makeSampler = [s = samples] { return std::make_unique<ScriptedSampler>(s); },
        .intervalMs = 3'600'000,
        .startSampling = false}};
    TamsoAssistant assistant;
    ScreenState screen;
    QStringList built;
    std::unique_ptr<ContentView> view;

    ContentViewFixture() {
        Services services;
        services.appState = &appState;
        services.assistant = &assistant;
        services.screen = &screen;
        ContentView::Options options;
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
        samples->set([snapshot] { return snapshot; });
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
