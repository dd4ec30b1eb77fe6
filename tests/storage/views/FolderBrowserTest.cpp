// The folder list of Browse Storage: its trail, failures, the selection, the keys, the size
// bars and the row spinners.
#include "storage/views/FoldersViewTestSupport.h"

#include <gtest/gtest.h>

using namespace foldersviewtest;

TEST(FolderBrowser, TrailButtonsAndWhatClearsTheSelection) {
    auto hold = std::make_shared<std::atomic_bool>(false);
    FolderTree::Deps tools;
    tools.measure = [hold](const QString& folder, const CancelToken& cancel) {
        while (hold->load())
            QThread::msleep(1);
        return FolderTree::measureFolder(folder, cancel);
    };
    Screen s(makeHome(), tools);
    s.view.show();
    ASSERT_TRUE(s.settled());
    FolderBrowserView& b = s.browser();
    // The symbol-only buttons are named for assistive technology by what their tooltips say.
    EXPECT_EQ(s.back()->accessibleName(), "Back up one folder");
    EXPECT_NE(testsupport::findAccessible(&b, "Measure this folder again"), nullptr);
    EXPECT_TRUE(testsupport::accessibilityProblems(&b).isEmpty())
        << testsupport::accessibilityProblems(&b).join('\n').toStdString();
    EXPECT_FALSE(s.back()->isEnabled());
    EXPECT_FALSE(s.home()->isEnabled());
    EXPECT_TRUE(s.trail().isEmpty());
    EXPECT_EQ(s.status(), "4 items");

    // Double click: a folder is entered, a package revealed.
    b.activate(s.entry("Player.app"));
    EXPECT_EQ(s.revealer.revealed.size(), 1);
    // A refused reveal from the list points at the entry's row.
    s.revealer.refuses = true;
    b.reveal(s.entry("Player.app"));
    s.revealer.refuses = false;
    ASSERT_TRUE(QKTransientNote::shownIn(&s.view));
    EXPECT_EQ(QKTransientNote::shownIn(&s.view)->anchor(), b.list()->viewport());
    EXPECT_TRUE(s.tree.trail().isEmpty());
    EXPECT_EQ(b.menuActions(s.entry("Player.app")), QStringList({"Show in File Manager"}));
    EXPECT_EQ(b.menuActions(s.entry("Work")),
              QStringList({"Open in Pendrel", "Show in File Manager"}));
    s.select("Work");
    b.activate(s.entry("Work"));
    EXPECT_FALSE(s.state.folderSelection());
    ASSERT_TRUE(s.settled());
    b.activate(s.entry("Clients"));
    ASSERT_TRUE(s.settled());
    ASSERT_EQ(s.trail().size(), 2);
    EXPECT_TRUE(s.trail().at(0)->isEnabled());
    EXPECT_FALSE(s.trail().at(1)->isEnabled());
    EXPECT_TRUE(s.back()->isEnabled());
    EXPECT_EQ(s.status(), "1 item");

    s.trail().at(0)->click();
    EXPECT_EQ(s.tree.trail().size(), 1);
    ASSERT_TRUE(s.settled());

    // Measuring again forgets every size: each folder is measured anew, files keep theirs.
    s.select("notes.txt");
    *hold = true;
    b.remeasure();
    EXPECT_FALSE(s.state.folderSelection());
    ASSERT_TRUE(testsupport::waitFor([&] { return !s.tree.isListing(); }));
    EXPECT_EQ(s.status(), "Measuring 1 folder…");
    EXPECT_EQ(s.total(), "4 KB");
    *hold = false;
    ASSERT_TRUE(s.settled());
    // notes.txt and Clients, its file and its own blocks.
    EXPECT_EQ(s.total(), formatBytes(4096 + duOf(s.tree.home() + "/Work/Clients").bytes));

    s.select("notes.txt");
    b.goBack();
    EXPECT_FALSE(s.state.folderSelection());
    ASSERT_TRUE(s.settled());
    EXPECT_FALSE(s.home()->isEnabled());
}

