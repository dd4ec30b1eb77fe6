#include "automation/views/AutomationView.h"
#include "automation/AutomationTestSupport.h"
#include "automation/views/AutomationRuleRow.h"
#include "fakes/FakeLoginItem.h"
#include "shell/RunModeManager.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKWrapLabel.h"
#include "ui-kit/ToggleSwitch.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QTest>

using namespace automationtest;

namespace {

struct Screen {
    World w;
    FakeLoginItem login;
    UserDefaults runDefaults{w.root + "/config/run.json"};
    RunModeManager runMode{runDefaults, login};
    std::unique_ptr<AutomationStore> store;
    std::unique_ptr<AutomationView> view;

    explicit Screen(const AutomationStore::Deps* env = nullptr) {
        store = std::make_unique<AutomationStore>(env ? *env : w.environment());
        view = std::make_unique<AutomationView>(*store, &runMode);
        view->resize(700, 1400);
        view->show();
    }
};

QPushButton* checkButton(const AutomationView& view) {
    return Find::part<QPushButton>(view, "checkSchedules");
}
QKLineLabel* statusLabel(const AutomationView& view) {
    return Find::part<QKLineLabel>(view, "automationStatus");
}
bool showsTip(const AutomationView& view) {
    return Find::part<QWidget>(view, "runModeTip")->isVisibleTo(&view);
}

// The rule rows, top to bottom.
QList<AutomationRuleRow*> rows(const AutomationView& view) {
    return view.findChildren<AutomationRuleRow*>();
}
AutomationRuleRow* ruleRow(const AutomationView& view, const QString& ruleId) {
    return Find::part<AutomationRuleRow>(view, "rule-" + ruleId);
}
ToggleSwitch* ruleSwitch(const AutomationRuleRow* row) {
    return Find::part<ToggleSwitch>(row, "ruleSwitch");
}
QPushButton* runNowButton(const AutomationRuleRow* row) {
    return Find::part<QPushButton>(row, "runNow");
}
bool showsSpinner(const AutomationRuleRow* row) {
    return Find::part<QWidget>(row, "ruleRunning")->isVisibleTo(row);
}
// The status as the row shows it: the running line while the spinner turns, else the status.
QString statusText(const AutomationRuleRow* row) {
    return showsSpinner(row) ? Find::part<QLabel>(row, "ruleRunningText")->text()
                             : Find::part<QKLineLabel>(row, "ruleStatus")->text();
}
QKWrapLabel* resultLabel(const AutomationRuleRow* row) {
    return Find::part<QKWrapLabel>(row, "ruleResult");
}
// Null when the row shows no result line.
QString resultText(const AutomationRuleRow* row) {
    QKWrapLabel* label = resultLabel(row);
    return label->isVisibleTo(row) ? label->text() : QString();
}

bool inks(const QWidget* label, QKForeground::Style style) {
    return label->palette().color(QPalette::WindowText) ==
           QKForeground::color(style, label->parentWidget()->palette());
}
bool statusIsGreen(const AutomationView& view) {
    return inks(statusLabel(view), QKForeground::Green);
}

} // namespace

TEST(AutomationView, AFreshStartShowsEveryRuleOffWithoutResults) {
    Screen s;
    ASSERT_EQ(rows(*s.view).size(), 5);
    for (AutomationRuleRow* row : rows(*s.view)) {
        SCOPED_TRACE(row->rule().id.toStdString());
        EXPECT_FALSE(ruleSwitch(row)->isChecked());
        EXPECT_EQ(statusText(row), "Off");
        EXPECT_TRUE(resultText(row).isNull());
        EXPECT_TRUE(runNowButton(row)->isEnabled());
    }
    EXPECT_FALSE(statusLabel(*s.view)->isVisible()) << "the box's last line holds the button";
    EXPECT_TRUE(checkButton(*s.view)->isEnabled());
}

