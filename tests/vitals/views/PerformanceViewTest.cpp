#include "fakes/FakeRunningApplications.h"
#include "fakes/FakeSnapshotSampler.h"
#include "support/TestSupport.h"
#include "vitals/PerformanceTestSupport.h"

#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "support/Find.h"
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
#include <QFrame>
#include <QJsonArray>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace perftest;
using P = ThermalSnapshot::Pressure;

namespace {

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

bool shown(const QWidget* w, const QWidget* root) {
    return w->isVisibleTo(root);
}

QStringList visibleRowNames(const QList<PerformanceImpactList::Row>& rows) {
    QStringList names;
    for (const auto& row : rows) {
        if (!row.widget->isHidden())
            names << row.name->text() + " " + row.value->text();
    }
    return names;
}

} // namespace

TEST_F(PerformanceViewTest, ProgressUntilTheFirstSampleWhateverTheMode) {
    auto view = makeView();
    EXPECT_TRUE(view->showsProgress());
    screen.setPerformanceMode(PerformanceMode::Fans);
    EXPECT_TRUE(view->showsProgress());
    EXPECT_EQ(view->modePicker()->currentIndex(), 2);

    publish(SystemSnapshot());
    EXPECT_FALSE(view->showsProgress());
    EXPECT_EQ(view->currentPage(), view->fansPage());
}

TEST_F(PerformanceViewTest, PickerAndLinksWriteTheModeAndARebuiltScreenShowsIt) {
    publish(SystemSnapshot());
    auto view = makeView();
    EXPECT_EQ(view->currentPage(), view->overviewPage());
    EXPECT_EQ(view->modePicker()->labels(), QStringList({"Overview", "Sensors", "Fans"}));

    SegmentedControl* picker = view->modePicker();
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(1).center());
    EXPECT_EQ(screen.performanceMode(), PerformanceMode::Sensors);
    EXPECT_EQ(view->currentPage(), view->sensorsPage());

    screen.setPerformanceMode(PerformanceMode::Overview);
    Find::part<QPushButton>(*view->overviewPage()->temperatureCard(), "temperatureOpenFans")
        ->click();
    EXPECT_EQ(screen.performanceMode(), PerformanceMode::Fans);
    EXPECT_EQ(view->currentPage(), view->fansPage());

    // Leaving the section drops the screen; coming back builds a new one on the stored mode.
    view.reset();
    auto again = makeView();
    EXPECT_EQ(again->currentPage(), again->fansPage());
    EXPECT_EQ(again->modePicker()->currentIndex(), 2);
    Find::part<QPushButton>(*again->overviewPage()->temperatureCard(), "temperatureOpenSensors")
        ->click();
    EXPECT_EQ(again->currentPage(), again->sensorsPage());
}

TEST_F(PerformanceViewTest, AskButtonsPostTheExactQuestions) {
    publish(SystemSnapshot());
    auto view = makeView();
    QStringList asked;
    QObject context;
    NotificationCenter::defaultCenter().observe(Notifications::AskTamso, &context,
                                                [&](const QString& q) { asked << q; });
    view->overviewPage()->askWhyButton()->click();
    view->overviewPage()->askHeatButton()->click();
    view->sensorsPage()->askButton()->click();
    view->fansPage()->askButton()->click();
    EXPECT_EQ(asked, QStringList({"Why is my Mac slow?", "Why is my Mac running hot?",
                                  "Why is my Mac running hot?", "Why are my fans loud?"}));
}

