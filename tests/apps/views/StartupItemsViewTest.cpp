#include "apps/views/StartupItemsView.h"
#include "apps/StartupTestSupport.h"
#include "apps/views/StartupItemRow.h"
#include "fakes/FakeFileRevealer.h"
#include "support/AccessibleAudit.h"
#include "support/Find.h"
#include "support/FindPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKTransientNote.h"
#include "ui-kit/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace startuptest;

namespace {

StartupItemRow* rowFor(const StartupItemsView& view, const QString& label, bool disabled = false) {
    for (StartupItemRow* r : view.rows()) {
        if (r->item().label == label && r->item().disabled == disabled)
            return r;
    }
    return nullptr;
}

// The view over the machine's service, shown, with a file manager that records what it is asked
// to show.
struct Shown {
    std::unique_ptr<StartupItems> service;
    FakeFileRevealer revealer;
    StartupItemsView view;

    explicit Shown(const Machine& m) : service(m.service()), view(service.get(), &revealer) {
        view.show();
    }
};

} // namespace

TEST(StartupItemsView, ReadsTheListOnFirstShowingOnly) {
    Machine m;
    auto service = m.service();
    FakeFileRevealer revealer;
    {
        StartupItemsView view(service.get(), &revealer);
        EXPECT_TRUE(Find::showing(view, "startupReading"));
        view.show();
        EXPECT_TRUE(service->loaded());
        EXPECT_TRUE(Find::showing(view, "startupEmpty"));
        EXPECT_EQ(Find::part<QKEmptyState>(view, "startupEmpty")->title(),
                  QString("Nothing starts automatically"));
        EXPECT_EQ(Find::part<QKEmptyState>(view, "startupEmpty")->message(),
                  QString("No autostart entries or boot services found."));
    }
    // A later visit shows the list the service holds, without reading the folders again.
    write(m.user() + "/late.desktop", entry("Late"));
    StartupItemsView again(service.get(), &revealer);
    again.show();
    EXPECT_TRUE(Find::showing(again, "startupEmpty"));
    EXPECT_TRUE(again.rows().isEmpty());
}

TEST(StartupItemsView, RowsShowScopeStateAndWhatCanBeSwitched) {
    Machine m;
    write(m.user() + "/mine.desktop", entry("Mine", "/usr/bin/mine --quiet"));
    write(m.user() + "/self-off.desktop", entry("Self off", "x", "Hidden=true\n"));
    write(m.disabled() + "/parked.desktop", "[Desktop Entry]\nName=Parked\n");
    write(m.system() + "/applet.desktop", entry("Applet"));
    Shown shown(m);
    auto& [service, revealer, view] = shown;
    ASSERT_TRUE(Find::showing(view, "startupList"));
    ASSERT_EQ(view.rows().size(), 4);

    StartupItemRow* mine = rowFor(view, "Mine");
    ASSERT_TRUE(mine);
    EXPECT_EQ(Find::part<QKLineLabel>(mine, "startupDetail")->text(), QString("/usr/bin/mine"));
    EXPECT_EQ(Find::part<QKLineLabel>(mine, "startupScope")->text(), QString("Your login"));
    ASSERT_TRUE(mine->toggle());
    EXPECT_TRUE(mine->toggle()->isChecked());
    EXPECT_TRUE(mine->toggle()->isEnabled());

    StartupItemRow* parked = rowFor(view, "Parked", true);
    ASSERT_TRUE(parked);
    EXPECT_EQ(Find::part<QKLineLabel>(parked, "startupDetail")->text(), QString("parked.desktop"));
    EXPECT_EQ(Find::part<QKLineLabel>(parked, "startupScope")->text(), QString("Your login · off"));
    EXPECT_FALSE(parked->toggle()->isChecked());

    StartupItemRow* selfOff = rowFor(view, "Self off");
    EXPECT_FALSE(selfOff->toggle()->isChecked());
    EXPECT_FALSE(selfOff->toggle()->isEnabled()); // moving it would not help

    StartupItemRow* applet = rowFor(view, "Applet");
    EXPECT_EQ(applet->toggle(), nullptr);
    ASSERT_TRUE(Find::maybe<QLabel>(applet, "lockedLabel"));
    EXPECT_EQ(Find::part<QLabel>(applet, "lockedLabel")->text(), QString("locked"));

    // Every row can be revealed, locked and switched-off ones included (once laid out).
    QCoreApplication::processEvents();
    QTest::mouseClick(applet->revealButton(), Qt::LeftButton);
    QTest::mouseClick(parked->revealButton(), Qt::LeftButton);
    EXPECT_EQ(revealer.revealed,
              QStringList({m.system() + "/applet.desktop", m.disabled() + "/parked.desktop"}));
    EXPECT_EQ(QKTransientNote::shownIn(&view), nullptr);
    // Where nothing can show the file, the row's button says so.
    revealer.refuses = true;
    QTest::mouseClick(applet->revealButton(), Qt::LeftButton);
    QKTransientNote* note = QKTransientNote::shownIn(&view);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->anchor(), applet->revealButton());
    EXPECT_EQ(note->text(), QString("Couldn't open a file manager to show this."));
}