TEST(AutomationView, RowsFollowTheStoreAndTheSwitchReachesIt) {
    Screen s;
    s.w.setDisk(95'000'000'000, 1000'000'000'000);
    AutomationRuleRow* alert = ruleRow(*s.view, "disk-alert");
    QTest::mouseClick(ruleSwitch(alert), Qt::LeftButton);
    EXPECT_TRUE(s.store->state("disk-alert").enabled);
    EXPECT_TRUE(ruleSwitch(alert)->isChecked());
    ASSERT_TRUE(settled(*s.store));
    ASSERT_TRUE(
        testsupport::waitFor([&] { return s.store->state("disk-alert").lastRun.has_value(); }));
    ASSERT_TRUE(settled(*s.store));
    EXPECT_TRUE(statusText(alert).startsWith("Last run "));
    EXPECT_EQ(resultText(alert), *s.store->state("disk-alert").lastResult);

    // Switched off after it ran: off, yet still its last run and result.
    QTest::mouseClick(ruleSwitch(alert), Qt::LeftButton);
    EXPECT_FALSE(s.store->state("disk-alert").enabled);
    EXPECT_FALSE(ruleSwitch(alert)->isChecked());
    EXPECT_TRUE(statusText(alert).startsWith("Last run "));
    EXPECT_FALSE(resultText(alert).isEmpty());

    s.store->setEnabled(true, "sunday-dev");
    EXPECT_EQ(statusText(ruleRow(*s.view, "sunday-dev")), "Enabled — waiting for schedule");
    ASSERT_TRUE(settled(*s.store));
}

TEST(AutomationView, AssistiveTechnologyTurnsARuleOnAndReadsTheScreen) {
    Screen s;
    EXPECT_TRUE(testsupport::accessibilityProblems(s.view.get()).isEmpty())
        << testsupport::accessibilityProblems(s.view.get()).join('\n').toStdString();
    EXPECT_TRUE(testsupport::accessibleTexts(s.view.get()).contains("Off"))
        << "the rows' status lines are read";

    AutomationRuleRow* row = ruleRow(*s.view, "sunday-dev");
    QAccessibleInterface* toggle = QAccessible::queryAccessibleInterface(ruleSwitch(row));
    ASSERT_TRUE(toggle && toggle->actionInterface());
    EXPECT_EQ(toggle->text(QAccessible::Name), row->rule().title);
    toggle->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(s.store->state("sunday-dev").enabled);
    EXPECT_EQ(statusText(row), "Enabled — waiting for schedule");
    toggle->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(s.store->state("sunday-dev").enabled);
    ASSERT_TRUE(settled(*s.store));

    // Each "Run now" names the rule it runs, so five buttons do not read alike.
    for (AutomationRuleRow* r : rows(*s.view)) {
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(runNowButton(r));
        ASSERT_TRUE(button);
        EXPECT_EQ(button->text(QAccessible::Name), "Run now: " + r->rule().title);
    }
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(runNowButton(ruleRow(*s.view, "friday-downloads")))
            ->text(QAccessible::Name),
        "Run now: Empty Downloads");
}

TEST(AutomationView, WhileARuleRunsOnlyItsRowSaysSoAndEveryControlWaits) {
    World w;
    auto env = w.environmentWithDocker();
    QSemaphore gate;
    w.tools->setHandler([&gate](const QString&, const QStringList&) {
        gate.acquire();
        return FakeToolRunner::exited(1, "", "Error response from daemon\n");
    });
    Screen s(&env);
    OpenAtEnd open{gate};
    QTest::mouseClick(runNowButton(ruleRow(*s.view, "weekly-docker")), Qt::LeftButton);
    ASSERT_TRUE(s.store->isRunning());
    for (AutomationRuleRow* row : rows(*s.view)) {
        SCOPED_TRACE(row->rule().id.toStdString());
        const bool running = row->rule().id == "weekly-docker";
        EXPECT_EQ(showsSpinner(row), running);
        EXPECT_EQ(statusText(row) == "Running…", running);
        EXPECT_FALSE(ruleSwitch(row)->isEnabled());
        EXPECT_FALSE(runNowButton(row)->isEnabled());
    }
    EXPECT_FALSE(checkButton(*s.view)->isEnabled());
    gate.release();
    ASSERT_TRUE(settled(*s.store));
    AutomationRuleRow* row = ruleRow(*s.view, "weekly-docker");
    EXPECT_FALSE(showsSpinner(row));
    EXPECT_EQ(resultText(row), "Docker prune failed: Error response from daemon\n");
    EXPECT_TRUE(checkButton(*s.view)->isEnabled());
    EXPECT_EQ(statusLabel(*s.view)->text(),
              "Docker cleanup: Docker prune failed: Error response from daemon\n");
    // A failed run reads as a problem on the status line and in its row, not as a success.
    EXPECT_TRUE(inks(statusLabel(*s.view), QKForeground::Red));
    EXPECT_TRUE(inks(resultLabel(row), QKForeground::Red));

    // The next run that does its job is green again, and its row's result back to secondary.
    w.tools->setHandler(
        [](const QString&, const QStringList&) { return FakeToolRunner::exited(0, "", ""); });
    QTest::mouseClick(runNowButton(row), Qt::LeftButton);
    ASSERT_TRUE(settled(*s.store));
    EXPECT_EQ(resultText(row), "Docker unused data pruned.");
    EXPECT_TRUE(statusIsGreen(*s.view));
    EXPECT_TRUE(inks(resultLabel(row), QKForeground::Secondary));
}

