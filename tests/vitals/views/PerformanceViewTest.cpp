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

PerformanceOverviewPage* overview(const PerformanceView& view) {
    return Find::part<PerformanceOverviewPage>(view, "performanceOverview");
}
PerformanceSensorsPage* sensors(const PerformanceView& view) {
    return Find::part<PerformanceSensorsPage>(view, "performanceSensors");
}
PerformanceFansPage* fans(const PerformanceView& view) {
    return Find::part<PerformanceFansPage>(view, "performanceFans");
}
SegmentedControl* picker(const PerformanceView& view) {
    return Find::part<SegmentedControl>(view, "performanceModePicker");
}
PerformanceBadge* badge(const QWidget* tile) {
    return Find::part<PerformanceBadge>(tile, "metricBadge");
}
QKLineLabel* value(const QWidget* tile) {
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

bool shown(const QWidget* w, const QWidget* root) {
    return w->isVisibleTo(root);
}

// The shown rows of one of the impact list's lists, as "name value".
QStringList visibleRowNames(const QWidget* impact, const QString& rows) {
    QStringList names;
    for (const QWidget* row : Find::parts<QWidget>(impact, rows)) {
        if (!row->isHidden())
            names << Find::part<QKLineLabel>(row, "impactName")->text() + " " +
                         Find::part<QKLineLabel>(row, "impactValue")->text();
    }
    return names;
}

// The temperature card's chips shown now, in order.
QList<QKIconLabel*> visibleChips(const QWidget* card) {
    QList<QKIconLabel*> out;
    for (QKIconLabel* chip :
         Find::part<QWidget>(card, "temperatureChips")->findChildren<QKIconLabel*>()) {
        if (!chip->isHidden())
            out.append(chip);
    }
    return out;
}

} // namespace

TEST_F(PerformanceViewTest, ProgressUntilTheFirstSampleWhateverTheMode) {
    auto view = makeView();
    EXPECT_TRUE(view->showsProgress());
    screen.setPerformanceMode(PerformanceMode::Fans);
    EXPECT_TRUE(view->showsProgress());
    EXPECT_EQ(picker(*view)->currentIndex(), 2);

    publish(SystemSnapshot());
    EXPECT_FALSE(view->showsProgress());
    EXPECT_TRUE(Find::showing(*view, "performanceFans"));
}

TEST_F(PerformanceViewTest, PickerAndLinksWriteTheModeAndARebuiltScreenShowsIt) {
    publish(SystemSnapshot());
    auto view = makeView();
    EXPECT_TRUE(Find::showing(*view, "performanceOverview"));
    EXPECT_EQ(picker(*view)->labels(), QStringList({"Overview", "Sensors", "Fans"}));
    // Assistive technology reads the group by the screen's name, not as an unnamed panel.
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(picker(*view));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->text(QAccessible::Name), "Performance");

    SegmentedControl* modes = picker(*view);
    QTest::mouseClick(modes, Qt::LeftButton, {}, modes->segmentRect(1).center());
    EXPECT_EQ(screen.performanceMode(), PerformanceMode::Sensors);
    EXPECT_TRUE(Find::showing(*view, "performanceSensors"));

    screen.setPerformanceMode(PerformanceMode::Overview);
    Find::part<QPushButton>(overview(*view), "temperatureOpenFans")->click();
    EXPECT_EQ(screen.performanceMode(), PerformanceMode::Fans);
    EXPECT_TRUE(Find::showing(*view, "performanceFans"));

    // Leaving the section drops the screen; coming back builds a new one on the stored mode.
    view.reset();
    auto again = makeView();
    EXPECT_TRUE(Find::showing(*again, "performanceFans"));
    EXPECT_EQ(picker(*again)->currentIndex(), 2);
    Find::part<QPushButton>(overview(*again), "temperatureOpenSensors")->click();
    EXPECT_TRUE(Find::showing(*again, "performanceSensors"));
}

