#pragma once

// The menu-bar panel on fakes: scripted samples, a fake inhibitor and a power-source flag.
#include "ui-kit/QKStatusDot.h"
#include "vitals/MenuBarText.h"
#include "vitals/views/MenuBarPanel.h"

#include "fakes/FakePowerInhibitor.h"
#include "fakes/FakePowerSource.h"
#include "fakes/FakeSnapshotSampler.h"
#include "platform/ByteFormat.h"
#include "support/AccessibleAudit.h"
#include "support/TestSupport.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"
#include "vitals/AppState.h"
#include "vitals/KeepAwakeManager.h"
#include "vitals/views/MenuBarButton.h"
#include "vitals/views/MenuBarMetricRow.h"
#include "vitals/views/Sparkline.h"

#include <gtest/gtest.h>
#include <limits>
#include <mutex>
#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace panelviewtest {

using testsupport::waitFor;

inline constexpr quint64 GB = 1'000'000'000ULL;

// A panel on fakes: samples come from `next` (the free-memory run's own sampler adds
// `freedGain` to free memory), keep-awake holds assertions of a fake inhibitor, and the power
// source is the `onPower` flag.
class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        next.memTotalBytes = 16 * GB;
        next.memCachedBytes = 3 * GB;
        next.memFreeBytes = 1 * GB;
        next.diskTotalBytes = 500 * GB;
        next.diskFreeBytes = 120 * GB;
        sampler->setMake([this](int samplerNumber, int) {
            std::lock_guard lock(nextLock);
            SystemSnapshot s = next;
            if (samplerNumber > 0)
                s.memFreeBytes += freedGain;
            return s;
        });
        AppState::Options options;
        options.makeSampler = FakeSnapshotSampler::factory(sampler);
        options.intervalMs = 3'600'000;
        options.startSampling = false;
        app = std::make_unique<AppState>(options);

        auto inhibitor = std::make_unique<FakePowerInhibitor>();
        fake = inhibitor.get();
        KeepAwakeManager::Deps backends;
        backends.inhibitor = std::move(inhibitor);
        backends.powerSource = std::make_unique<FakePowerSource>(&onPower);
        keepAwake = std::make_unique<KeepAwakeManager>(std::move(backends));

        panel = std::make_unique<MenuBarPanel>(*app, *keepAwake);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }

    void TearDown() override {
        panel.reset();
        keepAwake.reset();
        app.reset();
    }

    // Publishes `snapshot` as the next periodic sample and waits until the panel has it.
    void publish(const SystemSnapshot& snapshot) {
        {
            std::lock_guard lock(nextLock);
            next = snapshot;
        }
        publish();
    }
    void publish() {
        const qsizetype before = app->memoryHistory().size();
        app->sampleAndPublish();
        ASSERT_TRUE(waitFor([&] { return app->memoryHistory().size() != before; }));
    }
    SystemSnapshot base() {
        std::lock_guard lock(nextLock);
        return next;
    }

    template <typename T> T* child(const char* name) {
        T* w = panel->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    bool shown(const char* name) { return child<QWidget>(name)->isVisibleTo(panel.get()); }
    MenuBarButton* button(const char* name) { return child<MenuBarButton>(name); }
    QColor colorOf(QWidget* w) { return w->palette().color(QPalette::WindowText); }
    QColor tone(QKForeground::Style style) { return QKForeground::color(style, panel->palette()); }

    std::shared_ptr<FakeSamplerState> sampler = std::make_shared<FakeSamplerState>();
    std::mutex nextLock;
    SystemSnapshot next;
    quint64 freedGain = 0;
    bool onPower = true;
    FakePowerInhibitor* fake = nullptr;
    std::unique_ptr<AppState> app;
    std::unique_ptr<KeepAwakeManager> keepAwake;
    std::unique_ptr<MenuBarPanel> panel;
};

} // namespace panelviewtest
