// The autopilot on the performance screen: the pane and the autopilot follow each other, the
// candidates' buttons reach it, and it is fed only while the screen shows.
#include "vitals/views/PerformanceViewTestSupport.h"

using namespace perfviewtest;

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