TEST(FolderBrowser, AFailureShowsItsPanelAndTryAgainKeepsTheSelection) {
    const QString home = makeHome();
    auto refuse = std::make_shared<std::atomic_bool>(true);
    FolderTree::Deps tools;
    tools.list = [refuse](const QString& folder) -> FolderTree::Listing {
        if (refuse->load())
            return std::nullopt;
        return FolderTree::listFolder(folder);
    };
    Screen s(home, tools);
    s.view.show();
    ASSERT_TRUE(s.settled());
    FolderBrowserView& b = s.browser();
    EXPECT_TRUE(Find::showing(b, "folderBrowserFailed"));
    EXPECT_EQ(Find::part<QKEmptyState>(b, "folderBrowserFailed")->message(),
              FolderTree::unreadableText());
    s.state.setFolderSelection(home + "/todo.txt");
    *refuse = false;
    b.tryAgain();
    EXPECT_TRUE(Find::showing(b, "folderBrowserOpening"));
    ASSERT_TRUE(s.settled());
    EXPECT_EQ(s.state.folderSelection(), home + "/todo.txt");
    EXPECT_EQ(b.list()->currentIndex().data(Qt::DisplayRole).toString(), "todo.txt");
    EXPECT_TRUE(Find::showing(b, "folderBrowserList"));

    s.tree.enter(s.entry("Empty"));
    ASSERT_TRUE(s.settled());
    EXPECT_TRUE(Find::showing(b, "folderBrowserEmpty"));
    EXPECT_EQ(s.status(), "0 items");
}

// Only the user's own clicks and keys choose a row: the list taking the focus, or being filled
// anew, picks nothing, however Qt moves its current index.
TEST(FolderBrowser, TheSelectionFollowsTheUserOnly) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    FolderBrowserView& b = s.browser();
    QListView* list = b.list();
    list->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.state.folderSelection());

    const auto settledWithNothingSelected = [&](const char* after) {
        ASSERT_TRUE(s.settled()) << after;
        list->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_FALSE(s.state.folderSelection()) << after;
        EXPECT_FALSE(list->selectionModel()->hasSelection()) << after;
    };

    // A click selects; entering a folder, going back, home, along the trail and measuring
    // again leave nothing selected once the new list is in.
    const QModelIndex work = s.tree.model()->index(s.tree.model()->rowOf(s.entry("Work").id));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(work).center());
    EXPECT_EQ(s.state.folderSelection(), s.entry("Work").id);
    b.activate(s.entry("Work"));
    settledWithNothingSelected("entering");
    b.goBack();
    settledWithNothingSelected("back");
    b.activate(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    b.activate(s.entry("Clients"));
    ASSERT_TRUE(s.settled());
    s.trail().at(0)->click();
    settledWithNothingSelected("trail");
    b.remeasure();
    settledWithNothingSelected("re-measure");
    s.home()->click();
    settledWithNothingSelected("home");

    // Keys move the selection like clicks (down, then up: one of them moves, wherever Qt left its
    // current row).
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(s.state.folderSelection());
}

TEST(FolderBrowser, TheKeysRingTheCurrentRowAndReturnAndSpaceActOnIt) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    FolderBrowserView& b = s.browser();
    QListView* list = b.list();
    const QModelIndex work = s.tree.model()->index(s.tree.model()->rowOf(s.entry("Work").id));
    const auto rows = [&] {
        QCoreApplication::processEvents();
        return list->viewport()->grab().toImage();
    };

    // A click selects and focuses without a ring; the same focus by keyboard rings the row.
    s.view.setAttribute(Qt::WA_KeyboardFocusChange, false);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(work).center());
    ASSERT_TRUE(list->hasFocus());
    ASSERT_EQ(list->currentIndex(), work);
    const QImage clicked = rows();
    s.view.setAttribute(Qt::WA_KeyboardFocusChange);
    list->viewport()->update();
    EXPECT_NE(rows(), clicked) << "the current row shows no keyboard focus";
    list->clearFocus();
    EXPECT_EQ(rows(), clicked) << "without the focus the row looks as a click left it";
    list->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();

    // Space clears the selection and keeps the row the keys are on; again, it selects it.
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_FALSE(s.state.folderSelection());
    EXPECT_EQ(list->currentIndex(), work);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(s.state.folderSelection(), s.entry("Work").id);

    // Return does what a double click does: a folder is entered, a file revealed.
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(s.settled());
    EXPECT_EQ(s.tree.trail().size(), 1);
    EXPECT_FALSE(s.state.folderSelection());
    const QModelIndex notes = s.tree.model()->index(s.tree.model()->rowOf(s.entry("notes.txt").id));
    list->setCurrentIndex(notes);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(s.revealer.revealed.size(), 1);
    EXPECT_TRUE(s.revealer.revealed.constFirst().endsWith(QStringLiteral("/Work/notes.txt")));
    EXPECT_EQ(s.tree.trail().size(), 1);
}

