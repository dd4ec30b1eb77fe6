#include "storage/views/OrganizerPane.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerTestSupport.h"
#include "storage/views/OrganizerMoveDelegate.h"
#include "storage/views/ScrollStops.h"
#include "support/Find.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSemaphore>
#include <QSpinBox>
#include <QTest>

using namespace organizertest;
using Kind = FolderOrganizer::State::Kind;

namespace {

// Clicks the tick of a move's row, as the user would.
void tick(OrganizerPane& pane, const QString& id) {
    const QRect rect = pane.rowToggleRect(id);
    ASSERT_FALSE(rect.isEmpty());
    QTest::mouseClick(Find::part<QListView>(pane, "organizerPlanList")->viewport(), Qt::LeftButton,
                      {}, rect.center());
}

bool settled(FolderOrganizer& organizer) {
    return testsupport::waitFor([&] {
        const Kind k = organizer.state().kind;
        return k != Kind::Running && k != Kind::Undoing && k != Kind::Planning;
    });
}

} // namespace

TEST(OrganizerPane, PreviewTicksApplyAndUndo) {
    const QString home = testsupport::freshDir("pane");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.png", "a");
    makeFile(layout.downloadsDir() + "/b.pdf", "b");
    QDir().mkpath(layout.downloadsDir() + "/Folder");
    FolderOrganizer organizer(layout);
    OrganizerPane pane(organizer);
    pane.resize(600, 700);
    pane.show();
    EXPECT_TRUE(Find::part<QWidget>(pane, "organizerPreviewGroup")->isHidden());
    EXPECT_TRUE(Find::part<QWidget>(pane, "organizerUndo")->isHidden());

    Find::part<QPushButton>(pane, "organizerPreview")->click();
    EXPECT_FALSE(Find::part<QPushButton>(pane, "organizerPreview")->isEnabled()); // planning
    EXPECT_FALSE(Find::part<QWidget>(pane, "organizerPreviewGroup")->isHidden());
    EXPECT_FALSE(Find::part<QKBusyPage>(pane, "organizerPlanning")->isHidden());
    EXPECT_EQ(Find::part<QKBusyPage>(pane, "organizerPlanning")->line()->text(),
              "Building a preview…");
    EXPECT_TRUE(Find::part<QListView>(pane, "organizerPlanList")->isHidden());
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(Find::part<QKBusyPage>(pane, "organizerPlanning")->isHidden());
    EXPECT_FALSE(Find::part<QWidget>(pane, "organizerPreviewGroup")->isHidden());
    EXPECT_EQ(Find::part<QListView>(pane, "organizerPlanList")->model()->rowCount(), 2);
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerSelected")->text(), "2 selected");
    // A reader hears the plan by name; the page around the rules is no Tab stop of its own.
    EXPECT_EQ(storagetest::accessibleNameOf(Find::part<QListView>(pane, "organizerPlanList")),
              "Planned moves");
    EXPECT_EQ(storagetest::scrollStopProblems(&pane), QStringList());
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerLeftAlone")->text(), "1 left alone");
    EXPECT_TRUE(Find::part<QPushButton>(pane, "organizerApply")->isEnabled());

    const QString a = layout.downloadsDir() + "/a.png", b = layout.downloadsDir() + "/b.pdf";
    tick(pane, a);
    EXPECT_FALSE(
        organizer.plan()->moves.at(organizer.plan()->moves.at(0).id == a ? 0 : 1).isEnabled);
    tick(pane, b);
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerSelected")->text(), "0 selected");
    EXPECT_TRUE(Find::part<QLabel>(pane, "organizerStatusText")->text().startsWith("0 moves · "));
    EXPECT_FALSE(Find::part<QPushButton>(pane, "organizerApply")->isEnabled());
    tick(pane, a);
    EXPECT_EQ(Find::part<QListView>(pane, "organizerPlanList")->model()->rowCount(), 2);

    Find::part<QPushButton>(pane, "organizerApply")->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerStatusText")->text(), "Done. Moved 1 item.");
    ASSERT_EQ(Find::parts<QPushButton>(pane, "organizerUndoRun").size(), 1);
    EXPECT_FALSE(Find::part<QWidget>(pane, "organizerUndo")->isHidden());
    Find::parts<QPushButton>(pane, "organizerUndoRun").first()->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(Find::part<QWidget>(pane, "organizerUndo")->isHidden());
}