TEST_F(PerformanceViewTest, OverviewFollowsEachSnapshotInPlace) {
    SystemSnapshot hot = withCpu(91.4);
    hot.memTotalBytes = 1000;
    hot.memUsedBytes = 950;
    hot.diskTotalBytes = 1000;
    hot.diskFreeBytes = 50;
    hot.batteryPercent = 19;
    hot.thermal.pressure = P::Serious;
    hot.topCPUProcesses = {cpuRow("a", 90), cpuRow("b", 80), cpuRow("c", 70),
                           cpuRow("d", 60), cpuRow("e", 50), cpuRow("f", 40)};
    for (int i = 0; i < 7; ++i)
        hot.topProcesses.append(memoryRow(QString("m%1").arg(i), quint64(7 - i) * 1000));
    publish(hot);
    auto view = makeView();
    PerformanceOverviewPage* page = view->overviewPage();

    QKLineLabel* cpuValue = page->cpuTile()->value();
    EXPECT_EQ(cpuValue->text(), "91%");
    EXPECT_EQ(page->cpuTile()->badge()->text(), "High");
    EXPECT_EQ(page->memoryTile()->badge()->text(), "High");
    EXPECT_EQ(page->storageTile()->value()->text(), "95% full");
    EXPECT_EQ(page->batteryTile()->badge()->text(), "High");
    EXPECT_EQ(page->temperatureCard()->badge()->text(), "High");
    EXPECT_TRUE(shown(Find::part<QLabel>(*page->temperatureCard(), "temperatureAdvice"), page));
    EXPECT_TRUE(shown(page->batteryTile(), page));
    PerformanceImpactList* impact = page->impactList();
    EXPECT_EQ(visibleRowNames(impact->cpu()), QStringList({"a 90%", "b 80%", "c 70%", "d 60%"}));
    EXPECT_EQ(visibleRowNames(impact->memory()).size(), 5);
    EXPECT_TRUE(shown(impact->divider(), page));

    SystemSnapshot calm = withCpu(12);
    calm.topCPUProcesses = {cpuRow("x", 9)};
    calm.thermal.pressure = P::Fair;
    publish(calm);
    EXPECT_EQ(page->cpuTile()->value(), cpuValue); // the same label, new text
    EXPECT_EQ(cpuValue->text(), "12%");
    EXPECT_EQ(page->cpuTile()->detail()->text(),
              "Load is low. Nothing is demanding much from the processor.");
    EXPECT_EQ(page->temperatureCard()->badge()->text(), "Elevated");
    EXPECT_FALSE(shown(Find::part<QLabel>(*page->temperatureCard(), "temperatureAdvice"), page));
    EXPECT_FALSE(shown(page->batteryTile(), page));
    EXPECT_TRUE(shown(page->impactBox(), page));
    EXPECT_TRUE(shown(impact->cpuHeading(), page));
    EXPECT_FALSE(shown(impact->divider(), page));
    EXPECT_FALSE(shown(impact->memoryHeading(), page));

    publish(withCpu(3));
    EXPECT_FALSE(shown(page->impactBox(), page));
}

TEST_F(PerformanceViewTest, TemperatureCardChipsOrNote) {
    SystemSnapshot s;
    s.thermal.pressure = P::Nominal;
    publish(s);
    auto view = makeView();
    PerformanceTemperatureCard* card = view->overviewPage()->temperatureCard();
    EXPECT_EQ(card->reading()->text(), "Cool");
    EXPECT_EQ(Find::part<QLabel>(*card, "temperatureSecondary")->text(), "Thermal pressure");
    EXPECT_TRUE(shown(card->note(), card));
    EXPECT_FALSE(shown(Find::part<QWidget>(*card, "temperatureChips"), card));

    s.thermal.fanRPMs = {0, 0};
    publish(s);
    EXPECT_FALSE(shown(card->note(), card));
    EXPECT_TRUE(shown(Find::part<QWidget>(*card, "temperatureChips"), card));
    EXPECT_TRUE(card->visibleChips().isEmpty());

    s.thermal.fanRPMs = {};
    s.thermal.gpuCelsius = 55;
    publish(s);
    ASSERT_EQ(card->visibleChips().size(), 1);
    EXPECT_EQ(card->visibleChips().front()->text(), "GPU 55°C");
    EXPECT_EQ(Find::part<QLabel>(*card, "temperatureSecondary")->text(), "GPU 55°C");
}

TEST_F(PerformanceViewTest, TemperatureCardAgreesOnUnknown) {
    SystemSnapshot s = withPressure(P::Unknown, 95); // a busy CPU is no reading of heat
    publish(s);
    auto view = makeView();
    PerformanceTemperatureCard* card = view->overviewPage()->temperatureCard();
    EXPECT_EQ(card->reading()->text(), "Unknown");
    EXPECT_EQ(card->badge()->text(), "Unknown");
    EXPECT_EQ(card->badge()->tone(), PerformanceText::Tone::Neutral);
    EXPECT_EQ(card->note()->text(), PerformanceText::noSensorsNote(P::Unknown));

    s.thermal.pressure = P::Fair;
    publish(s);
    EXPECT_EQ(card->badge()->text(), "Elevated");
    EXPECT_EQ(card->note()->text(), PerformanceText::noSensorsNote(P::Fair));
}

