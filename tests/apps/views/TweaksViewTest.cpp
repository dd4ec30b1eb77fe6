#include "apps/views/TweaksView.h"
#include "apps/TweaksService.h"
#include "apps/TweaksText.h"
#include "apps/views/TweakRow.h"
#include "fakes/FakeToolRunner.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "support/FindPage.h"
#include "support/TestSupport.h"
#include "ui-kit/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// The group headings of the list, top to bottom.
QStringList headings(const TweaksView& view) {
    QStringList out;
    for (const QLabel* heading : Find::parts<QLabel>(view, "tweaksHeading"))
        out << heading->text();
    return out;
}

// The rows of the list, top to bottom.
QList<TweakRow*> rows(const TweaksView& view) {
    return view.findChildren<TweakRow*>();
}
TweakRow* row(const TweaksView& view, const QString& id) {
    return Find::part<TweakRow>(view, "tweak-" + id);
}
ToggleSwitch* toggle(const TweaksView& view, const QString& id) {
    return Find::part<ToggleSwitch>(row(view, id), "tweakSwitch");
}

class TweaksViewTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeToolRunner> runner = std::make_shared<FakeToolRunner>();
    TweaksService service{runner, QStringLiteral("defaults")};

    TweaksViewTest() {
        runner->setHandler(FakeToolRunner::defaultsTool(testsupport::freshDir("tweaks-view")));
    }
    void showLoaded(TweaksView& view) {
        view.show();
        ASSERT_TRUE(testsupport::waitFor([&] { return !Find::showing(view, "tweaksReading"); }));
    }
};

} // namespace

TEST_F(TweaksViewTest, WaitsForTheFirstReadingThenListsEveryGroup) {
    TweaksView view(&service);
    EXPECT_TRUE(Find::showing(view, "tweaksReading"));
    EXPECT_TRUE(runner->calls().isEmpty()); // reading starts when the screen is shown
    showLoaded(view);
    EXPECT_EQ(runner->commands("read").size(), 39);
    EXPECT_EQ(headings(view), service.groups());
    EXPECT_EQ(rows(view).size(), 39);
    EXPECT_EQ(rows(view).last()->tweak().id, QString("misc-crash"));

    // Under the introduction, where the switches are kept; no row speaks of restarting anything,
    // those written for a program that rereads its settings on restart included.
    const auto* store = view.findChild<QLabel*>("tweaksStore");
    ASSERT_TRUE(store);
    EXPECT_EQ(store->text(), QString("Each is named for the setting it stands for on the system "
                                     "it was made for; here none changes your desktop or its "
                                     "programs."));
    EXPECT_EQ(view.findChild<QLabel*>("tweaksIntro")->text(),
              "Hidden Mac settings, no terminal needed. Each switch keeps a value in Pendrel's own "
              "store; turning it off clears that value, or stores the opposite one where a switch "
              "has two.");
    QCoreApplication::processEvents();
    EXPECT_GT(store->y(), view.findChild<QLabel*>("tweaksIntro")->y());
    for (TweakRow* r : rows(view)) {
        const QList<QLabel*> lines = r->findChildren<QLabel*>();
        EXPECT_EQ(lines, (QList<QLabel*>{Find::part<QLabel>(r, "tweakName"),
                                         Find::part<QLabel>(r, "tweakDescription")}))
            << r->tweak().id.toStdString();
    }
    for (TweakRow* r : rows(view))
        EXPECT_FALSE(Find::part<ToggleSwitch>(r, "tweakSwitch")->isChecked());

    // A later screen finds the states in memory and reads nothing.
    runner->clearCalls();
    TweaksView again(&service);
    again.show();
    EXPECT_FALSE(Find::showing(again, "tweaksReading"));
    EXPECT_TRUE(runner->calls().isEmpty());
}

TEST_F(TweaksViewTest, SwitchesAndRestoreReachTheService) {
    TweaksView view(&service);
    showLoaded(view);
    runner->clearCalls();
    QTest::mouseClick(toggle(view, "finder-hidden"), Qt::LeftButton);
    EXPECT_EQ(
        runner->commands("write"),
        (QList<QStringList>{{"write", "com.apple.finder", "AppleShowAllFiles", "-bool", "true"}}));
    EXPECT_TRUE(toggle(view, "finder-hidden")->isChecked());

    runner->clearCalls();
    QTest::mouseClick(Find::part<QPushButton>(view, "restoreAllButton"), Qt::LeftButton);
    EXPECT_EQ(
        runner->commands("write"),
        (QList<QStringList>{{"write", "com.apple.finder", "AppleShowAllFiles", "-bool", "false"}}));
    EXPECT_FALSE(toggle(view, "finder-hidden")->isChecked());
    EXPECT_TRUE(testsupport::waitFor([&] { return runner->commands("read").size() == 39; }));
}

TEST_F(TweaksViewTest, TheAlertShowsLastErrorAndDismissingClearsIt) {
    TweaksView view(&service);
    showLoaded(view);
    runner->setMissing(QStringLiteral("defaults"));
    QTest::mouseClick(toggle(view, "dock-mru"), Qt::LeftButton);
    EXPECT_TRUE(toggle(view, "dock-mru")->isChecked()); // the requested position
    QMessageBox* alert = view.alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->text(), QString("Something went wrong"));
    EXPECT_EQ(alert->informativeText(), TweaksText::toolMissing("defaults"));
    QTest::mouseClick(alert->button(QMessageBox::Ok), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(service.lastError());
    EXPECT_EQ(view.alert(), nullptr);
    // It does not come back until a new failure.
    runner->setMissing(QStringLiteral("defaults"), false);
    QTest::mouseClick(toggle(view, "dock-mru"), Qt::LeftButton);
    EXPECT_EQ(view.alert(), nullptr);
}

TEST_F(TweaksViewTest, AssistiveTechnologyTurnsASwitchAndReadsEveryRow) {
    TweaksView view(&service);
    showLoaded(view);
    EXPECT_TRUE(testsupport::accessibilityProblems(&view).isEmpty())
        << testsupport::accessibilityProblems(&view).join('\n').toStdString();

    // The switch is found by the tweak's name and its "Toggle" writes, as a click does.
    runner->clearCalls();
    QAccessibleInterface* spoken =
        QAccessible::queryAccessibleInterface(toggle(view, "finder-hidden"));
    ASSERT_TRUE(spoken && spoken->actionInterface());
    EXPECT_EQ(spoken->text(QAccessible::Name), row(view, "finder-hidden")->tweak().name);
    spoken->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(
        runner->commands("write"),
        (QList<QStringList>{{"write", "com.apple.finder", "AppleShowAllFiles", "-bool", "true"}}));
    EXPECT_TRUE(spoken->state().checked);
}
