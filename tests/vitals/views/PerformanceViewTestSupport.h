#pragma once

// The performance screen over test-owned services, and the parts of it tests look at.
#include "fakes/FakeRunningApplications.h"
#include "fakes/FakeSnapshotSampler.h"
#include "support/TestSupport.h"
#include "vitals/PerformanceTestSupport.h"

#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
#include "support/FindPage.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/ToggleSwitch.h"
#include "vitals/AppState.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/views/PerformanceAutopilotPane.h"
#include "vitals/views/PerformanceBadge.h"
#include "vitals/views/PerformanceFanCard.h"
#include "vitals/views/PerformanceFansPage.h"
#include "vitals/views/PerformanceImpactList.h"
#include "vitals/views/PerformanceMetricTile.h"
#include "vitals/views/PerformanceOverviewPage.h"
#include "vitals/views/PerformanceSensorRow.h"
#include "vitals/views/PerformanceSensorsPage.h"
#include "vitals/views/PerformanceTemperatureCard.h"
#include "vitals/views/PerformanceView.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAccessible>
#include <QFrame>
#include <QJsonArray>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace perfviewtest {

using namespace perftest;
using P = ThermalSnapshot::Pressure;

// A view over test-owned services: a scripted sampler that samples only when told, an autopilot
// with its own settings file and a scripted desktop (no real application is ever asked to quit).
class PerformanceViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        defaults = std::make_unique<UserDefaults>(testsupport::freshDir("perf") + "/defaults.json");
        apps = std::make_shared<FakeRunningApplications>();
        autopilot = std::make_unique<PerformanceAutopilot>(*defaults, apps);
        appState = std::make_unique<AppState>(FakeSnapshotSampler::appStateOptions(samples));
    }

    // Publishes one sample through AppState, as its timer would.
    void publish(const SystemSnapshot& s) {
        samples->set(s);
        QSignalSpy spy(appState.get(), &AppState::snapshotChanged);
        appState->sampleAndPublish();
        ASSERT_TRUE(testsupport::waitFor([&] { return spy.count() > 0; }));
    }

    std::unique_ptr<PerformanceView> makeView(bool show = true) {
        auto view = std::make_unique<PerformanceView>(appState.get(), autopilot.get(), &screen);
        view->resize(900, 700);
        if (show) {
            view->show();
            QCoreApplication::processEvents();
        }
        return view;
    }

    // Slack running in the background, holding 1.2 GB.
    SystemSnapshot slackRunning() {
        apps->apps = {FakeRunningApplications::app("Slack", 4001)};
        SystemSnapshot s;
        s.topProcesses = {memoryRow("Slack", 1'200'000'000, 4001)};
        return s;
    }

    std::shared_ptr<FakeSamplerState> samples = std::make_shared<FakeSamplerState>();
    std::unique_ptr<UserDefaults> defaults;
    std::shared_ptr<FakeRunningApplications> apps;
    std::unique_ptr<PerformanceAutopilot> autopilot;
    std::unique_ptr<AppState> appState;
    ScreenState screen;
};

inline PerformanceOverviewPage* overview(const PerformanceView& view) {
    return Find::part<PerformanceOverviewPage>(view, "performanceOverview");
}
inline PerformanceSensorsPage* sensors(const PerformanceView& view) {
    return Find::part<PerformanceSensorsPage>(view, "performanceSensors");
}
inline PerformanceFansPage* fans(const PerformanceView& view) {
    return Find::part<PerformanceFansPage>(view, "performanceFans");
}
inline SegmentedControl* picker(const PerformanceView& view) {
    return Find::part<SegmentedControl>(view, "performanceModePicker");
}
inline PerformanceBadge* badge(const QWidget* tile) {
    return Find::part<PerformanceBadge>(tile, "metricBadge");
}
inline QKLineLabel* value(const QWidget* tile) {
    return Find::part<QKLineLabel>(tile, "metricValue");
}

// The parts of this name not hidden: rows and cards a new set replaces are hidden at once and
// deleted later.
template <typename T> QList<T*> shownParts(const QWidget* root, const QString& name) {
    QList<T*> out;
    for (T* part : Find::parts<T>(root, name)) {
        if (!part->isHidden())
            out.append(part);
    }
    return out;
}

inline bool shown(const QWidget* w, const QWidget* root) {
    return w->isVisibleTo(root);
}

// The shown rows of one of the impact list's lists, as "name value".
inline QStringList visibleRowNames(const QWidget* impact, const QString& rows) {
    QStringList names;
    for (const QWidget* row : Find::parts<QWidget>(impact, rows)) {
        if (!row->isHidden())
            names << Find::part<QKLineLabel>(row, "impactName")->text() + " " +
                         Find::part<QKLineLabel>(row, "impactValue")->text();
    }
    return names;
}

// The temperature card's chips shown now, in order.
inline QList<QKIconLabel*> visibleChips(const QWidget* card) {
    QList<QKIconLabel*> out;
    for (QKIconLabel* chip :
         Find::part<QWidget>(card, "temperatureChips")->findChildren<QKIconLabel*>()) {
        if (!chip->isHidden())
            out.append(chip);
    }
    return out;
}

} // namespace perfviewtest
