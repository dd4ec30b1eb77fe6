#include "fakes/FakeRunningApplications.h"
#include "support/TestSupport.h"
#include "vitals/PerformanceTestSupport.h"

#include "platform/UserDefaults.h"
#include "support/Find.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/views/PerformanceAutopilotPane.h"

#include <gtest/gtest.h>
#include <memory>
#include <QLabel>
#include <QPushButton>

using namespace perftest;

namespace {

// A pane over an enabled autopilot with its own settings file and a scripted desktop on which
// two applications share one name.
class AutopilotPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        defaults = std::make_unique<UserDefaults>(testsupport::freshDir("autopilot-pane") +
                                                  "/defaults.json");
        apps = std::make_shared<FakeRunningApplications>();
        autopilot = std::make_unique<PerformanceAutopilot>(*defaults, apps);
        autopilot->setEnabled(true);
        apps->apps = {FakeRunningApplications::app("Editor", 4001),
                      FakeRunningApplications::app("Editor", 4002)};
        snapshot.topProcesses = {memoryRow("editor", 900'000'000, 4001),
                                 memoryRow("editor", 700'000'000, 4002)};
        autopilot->refreshCandidates(snapshot);
        pane = std::make_unique<PerformanceAutopilotPane>(autopilot.get());
    }

    std::unique_ptr<UserDefaults> defaults;
    std::shared_ptr<FakeRunningApplications> apps;
    std::unique_ptr<PerformanceAutopilot> autopilot;
    SystemSnapshot snapshot;
    std::unique_ptr<PerformanceAutopilotPane> pane;
};

} // namespace

TEST_F(AutopilotPaneTest, QuitAsksTheApplicationOfItsOwnRow) {
    ASSERT_EQ(pane->rows().size(), 2);
    EXPECT_EQ(pane->rows().at(1).name->text(), "Editor");
    pane->rows().at(1).quit->click();
    EXPECT_EQ(apps->quitRequests, QList<qint64>{4002});
    EXPECT_EQ(Find::part<QLabel>(*pane, "autopilotLastAction")->text(), "Quit Editor");
    EXPECT_TRUE(Find::part<QLabel>(*pane, "autopilotQuitNotice")->isHidden());
    ASSERT_EQ(pane->rows().size(), 1) << "the twin is still running and still listed";
    EXPECT_EQ(pane->rows().at(0).pid, 4001);
}

TEST_F(AutopilotPaneTest, AQuitThatAskedNothingSaysWhy) {
    pane->show();
    // The first Editor ended after the list was made, and its pid went to another program.
    apps->apps[0].localizedName = QStringLiteral("Calculator");
    pane->rows().at(0).quit->click();
    EXPECT_TRUE(apps->quitRequests.isEmpty());
    EXPECT_TRUE(Find::part<QLabel>(*pane, "autopilotLastAction")->isHidden());
    EXPECT_FALSE(Find::part<QLabel>(*pane, "autopilotQuitNotice")->isHidden());
    EXPECT_EQ(Find::part<QLabel>(*pane, "autopilotQuitNotice")->text(),
              "Editor is no longer running, so nothing was asked to quit.");
    ASSERT_EQ(pane->rows().size(), 1);
    EXPECT_EQ(pane->rows().at(0).pid, 4002);

    apps->deliverQuit = false;
    pane->rows().at(0).quit->click();
    EXPECT_EQ(apps->quitRequests, QList<qint64>{4002});
    EXPECT_EQ(Find::part<QLabel>(*pane, "autopilotQuitNotice")->text(),
              "Couldn't reach Editor to ask it to quit. Nothing was closed.");
    EXPECT_EQ(pane->rows().size(), 1);

    // Hidden with the rest while suggestions are off; a quit that asks clears it.
    autopilot->setEnabled(false);
    EXPECT_TRUE(Find::part<QLabel>(*pane, "autopilotQuitNotice")->isHidden());
    autopilot->setEnabled(true);
    EXPECT_FALSE(Find::part<QLabel>(*pane, "autopilotQuitNotice")->isHidden());
    apps->deliverQuit = true;
    pane->rows().at(0).quit->click();
    EXPECT_TRUE(Find::part<QLabel>(*pane, "autopilotQuitNotice")->isHidden());
    EXPECT_EQ(Find::part<QLabel>(*pane, "autopilotLastAction")->text(), "Quit Editor");
}