TEST_F(PerformanceViewTest, SensorsPageListOrEmptyStateAndLikelyCause) {
    screen.setPerformanceMode(PerformanceMode::Sensors);
    SystemSnapshot s = withPressure(P::Unknown, 80.1);
    publish(s);
    auto view = makeView();
    PerformanceSensorsPage* page = view->sensorsPage();
    // Unknown, coloured by the CPU load (busy: orange), and nothing vouching for the signal.
    EXPECT_EQ(page->pressureBadge()->text(), "Unknown");
    EXPECT_EQ(page->pressureBadge()->tone(), PerformanceText::Tone::Orange);
    EXPECT_EQ(page->pressureSentence()->text(), "Thermal pressure could not be read.");
    EXPECT_FALSE(page->pressureSourceNote()->text().contains("always works"));
    EXPECT_FALSE(page->emptyText()->text().contains("trustworthy"));
    EXPECT_TRUE(shown(page->emptyBox(), page));
    EXPECT_FALSE(shown(page->sensorsBox(), page));
    EXPECT_FALSE(shown(page->causeBox(), page));

    s.thermal.sensors = {sensor("TC0D", "CPU package", 60), sensor("TC0F", "CPU die", 60)};
    s.topCPUProcesses = {cpuRow("ffmpeg", 30)};
    publish(s);
    EXPECT_FALSE(shown(page->emptyBox(), page));
    ASSERT_EQ(page->rows().size(), 2);
    // Complete as soon as the snapshot is shown, without waiting for the event loop.
    EXPECT_TRUE(shown(page->rows().at(0), page));
    EXPECT_TRUE(shown(page->rows().at(1), page));
    EXPECT_EQ(page->rows().at(0)->name()->text(), "CPU package");
    EXPECT_EQ(page->rows().at(1)->name()->text(), "CPU die");
    EXPECT_EQ(page->rows().at(0)->value()->text(), "60°C");
    EXPECT_TRUE(shown(page->rows().at(0)->divider(), page));
    EXPECT_FALSE(shown(page->rows().at(1)->divider(), page));
    EXPECT_TRUE(shown(page->causeBox(), page));
    EXPECT_EQ(page->causeName()->text(), "ffmpeg");

    // Same keys: the rows stay and only their texts change.
    PerformanceSensorRow* first = page->rows().at(0);
    s.thermal.sensors[0].value = 71;
    publish(s);
    EXPECT_EQ(page->rows().at(0), first);
    EXPECT_EQ(first->value()->text(), "71°C");
}

TEST_F(PerformanceViewTest, FansPageCardsOrFanlessCard) {
    screen.setPerformanceMode(PerformanceMode::Fans);
    publish(withPressure(P::Nominal));
    auto view = makeView();
    PerformanceFansPage* page = view->fansPage();
    EXPECT_TRUE(shown(page->fanlessCard(), page));
    EXPECT_TRUE(page->fanCards().isEmpty());
    EXPECT_FALSE(shown(page->pressureNote(), page));

    SystemSnapshot s = withPressure(P::Fair);
    s.thermal.fans = {fan(0, 6500, {}, 6000, 0), fan(1, 3500, 1200, 0, 2400)};
    s.thermal.fanRPMs = {6500, 3500};
    publish(s);
    EXPECT_FALSE(shown(page->fanlessCard(), page));
    EXPECT_EQ(page->pressureNote()->text(),
              "Thermal pressure is warm, so elevated fan noise can be expected.");
    ASSERT_EQ(page->fanCards().size(), 2);
    EXPECT_TRUE(shown(page->fanCards().at(0), page));
    EXPECT_TRUE(shown(page->fanCards().at(1), page));
    PerformanceFanCard* fast = page->fanCards().at(0);
    EXPECT_EQ(fast->speed()->text(), "6500 RPM");
    EXPECT_EQ(fast->state()->tone(), PerformanceText::Tone::Orange);
    EXPECT_EQ(fast->progress()->value(), fast->progress()->maximum()); // full, never beyond
    EXPECT_EQ(fast->minLabel()->text(), "Min —");
    EXPECT_FALSE(shown(fast->target(), fast)); // a target of 0 is no target
    PerformanceFanCard* slow = page->fanCards().at(1);
    EXPECT_EQ(slow->state()->tone(), PerformanceText::Tone::Green);
    EXPECT_FALSE(shown(slow->progress(), slow)); // a maximum of 0 is no maximum
    EXPECT_FALSE(shown(slow->rangeRow(), slow));
    EXPECT_EQ(slow->target()->text(), "System target about 2400 RPM");

    publish(withPressure(P::Nominal));
    EXPECT_TRUE(shown(page->fanlessCard(), page));
    EXPECT_TRUE(page->fanCards().isEmpty());
}