TEST(AutomationView, ControlsPressedFromTheKeyboardKeepTheFocusWhileTheRunGoesOn) {
    World w;
    w.clock->set(inBerlin(2026, 3, 30, 10, 0)); // a Monday: the docker cleanup is due
    auto env = w.environmentWithDocker();
    QSemaphore gate;
    w.tools->setHandler([&gate](const QString&, const QStringList&) {
        gate.acquire();
        return FakeToolRunner::exited(0, "", "");
    });
    Screen s(&env);
    OpenAtEnd open{gate};
    s.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.view.get()));
    EXPECT_EQ(s.view->accessibleName(), "Automation");
    AutomationRuleRow* docker = ruleRow(*s.view, "weekly-docker");

    // Each control starts a run that turns every control off; the focus waits on the screen
    // rather than going on to whatever follows, and comes back to the control once it is over.
    const auto press = [&](QWidget* control) {
        SCOPED_TRACE(control->objectName().toStdString());
        control->setFocus(Qt::TabFocusReason);
        QTest::keyClick(control, Qt::Key_Space);
        ASSERT_TRUE(testsupport::waitFor([&] { return s.store->isRunning(); }));
        EXPECT_EQ(QApplication::focusWidget(), s.view.get());
        gate.release();
        ASSERT_TRUE(settled(*s.store));
        EXPECT_EQ(QApplication::focusWidget(), control);
    };
    press(ruleSwitch(docker)); // switched on, it runs what is due today
    press(runNowButton(docker));
    // The run of today is done; the next day's check runs it again.
    w.clock->set(inBerlin(2026, 4, 6, 10, 0));
    press(checkButton(*s.view));
}

TEST(AutomationView, AStoredProblemResultIsShownAsOneAfterARestart) {
    World w;
    AutomationRuleStates::Map states;
    states["friday-downloads"].lastRun = 0;
    states["friday-downloads"].lastResult = QStringLiteral("Moved Zero KB; 1 skipped.");
    states["friday-downloads"].lastResultIsProblem = true;
    states["friday-screenshots"].lastRun = 0;
    states["friday-screenshots"].lastResult = QStringLiteral("Moved 1 MB of old screenshots.");
    w.defaults.setValue(AutomationRuleStates::defaultsKey(), AutomationRuleStates::encode(states));
    auto env = w.environment();
    Screen s(&env);
    EXPECT_TRUE(inks(resultLabel(ruleRow(*s.view, "friday-downloads")), QKForeground::Red));
    EXPECT_TRUE(inks(resultLabel(ruleRow(*s.view, "friday-screenshots")), QKForeground::Secondary));
}

