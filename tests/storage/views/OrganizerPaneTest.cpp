#include "storage/views/OrganizerPane.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerTestSupport.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
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
    EXPECT_EQ(pane.statusLabel()->text(), "Building a preview…");
    ASSERT_TRUE(settled(organizer));
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
