#include "storage/views/OrganizerPane.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerTestSupport.h"
#include "storage/views/OrganizerMoveDelegate.h"
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
    QTest::mouseClick(pane.planList()->viewport(), Qt::LeftButton, {}, rect.center());
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
    EXPECT_TRUE(pane.previewGroup()->isHidden());
    EXPECT_TRUE(pane.undoGroup()->isHidden());

    pane.previewButton()->click();
    EXPECT_FALSE(pane.previewButton()->isEnabled()); // planning
    EXPECT_FALSE(pane.previewGroup()->isHidden());
    EXPECT_FALSE(pane.planningPage()->isHidden());
    EXPECT_EQ(pane.planningPage()->line()->text(), "Building a preview…");
    EXPECT_TRUE(pane.planList()->isHidden());
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(pane.planningPage()->isHidden());
    EXPECT_FALSE(pane.previewGroup()->isHidden());
    EXPECT_EQ(pane.planRowCount(), 2);
    EXPECT_EQ(pane.selectedLabel()->text(), "2 selected");
    EXPECT_EQ(pane.leftAloneLabel()->text(), "1 left alone");
    EXPECT_TRUE(pane.applyButton()->isEnabled());

    const QString a = layout.downloadsDir() + "/a.png", b = layout.downloadsDir() + "/b.pdf";
    tick(pane, a);
    EXPECT_FALSE(
        organizer.plan()->moves.at(organizer.plan()->moves.at(0).id == a ? 0 : 1).isEnabled);
    tick(pane, b);
    EXPECT_EQ(pane.selectedLabel()->text(), "0 selected");
    EXPECT_TRUE(pane.statusLabel()->text().startsWith("0 moves · "));
    EXPECT_FALSE(pane.applyButton()->isEnabled());
    tick(pane, a);
    EXPECT_EQ(pane.planRowCount(), 2);

    pane.applyButton()->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(pane.statusLabel()->text(), "Done. Moved 1 items.");
    ASSERT_EQ(pane.undoButtons().size(), 1);
    EXPECT_FALSE(pane.undoGroup()->isHidden());
    pane.undoButtons().first()->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(pane.undoGroup()->isHidden());
}

TEST(OrganizerPane, EmptyPreviewAndRules) {
    const QString home = testsupport::freshDir("pane-empty");
    const HomeLayout layout = layoutFor(home);
    QDir().mkpath(layout.downloadsDir() + "/Folder");
    FolderOrganizer organizer(layout);
    OrganizerPane pane(organizer);
    pane.show();
    pane.previewButton()->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(pane.statusLabel()->text(), "Nothing matched the current rules.");
    EXPECT_FALSE(pane.previewGroup()->isHidden());
    EXPECT_EQ(pane.selectedLabel()->text(), "0 selected");
    EXPECT_EQ(pane.planRowCount(), 0);
    EXPECT_FALSE(pane.applyButton()->isEnabled());
    EXPECT_EQ(pane.leftAloneLabel()->text(), "1 left alone");

    pane.downloadsToggle()->click();
    EXPECT_FALSE(organizer.includeDownloads());
    pane.desktopToggle()->click();
    EXPECT_FALSE(organizer.includeDesktop());
    pane.daysStepper()->setValue(99);
    EXPECT_EQ(organizer.leaveRecentDays(), 60);
    EXPECT_EQ(pane.daysLabel()->text(), "Leave files changed in the last 60 days");
    pane.daysStepper()->setValue(-4);
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
    pane.previewButton()->click();
    ASSERT_TRUE(settled(organizer));
    pane.applyButton()->click();
    EXPECT_EQ(pane.statusLabel()->text(), "Moving 0 of 1…");
    EXPECT_TRUE(pane.statusShowsProgress());
    EXPECT_FALSE(pane.previewButton()->isEnabled());
    EXPECT_FALSE(pane.applyButton()->isEnabled());
    EXPECT_TRUE(pane.downloadsToggle()->isEnabled());
    tick(pane, layout.downloadsDir() + "/a.png"); // ticks stay editable
    EXPECT_FALSE(organizer.plan()->moves.first().isEnabled);
    go.release();
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(pane.previewButton()->isEnabled());
    EXPECT_FALSE(pane.statusShowsProgress());
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
    pane.previewButton()->click();
    ASSERT_TRUE(settled(organizer));
    ASSERT_EQ(pane.planRowCount(), 400);
    QApplication::processEvents();
    EXPECT_EQ(pane.planList()->height(),
              OrganizerPane::visibleRows() * OrganizerMoveDelegate::rowHeight());
    EXPECT_GT(pane.planList()->verticalScrollBar()->maximum(), 0);

    pane.applyButton()->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_EQ(pane.statusLabel()->text(), "Done. Moved 400 items.");
    EXPECT_FALSE(pane.applyButton()->isEnabled());
    tick(pane, layout.downloadsDir() + "/f0.txt"); // a tick does not revive a spent plan
    tick(pane, layout.downloadsDir() + "/f0.txt");
    EXPECT_FALSE(pane.applyButton()->isEnabled());
    ASSERT_EQ(pane.undoButtons().size(), 1);
    QApplication::processEvents();
    QPushButton* undo = pane.undoButtons().first();
    const int undoBottom = undo->mapTo(&pane, QPoint(0, undo->height())).y();
    EXPECT_LT(undoBottom, pane.height());
    EXPECT_TRUE(undo->isVisible());

    undo->click();
    ASSERT_TRUE(settled(organizer));
    pane.previewButton()->click();
    ASSERT_TRUE(settled(organizer));
    EXPECT_TRUE(pane.applyButton()->isEnabled());
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
    pane.previewButton()->click();
    ASSERT_TRUE(settled(organizer));
    ASSERT_EQ(pane.planRowCount(), 3);

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(pane.planList());
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

    pane.applyButton()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), pane.planList());
    ASSERT_EQ(pane.planList()->currentIndex().row(), 0);
    QTest::keyClick(pane.planList(), Qt::Key_Space);
    EXPECT_FALSE(organizer.plan()->moves.at(0).isEnabled);
    EXPECT_FALSE(list->child(0)->state().checked);
    EXPECT_TRUE(list->child(1)->state().checked);
    QTest::keyClick(pane.planList(), Qt::Key_Down);
    QTest::keyClick(pane.planList(), Qt::Key_Space);
    EXPECT_FALSE(organizer.plan()->moves.at(1).isEnabled);
    EXPECT_EQ(pane.selectedLabel()->text(), "1 selected");
}