TEST(FolderRow, BarsFollowTheLargestMeasuredSibling) {
    Screen s(makeHome());
    s.view.show();
    ASSERT_TRUE(s.settled());
    auto* delegate = static_cast<FolderRowDelegate*>(s.browser().list()->itemDelegate());
    EXPECT_EQ(delegate->largest(), s.tree.largestEntrySize());
    const QRect row(0, 0, 600, 40);
    const QModelIndex top = s.tree.model()->index(0);
    EXPECT_DOUBLE_EQ(delegate->barRect(row, top).width(), 70);
    const QModelIndex last = s.tree.model()->index(s.tree.model()->rowCount() - 1);
    EXPECT_GE(delegate->barRect(row, last).width(), 2);
    // The tooltip gives the whole name, which the row may cut, before the hint.
    EXPECT_EQ(last.data(Qt::ToolTipRole).toString(),
              s.tree.entries().last().name + "\n" +
                  FolderBrowserText::rowHelp(s.tree.entries().last()));

    // Assistive technology reads each row's figures, not its name alone: the largest row's bar
    // is the whole track.
    QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(s.browser().list());
    ASSERT_TRUE(rows);
    QAccessibleInterface* first = nullptr;
    for (int i = 0; i < rows->childCount() && !first; ++i) {
        QAccessibleInterface* cell = rows->child(i);
        if (cell && cell->text(QAccessible::Name) == s.tree.entries().first().name)
            first = cell;
    }
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->text(QAccessible::Description)
                    .startsWith(formatBytes(*s.tree.entries().first().sizeBytes) +
                                ", 100% of the largest here"))
        << first->text(QAccessible::Description).toStdString();
}

// The rows' spinners turn with the kit's turn: only while sizes are due, and never where busy
// indicators stand still (offscreen renders, whose pictures must not depend on when they were
// taken). Making the screen loads the file-type database on the pool, for the first icons.
TEST(FolderBrowser, RowSpinnersTurnOnlyWhileMeasuringAndAnimated) {
    auto hold = std::make_shared<std::atomic_bool>(true);
    FolderTree::Deps tools;
    tools.measure = [hold](const QString& folder, const CancelToken& cancel) {
        while (hold->load() && !cancel.isCancelled())
            QThread::msleep(1);
        return FolderTree::measureFolder(folder, cancel);
    };
    for (const bool animated : {true, false}) {
        SCOPED_TRACE(animated ? "animated" : "standing still");
        QKSpinner::setAnimated(animated);
        hold->store(true);
        Screen s(makeHome(), tools);
        s.view.show();
        ASSERT_TRUE(testsupport::waitFor([&] { return s.tree.measuringCount() >= 1; }, 20'000));
        EXPECT_EQ(s.browser().rowsTurning(), animated);
        hold->store(false);
        ASSERT_TRUE(s.settled());
        EXPECT_FALSE(s.browser().rowsTurning());
        QThreadPool::globalInstance()->waitForDone();
        EXPECT_TRUE(FolderIcons::isWarm());
    }
    QKSpinner::setAnimated(true);
}