TEST(AutomationView, StatusMessageColourAndTheRunModeTip) {
    // The disk is sampled on the pool; once held, the alert's pass waits there until the test has
    // looked at the status line while it checks.
    World w;
    auto env = w.environment();
    QSemaphore gate;
    std::atomic_bool hold = false;
    env.freshDiskSample = [disk = w.disk, &gate, &hold] {
        if (hold)
            gate.acquire();
        return *disk;
    };
    Screen s(&env);
    OpenAtEnd open{gate};
    s.runMode.setMode(RunMode::WindowOnly);
    EXPECT_TRUE(showsTip(*s.view));
    s.runMode.setMode(RunMode::MenuBar);
    EXPECT_FALSE(showsTip(*s.view));
    s.runMode.setMode(RunMode::Login);
    EXPECT_FALSE(showsTip(*s.view));

    QTest::mouseClick(checkButton(*s.view), Qt::LeftButton);
    // The check runs on: the text is its first one until the pass ends.
    ASSERT_TRUE(settled(*s.store));
    EXPECT_EQ(statusLabel(*s.view)->text(), "No enabled schedules are due right now.");
    EXPECT_TRUE(statusLabel(*s.view)->isVisible());
    EXPECT_TRUE(statusIsGreen(*s.view));

    w.setDisk(5, 100);
    hold = true;
    s.store->setEnabled(true, "disk-alert");
    ASSERT_TRUE(
        testsupport::waitFor([&] { return s.store->isChecking() || s.store->isRunning(); }));
    EXPECT_FALSE(statusIsGreen(*s.view)) << statusLabel(*s.view)->text().toStdString();
    hold = false;
    gate.release(1000);
    ASSERT_TRUE(settled(*s.store));
    EXPECT_TRUE(statusIsGreen(*s.view));
}

TEST(AutomationView, ResultsWrapWithinTheirRow) {
    World w;
    AutomationRuleStates::Map states;
    states["weekly-docker"].lastRun = 0;
    states["weekly-docker"].lastResult = QString(40, 'w') + QStringLiteral(" ") +
                                         QString("Deleted build cache objects ").repeated(12);
    w.defaults.setValue(AutomationRuleStates::defaultsKey(), AutomationRuleStates::encode(states));
    auto env = w.environment();
    Screen s(&env);
    s.view->resize(520, 1400);
    QCoreApplication::processEvents();
    AutomationRuleRow* row = ruleRow(*s.view, "weekly-docker");
    EXPECT_FALSE(ruleSwitch(row)->isChecked());
    EXPECT_TRUE(statusText(row).startsWith("Last run "));
    const QLabel* result = resultLabel(row);
    EXPECT_LE(result->width(), 520);
    EXPECT_GT(result->height(), 3 * result->fontMetrics().height());
}

TEST(AutomationView, ALongResultWithoutSpacesNeverWidensThePage) {
    World w;
    AutomationRuleStates::Map states;
    const QString result = QStringLiteral("/var/lib/") + QString(200, 'x');
    states["weekly-docker"].lastRun = 0;
    states["weekly-docker"].lastResult = result;
    w.defaults.setValue(AutomationRuleStates::defaultsKey(), AutomationRuleStates::encode(states));
    auto env = w.environment();
    Screen s(&env);
    s.view->resize(520, 1400);
    QCoreApplication::processEvents();
    EXPECT_LE(s.view->minimumSizeHint().width(), 520);
    AutomationRuleRow* row = ruleRow(*s.view, "weekly-docker");
    // Every switch and "Run now" lies inside the window.
    for (AutomationRuleRow* r : rows(*s.view)) {
        const QRect runNow(runNowButton(r)->mapTo(s.view.get(), QPoint()), runNowButton(r)->size());
        EXPECT_TRUE(s.view->rect().contains(runNow)) << r->rule().id.toStdString();
        const QRect toggle(ruleSwitch(r)->mapTo(s.view.get(), QPoint()), ruleSwitch(r)->size());
        EXPECT_TRUE(s.view->rect().contains(toggle)) << r->rule().id.toStdString();
    }
    // The result wraps, and reads and copies as it was stored.
    EXPECT_EQ(resultText(row), result);
    EXPECT_GT(resultLabel(row)->height(), 2 * resultLabel(row)->fontMetrics().height());
    EXPECT_EQ(testsupport::findAccessible(s.view.get(), result)->object(), resultLabel(row));
    resultLabel(row)->setSelection(0, 24); // twelve characters and their break marks
    QGuiApplication::clipboard()->setText(resultLabel(row)->selectedText());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("/var/lib/xxx"));
}