TEST_F(PerformanceViewTest, AskButtonsPostTheExactQuestions) {
    publish(SystemSnapshot());
    auto view = makeView();
    QStringList asked;
    QObject context;
    NotificationCenter::defaultCenter().observe(Notifications::AskTamso, &context,
                                                [&](const QString& q) { asked << q; });
    Find::part<QPushButton>(overview(*view), "askWhy")->click();
    Find::part<QPushButton>(overview(*view), "askHeat")->click();
    Find::part<QPushButton>(sensors(*view), "askHeat")->click();
    Find::part<QPushButton>(fans(*view), "askFans")->click();
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
    PerformanceOverviewPage* page = overview(*view);
    const QWidget* cpu = Find::part<QWidget>(page, "cpuTile");
    const QWidget* battery = Find::part<QWidget>(page, "batteryTile");
    const QWidget* heat = Find::part<QWidget>(page, "temperatureCard");
    const QWidget* advice = Find::part<QLabel>(heat, "temperatureAdvice");
    const QWidget* impactBox = Find::part<QWidget>(page, "impactBox");

    QKLineLabel* cpuValue = value(cpu);
    EXPECT_EQ(cpuValue->text(), "91%");
    EXPECT_EQ(badge(cpu)->text(), "High");
    EXPECT_EQ(badge(Find::part<QWidget>(page, "memoryTile"))->text(), "High");
    EXPECT_EQ(value(Find::part<QWidget>(page, "storageTile"))->text(), "95% full");
    EXPECT_EQ(badge(battery)->text(), "High");
    EXPECT_EQ(Find::part<PerformanceBadge>(heat, "temperatureBadge")->text(), "High");
    EXPECT_TRUE(shown(advice, page));
    EXPECT_TRUE(shown(battery, page));
    const auto* impact = Find::part<PerformanceImpactList>(page, "impactList");
    EXPECT_EQ(visibleRowNames(impact, "impactCpuRow"),
              QStringList({"a 90%", "b 80%", "c 70%", "d 60%"}));
    EXPECT_EQ(visibleRowNames(impact, "impactMemoryRow").size(), 5);
    EXPECT_TRUE(shown(Find::part<QWidget>(impact, "impactDivider"), page));

    SystemSnapshot calm = withCpu(12);
    calm.topCPUProcesses = {cpuRow("x", 9)};
    calm.thermal.pressure = P::Fair;
    publish(calm);
    EXPECT_EQ(value(cpu), cpuValue); // the same label, new text
    EXPECT_EQ(cpuValue->text(), "12%");
    EXPECT_EQ(Find::part<QLabel>(cpu, "metricDetail")->text(),
              "Load is low. Nothing is demanding much from the processor.");
    EXPECT_EQ(Find::part<PerformanceBadge>(heat, "temperatureBadge")->text(), "Elevated");
    EXPECT_FALSE(shown(advice, page));
    EXPECT_FALSE(shown(battery, page));
    EXPECT_TRUE(shown(impactBox, page));
    EXPECT_TRUE(shown(Find::part<QWidget>(impact, "impactCpuHeading"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(impact, "impactDivider"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(impact, "impactMemoryHeading"), page));

    publish(withCpu(3));
    EXPECT_FALSE(shown(impactBox, page));
}

TEST_F(PerformanceViewTest, TemperatureCardChipsOrNote) {
    SystemSnapshot s;
    s.thermal.pressure = P::Nominal;
    publish(s);
    auto view = makeView();
    PerformanceTemperatureCard* card =
        Find::part<PerformanceTemperatureCard>(overview(*view), "temperatureCard");
    EXPECT_EQ(Find::part<QKLineLabel>(card, "temperatureReading")->text(), "Cool");
    EXPECT_EQ(Find::part<QLabel>(*card, "temperatureSecondary")->text(), "Thermal pressure");
    EXPECT_TRUE(shown(Find::part<QLabel>(card, "temperatureNote"), card));
    EXPECT_FALSE(shown(Find::part<QWidget>(*card, "temperatureChips"), card));

    s.thermal.fanRPMs = {0, 0};
    publish(s);
    EXPECT_FALSE(shown(Find::part<QLabel>(card, "temperatureNote"), card));
    EXPECT_TRUE(shown(Find::part<QWidget>(*card, "temperatureChips"), card));
    EXPECT_TRUE(visibleChips(card).isEmpty());

    s.thermal.fanRPMs = {};
    s.thermal.gpuCelsius = 55;
    publish(s);
    ASSERT_EQ(visibleChips(card).size(), 1);
    EXPECT_EQ(visibleChips(card).front()->text(), "GPU 55°C");
    EXPECT_EQ(Find::part<QLabel>(*card, "temperatureSecondary")->text(), "GPU 55°C");
}

TEST_F(PerformanceViewTest, TemperatureCardAgreesOnUnknown) {
    SystemSnapshot s = withPressure(P::Unknown, 95); // a busy CPU is no reading of heat
    publish(s);
    auto view = makeView();
    PerformanceTemperatureCard* card =
        Find::part<PerformanceTemperatureCard>(overview(*view), "temperatureCard");
    EXPECT_EQ(Find::part<QKLineLabel>(card, "temperatureReading")->text(), "Unknown");
    EXPECT_EQ(Find::part<PerformanceBadge>(card, "temperatureBadge")->text(), "Unknown");
    EXPECT_EQ(Find::part<PerformanceBadge>(card, "temperatureBadge")->tone(),
              PerformanceText::Tone::Neutral);
    EXPECT_EQ(Find::part<QLabel>(card, "temperatureNote")->text(),
              PerformanceText::noSensorsNote(P::Unknown));

    s.thermal.pressure = P::Fair;
    publish(s);
    EXPECT_EQ(Find::part<PerformanceBadge>(card, "temperatureBadge")->text(), "Elevated");
    EXPECT_EQ(Find::part<QLabel>(card, "temperatureNote")->text(),
              PerformanceText::noSensorsNote(P::Fair));
}

TEST_F(PerformanceViewTest, SensorsPageListOrEmptyStateAndLikelyCause) {
    screen.setPerformanceMode(PerformanceMode::Sensors);
    SystemSnapshot s = withPressure(P::Unknown, 80.1);
    publish(s);
    auto view = makeView();
    PerformanceSensorsPage* page = sensors(*view);
    // Unknown, coloured by the CPU load (busy: orange), and nothing vouching for the signal.
    EXPECT_EQ(Find::part<PerformanceBadge>(page, "pressureBadge")->text(), "Unknown");
    EXPECT_EQ(Find::part<PerformanceBadge>(page, "pressureBadge")->tone(),
              PerformanceText::Tone::Orange);
    EXPECT_EQ(Find::part<QLabel>(page, "pressureSentence")->text(),
              "Thermal pressure could not be read.");
    EXPECT_FALSE(Find::part<QLabel>(page, "pressureSourceNote")->text().contains("always works"));
    EXPECT_FALSE(Find::part<QLabel>(page, "noSensorsText")->text().contains("trustworthy"));
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "noSensorsBox"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "sensorsBox"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "causeBox"), page));

    s.thermal.sensors = {sensor("TC0D", "CPU package", 60), sensor("TC0F", "CPU die", 60)};
    s.topCPUProcesses = {cpuRow("ffmpeg", 30)};
    publish(s);
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "noSensorsBox"), page));
    const QList<PerformanceSensorRow*> rows = shownParts<PerformanceSensorRow>(page, "sensorRow");
    ASSERT_EQ(rows.size(), 2);
    // Complete as soon as the snapshot is shown, without waiting for the event loop.
    EXPECT_TRUE(shown(rows.at(0), page));
    EXPECT_TRUE(shown(rows.at(1), page));
    EXPECT_EQ(Find::part<QLabel>(rows.at(0), "sensorName")->text(), "CPU package");
    EXPECT_EQ(Find::part<QLabel>(rows.at(1), "sensorName")->text(), "CPU die");
    EXPECT_EQ(Find::part<QKLineLabel>(rows.at(0), "sensorValue")->text(), "60°C");
    EXPECT_TRUE(shown(Find::part<QWidget>(rows.at(0), "sensorDivider"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(rows.at(1), "sensorDivider"), page));
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "causeBox"), page));
    EXPECT_EQ(Find::part<QLabel>(page, "causeName")->text(), "ffmpeg");

    // Same keys: the rows stay and only their texts change.
    PerformanceSensorRow* first = rows.at(0);
    s.thermal.sensors[0].value = 71;
    publish(s);
    EXPECT_EQ(shownParts<PerformanceSensorRow>(page, "sensorRow").at(0), first);
    EXPECT_EQ(Find::part<QKLineLabel>(first, "sensorValue")->text(), "71°C");
}