TEST(StartupItemsView, ASwitchMovesTheItemAndAFailureShowsTheAlert) {
    Machine m;
    write(m.user() + "/app.desktop", entry("App"));
    auto service = m.service();
    StartupItemsView view(service.get(), nullptr);
    view.show();
    QTest::mouseClick(rowFor(view, "App")->toggle(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(QFile::exists(m.disabled() + "/app.desktop"));
    StartupItemRow* off = rowFor(view, "App", true);
    ASSERT_TRUE(off);
    EXPECT_EQ(Find::part<QKLineLabel>(off, "startupScope")->text(), QString("Your login · off"));
    EXPECT_FALSE(off->toggle()->isChecked());
    EXPECT_FALSE(off->revealButton()->isEnabled()); // no revealer

    // Turned from the keyboard, the row it was in is rebuilt: the focus is on the new row's
    // switch, so Space turns the item straight back.
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    off->toggle()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(off->toggle(), Qt::Key_Space);
    QCoreApplication::processEvents();
    StartupItemRow* on = rowFor(view, "App");
    ASSERT_TRUE(on);
    EXPECT_EQ(QApplication::focusWidget(), on->toggle());
    QTest::keyClick(on->toggle(), Qt::Key_Space);
    QCoreApplication::processEvents();
    off = rowFor(view, "App", true);
    ASSERT_TRUE(off);
    EXPECT_EQ(QApplication::focusWidget(), off->toggle());

    // A file stands in the way and the Trash refuses it: the row keeps its state.
    write(m.user() + "/app.desktop", entry("App", "other"));
    m.trash->refuseAll(QStringLiteral("The Trash is not available."));
    QTest::mouseClick(off->toggle(), Qt::LeftButton);
    EXPECT_FALSE(off->toggle()->isChecked());
    EXPECT_TRUE(QFile::exists(m.disabled() + "/app.desktop"));
    QMessageBox* alert = view.alert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->text(), QString("Couldn't change that item"));
    EXPECT_EQ(alert->informativeText(), QString("The Trash is not available."));

    // Dismissed, it is gone; trying again tries again.
    QTest::mouseClick(alert->button(QMessageBox::Ok), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.alert(), nullptr);
    m.trash->refuseAll(QString());
    QTest::mouseClick(off->toggle(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(readAll(m.user() + "/app.desktop").contains("Exec=app"));
    EXPECT_EQ(view.alert(), nullptr);
}

TEST(StartupItemsView, AssistiveTechnologyReadsTheRowsAndTurnsASwitch) {
    Machine m;
    write(m.user() + "/app.desktop", entry("App", "/usr/bin/app --quiet"));
    write(m.system() + "/applet.desktop", entry("Applet"));
    Shown shown(m);
    auto& [service, revealer, view] = shown;
    ASSERT_TRUE(Find::showing(view, "startupList"));
    EXPECT_TRUE(testsupport::accessibilityProblems(&view).isEmpty())
        << testsupport::accessibilityProblems(&view).join('\n').toStdString();
    const QStringList texts = testsupport::accessibleTexts(&view);
    for (const char* line : {"App", "/usr/bin/app", "Your login", "Applet", "locked"})
        EXPECT_TRUE(texts.contains(line)) << line;

    QAccessibleInterface* toggle =
        QAccessible::queryAccessibleInterface(rowFor(view, "App")->toggle());
    ASSERT_TRUE(toggle && toggle->actionInterface());
    EXPECT_EQ(toggle->text(QAccessible::Name), QString("App"));
    toggle->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_TRUE(QFile::exists(m.disabled() + "/app.desktop"));
    ASSERT_TRUE(rowFor(view, "App", true));
}

TEST(StartupItemsView, WithoutAServiceShowsTheEmptyState) {
    StartupItemsView view(nullptr, nullptr);
    view.show();
    EXPECT_TRUE(Find::showing(view, "startupEmpty"));
}