TEST_F(PerformanceViewTest, AutopilotPaneFollowsTheAutopilotBothWays) {
    publish(SystemSnapshot()); // nothing running: an empty desktop
    auto view = makeView();
    PerformanceAutopilotPane* pane = view->overviewPage()->autopilotPane();
    EXPECT_FALSE(Find::part<ToggleSwitch>(*pane, "autopilotEnabled")->isChecked());
    EXPECT_FALSE(Find::part<ToggleSwitch>(*pane, "autopilotAutoQuit")->isEnabled());
    EXPECT_FALSE(shown(Find::part<QLabel>(*pane, "autopilotNothing"), pane));
    EXPECT_FALSE(shown(Find::part<QLabel>(*pane, "autopilotLastAction"), pane));

    Find::part<ToggleSwitch>(*pane, "autopilotEnabled")->click();
    EXPECT_TRUE(autopilot->enabled());
    EXPECT_EQ(defaults->boolValue(PerformanceAutopilot::enabledKey()), true);
    EXPECT_TRUE(Find::part<ToggleSwitch>(*pane, "autopilotAutoQuit")->isEnabled());
    EXPECT_TRUE(shown(Find::part<QLabel>(*pane, "autopilotNothing"), pane));
    EXPECT_EQ(Find::part<QLabel>(*pane, "autopilotNothing")->text(),
              "Nothing to suggest right now.");

    autopilot->setAutoQuit(true);
    EXPECT_TRUE(Find::part<ToggleSwitch>(*pane, "autopilotAutoQuit")->isChecked());
    Find::part<ToggleSwitch>(*pane, "autopilotAutoQuit")->click();
    EXPECT_FALSE(autopilot->autoQuit());
    EXPECT_EQ(defaults->boolValue(PerformanceAutopilot::autoQuitKey()), false);

    // Switched off with candidates still held: no rows, no "nothing" line.
    autopilot->refreshCandidates(slackRunning());
    ASSERT_EQ(pane->rows().size(), 1);
    EXPECT_TRUE(shown(Find::part<QWidget>(*pane, "autopilotRows"), pane));
    autopilot->setEnabled(false);
    EXPECT_FALSE(autopilot->candidates().isEmpty());
    EXPECT_FALSE(shown(Find::part<QWidget>(*pane, "autopilotRows"), pane));
    EXPECT_FALSE(shown(Find::part<QLabel>(*pane, "autopilotNothing"), pane));
    EXPECT_FALSE(Find::part<ToggleSwitch>(*pane, "autopilotEnabled")->isChecked());
    EXPECT_FALSE(Find::part<ToggleSwitch>(*pane, "autopilotAutoQuit")->isEnabled());
}

TEST_F(PerformanceViewTest, CandidateButtonsReachTheAutopilot) {
    autopilot->setEnabled(true);
    const SystemSnapshot s = slackRunning();
    apps->apps.append(FakeRunningApplications::app("Thunderbird", 4002));
    SystemSnapshot both = s;
    both.topProcesses.append(memoryRow("Thunderbird", 700'000'000, 4002));
    publish(both);
    auto view = makeView();
    PerformanceAutopilotPane* pane = view->overviewPage()->autopilotPane();
    ASSERT_EQ(pane->rows().size(), 2);
    EXPECT_EQ(pane->rows().at(0).name->text(), "Slack");
    EXPECT_EQ(pane->rows().at(0).reason->text(), "Not frontmost · using 1.2 GB");

    pane->rows().at(1).protect->click();
    EXPECT_TRUE(autopilot->protectedNames().contains("Thunderbird"));
    EXPECT_EQ(defaults->value(PerformanceAutopilot::protectedKey()).toArray(),
              QJsonArray({"Thunderbird"}));
    ASSERT_EQ(pane->rows().size(), 1);

    pane->rows().at(0).quit->click();
    EXPECT_EQ(apps->quitRequests, QList<qint64>({4001}));
    EXPECT_EQ(autopilot->lastAction(), "Quit Slack");
    EXPECT_TRUE(shown(Find::part<QLabel>(*pane, "autopilotLastAction"), pane));
    EXPECT_EQ(Find::part<QLabel>(*pane, "autopilotLastAction")->text(), "Quit Slack");
    EXPECT_TRUE(pane->rows().isEmpty());
    EXPECT_TRUE(shown(Find::part<QLabel>(*pane, "autopilotNothing"), pane));
}

TEST_F(PerformanceViewTest, AutopilotIsFedOnlyWhileTheScreenIsShown) {
    autopilot->setEnabled(true);
    autopilot->setAutoQuit(true);
    const SystemSnapshot s = slackRunning();
    publish(s);

    auto view = makeView(false); // built but not on show
    publish(s);
    EXPECT_EQ(apps->listReads, 0);
    EXPECT_TRUE(apps->quitRequests.isEmpty());

    view->show(); // coming on show refreshes once, and auto-quit acts on it
    EXPECT_EQ(apps->quitRequests, QList<qint64>({4001}));
    EXPECT_EQ(autopilot->lastAction(), "Autopilot quit Slack");

    // Every published snapshot while shown is a refresh (Slack still runs, but auto-quit does
    // not ask it again straight away).
    const int readsWhenShown = apps->listReads;
    publish(s);
    EXPECT_GT(apps->listReads, readsWhenShown);
    EXPECT_EQ(apps->quitRequests.size(), 1);

    view->hide();
    const int readsWhenHidden = apps->listReads;
    publish(s);
    EXPECT_EQ(apps->listReads, readsWhenHidden);

    view.reset(); // the section was left
    publish(s);
    EXPECT_EQ(apps->listReads, readsWhenHidden);
    EXPECT_EQ(apps->quitRequests.size(), 1);
}