TEST_F(PerformanceViewTest, FansPageCardsOrFanlessCard) {
    screen.setPerformanceMode(PerformanceMode::Fans);
    publish(withPressure(P::Nominal));
    auto view = makeView();
    PerformanceFansPage* page = fans(*view);
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "fanlessCard"), page));
    EXPECT_TRUE(shownParts<PerformanceFanCard>(page, "fanCard").isEmpty());
    EXPECT_FALSE(shown(Find::part<QLabel>(page, "fansPressureNote"), page));

    SystemSnapshot s = withPressure(P::Fair);
    s.thermal.fans = {fan(0, 6500, {}, 6000, 0), fan(1, 3500, 1200, 0, 2400)};
    s.thermal.fanRPMs = {6500, 3500};
    publish(s);
    EXPECT_FALSE(shown(Find::part<QWidget>(page, "fanlessCard"), page));
    EXPECT_EQ(Find::part<QLabel>(page, "fansPressureNote")->text(),
              "Thermal pressure is warm, so elevated fan noise can be expected.");
    const QList<PerformanceFanCard*> cards = shownParts<PerformanceFanCard>(page, "fanCard");
    ASSERT_EQ(cards.size(), 2);
    EXPECT_TRUE(shown(cards.at(0), page));
    EXPECT_TRUE(shown(cards.at(1), page));
    const PerformanceFanCard* fast = cards.at(0);
    const auto* bar = Find::part<QProgressBar>(fast, "fanProgress");
    EXPECT_EQ(Find::part<QKLineLabel>(fast, "fanSpeed")->text(), "6500 RPM");
    EXPECT_EQ(Find::part<PerformanceBadge>(fast, "fanState")->tone(),
              PerformanceText::Tone::Orange);
    EXPECT_EQ(bar->value(), bar->maximum()); // full, never beyond
    EXPECT_EQ(Find::part<QLabel>(fast, "fanMin")->text(), "Min —");
    EXPECT_FALSE(shown(Find::part<QLabel>(fast, "fanTarget"), fast)); // a target of 0 is no target
    const PerformanceFanCard* slow = cards.at(1);
    EXPECT_EQ(Find::part<PerformanceBadge>(slow, "fanState")->tone(), PerformanceText::Tone::Green);
    EXPECT_FALSE(
        shown(Find::part<QProgressBar>(slow, "fanProgress"), slow)); // a maximum of 0 is no maximum
    EXPECT_FALSE(shown(Find::part<QWidget>(slow, "fanRange"), slow));
    EXPECT_EQ(Find::part<QLabel>(slow, "fanTarget")->text(), "System target about 2400 RPM");

    publish(withPressure(P::Nominal));
    EXPECT_TRUE(shown(Find::part<QWidget>(page, "fanlessCard"), page));
    EXPECT_TRUE(shownParts<PerformanceFanCard>(page, "fanCard").isEmpty());
}

TEST_F(PerformanceViewTest, AutopilotPaneFollowsTheAutopilotBothWays) {
    publish(SystemSnapshot()); // nothing running: an empty desktop
    auto view = makeView();
    PerformanceAutopilotPane* pane =
        Find::part<PerformanceAutopilotPane>(overview(*view), "autopilotPane");
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
    PerformanceAutopilotPane* pane =
        Find::part<PerformanceAutopilotPane>(overview(*view), "autopilotPane");
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