TEST(OrganizerPane, EmptyPreviewAndRules) {
    const QString home = testsupport::freshDir("pane-empty");
    const HomeLayout layout = layoutFor(home);
    QDir().mkpath(layout.downloadsDir() + "/Folder");
    FolderOrganizer organizer(layout);
    OrganizerPane pane(organizer);
    pane.show();
    Find::part<QPushButton>(pane, "organizerPreview")->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerStatusText")->text(),
              "Nothing matched the current rules.");
    EXPECT_FALSE(Find::part<QWidget>(pane, "organizerPreviewGroup")->isHidden());
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerSelected")->text(), "0 selected");
    EXPECT_EQ(Find::part<QListView>(pane, "organizerPlanList")->model()->rowCount(), 0);
    EXPECT_FALSE(Find::part<QPushButton>(pane, "organizerApply")->isEnabled());
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerLeftAlone")->text(), "1 left alone");

    Find::part<ToggleSwitch>(pane, "organizerDownloads")->click();
    EXPECT_FALSE(organizer.includeDownloads());
    Find::part<ToggleSwitch>(pane, "organizerDesktop")->click();
    EXPECT_FALSE(organizer.includeDesktop());
    Find::part<QSpinBox>(pane, "organizerDays")->setValue(99);
    EXPECT_EQ(organizer.leaveRecentDays(), 60);
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerDaysLabel")->text(),
              "Leave files changed in the last 60 days");
    Find::part<QSpinBox>(pane, "organizerDays")->setValue(-4);
    EXPECT_EQ(organizer.leaveRecentDays(), 0);
}

TEST(OrganizerPane, NothingStartsWhileARunIsInProgress) {
    const QString home = testsupport::freshDir("pane-busy");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.png", "a");
    QSemaphore go;
    FolderOrganizer::Deps options;
    options.beforeStep = [&go](int) { go.acquire(); };
    FolderOrganizer organizer(layout, options);
    // A failed assertion must not leave the run waiting while the organizer goes.
    const auto release = qScopeGuard([&go] { go.release(100); });
    OrganizerPane pane(organizer);
    pane.show();
    Find::part<QPushButton>(pane, "organizerPreview")->click();
    ASSERT_TRUE(settled(organizer));
    Find::part<QPushButton>(pane, "organizerApply")->click();
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerStatusText")->text(), "Moving 0 of 1…");
    EXPECT_FALSE(Find::part<QWidget>(pane, "organizerStatusSpinner")->isHidden());
    EXPECT_FALSE(Find::part<QPushButton>(pane, "organizerPreview")->isEnabled());
    EXPECT_FALSE(Find::part<QPushButton>(pane, "organizerApply")->isEnabled());
    EXPECT_TRUE(Find::part<ToggleSwitch>(pane, "organizerDownloads")->isEnabled());
    tick(pane, layout.downloadsDir() + "/a.png"); // ticks stay editable
    EXPECT_FALSE(organizer.plan()->moves.first().isEnabled);
    go.release();
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(Find::part<QPushButton>(pane, "organizerPreview")->isEnabled());
    EXPECT_TRUE(Find::part<QWidget>(pane, "organizerStatusSpinner")->isHidden());
}

// A plan of hundreds of files scrolls inside its own box: the page stays short, the runs to undo
// sit right under the list, and once the apply has run its plan cannot be applied again until
// the next preview.
TEST(OrganizerPane, ALongPlanScrollsInItsOwnBoxAndAnAppliedPlanIsSpent) {
    const QString home = testsupport::freshDir("pane-long");
    const HomeLayout layout = layoutFor(home);
    for (int i = 0; i < 400; ++i)
        makeFile(layout.downloadsDir() + QStringLiteral("/f%1.txt").arg(i));
    FolderOrganizer organizer(layout);
    OrganizerPane pane(organizer);
    pane.resize(700, 1000);
    pane.show();
    Find::part<QPushButton>(pane, "organizerPreview")->click();
    ASSERT_TRUE(settled(organizer));
    ASSERT_EQ(Find::part<QListView>(pane, "organizerPlanList")->model()->rowCount(), 400);
    QApplication::processEvents();
    EXPECT_EQ(Find::part<QListView>(pane, "organizerPlanList")->height(),
              OrganizerPane::visibleRows() * OrganizerMoveDelegate::rowHeight());
    EXPECT_GT(Find::part<QListView>(pane, "organizerPlanList")->verticalScrollBar()->maximum(), 0);

    Find::part<QPushButton>(pane, "organizerApply")->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerStatusText")->text(), "Done. Moved 400 items.");
    EXPECT_FALSE(Find::part<QPushButton>(pane, "organizerApply")->isEnabled());
    tick(pane, layout.downloadsDir() + "/f0.txt"); // a tick does not revive a spent plan
    tick(pane, layout.downloadsDir() + "/f0.txt");
    EXPECT_FALSE(Find::part<QPushButton>(pane, "organizerApply")->isEnabled());
    ASSERT_EQ(Find::parts<QPushButton>(pane, "organizerUndoRun").size(), 1);
    QApplication::processEvents();
    QPushButton* undo = Find::parts<QPushButton>(pane, "organizerUndoRun").first();
    const int undoBottom = undo->mapTo(&pane, QPoint(0, undo->height())).y();
    EXPECT_LT(undoBottom, pane.height());
    EXPECT_TRUE(undo->isVisible());

    undo->click();
    ASSERT_TRUE(settled(organizer));
    Find::part<QPushButton>(pane, "organizerPreview")->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(Find::part<QPushButton>(pane, "organizerApply")->isEnabled());
}

// Where two rows carry one file name, each says which folder it comes from. Every row tells
// assistive technology its name and whether it is ticked, and the pane works from the keyboard:
// Tab reaches the list after the apply button, and Space flips the current row.
TEST(OrganizerPane, RowsNameTheirFolderAndTheirTickForEveryoneAndTheKeyboard) {
    const QString home = testsupport::freshDir("pane-a11y");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/report.pdf", "long one");
    makeFile(layout.desktopDir() + "/report.pdf", "b");
    makeFile(layout.downloadsDir() + "/alone.png", "a");
    FolderOrganizer organizer(layout);
    OrganizerPane pane(organizer);
    pane.resize(700, 900);
    pane.show();
    QApplication::setActiveWindow(&pane);
    Find::part<QPushButton>(pane, "organizerPreview")->click();
    ASSERT_TRUE(settled(organizer));
    ASSERT_EQ(Find::part<QListView>(pane, "organizerPlanList")->model()->rowCount(), 3);

    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(Find::part<QListView>(pane, "organizerPlanList"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->childCount(), 3);
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* row = list->child(i);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->role(), QAccessible::ListItem);
        EXPECT_TRUE(row->state().checkable);
        EXPECT_TRUE(row->state().checked);
        names << row->text(QAccessible::Name);
    }
    EXPECT_EQ(names, QStringList({"alone.png", "report.pdf · from Downloads",
                                  "report.pdf · from Desktop"}));

    Find::part<QPushButton>(pane, "organizerApply")->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Find::part<QListView>(pane, "organizerPlanList"));
    ASSERT_EQ(Find::part<QListView>(pane, "organizerPlanList")->currentIndex().row(), 0);
    QTest::keyClick(Find::part<QListView>(pane, "organizerPlanList"), Qt::Key_Space);
    EXPECT_FALSE(organizer.plan()->moves.at(0).isEnabled);
    EXPECT_FALSE(list->child(0)->state().checked);
    EXPECT_TRUE(list->child(1)->state().checked);
    QTest::keyClick(Find::part<QListView>(pane, "organizerPlanList"), Qt::Key_Down);
    QTest::keyClick(Find::part<QListView>(pane, "organizerPlanList"), Qt::Key_Space);
    EXPECT_FALSE(organizer.plan()->moves.at(1).isEnabled);
    EXPECT_EQ(Find::part<QLabel>(pane, "organizerSelected")->text(), "1 selected");
}

// Its buttons go off while the work they started runs; pressed from the keyboard, each keeps the
// focus on the pane meanwhile, not on the question strip under the header, and gets it back.
TEST(OrganizerPane, ButtonsPressedFromTheKeyboardKeepTheFocusWhileTheirWorkRuns) {
    const QString home = testsupport::freshDir("pane-focus");
    const HomeLayout layout = layoutFor(home);
    makeFile(layout.downloadsDir() + "/a.png", "a");
    QSemaphore plan, step;
    FolderOrganizer::Deps options;
    options.beforePlan = [&plan] { plan.acquire(); };
    options.beforeStep = [&step](int) { step.acquire(); };
    FolderOrganizer organizer(layout, options);
    const auto release = qScopeGuard([&] {
        plan.release(100);
        step.release(100);
    });
    OrganizerPane pane(organizer);
    pane.resize(600, 700);
    pane.show();
    pane.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pane));

    auto* preview = Find::part<QPushButton>(pane, "organizerPreview");
    preview->setFocus(Qt::TabFocusReason);
    QTest::keyClick(preview, Qt::Key_Space);
    ASSERT_EQ(organizer.state().kind, Kind::Planning);
    EXPECT_EQ(QApplication::focusWidget(), &pane);
    EXPECT_EQ(pane.accessibleName(), "Folder Organizer");
    plan.release();
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(QApplication::focusWidget(), preview);

    // A spent plan's Apply stays off, so the focus goes on to the preview that makes the next.
    auto* apply = Find::part<QPushButton>(pane, "organizerApply");
    apply->setFocus(Qt::TabFocusReason);
    QTest::keyClick(apply, Qt::Key_Space);
    ASSERT_EQ(organizer.state().kind, Kind::Running);
    EXPECT_EQ(QApplication::focusWidget(), &pane);
    step.release();
    ASSERT_TRUE(settled(organizer));
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), preview);
    // The undone run's row goes with its button; the focus goes on to the preview too.
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return Find::parts<QPushButton>(pane, "organizerUndoRun").size() == 1; }));
    QPushButton* undo = Find::parts<QPushButton>(pane, "organizerUndoRun").first();
    undo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(undo, Qt::Key_Space);
    ASSERT_EQ(organizer.state().kind, Kind::Undoing);
    EXPECT_EQ(QApplication::focusWidget(), &pane);
    step.release();
    ASSERT_TRUE(settled(organizer));
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return Find::parts<QPushButton>(pane, "organizerUndoRun").isEmpty(); }));
    EXPECT_EQ(QApplication::focusWidget(), preview);
}
