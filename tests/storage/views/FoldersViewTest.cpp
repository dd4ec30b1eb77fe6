// Browse Storage as a whole: what it lists first, the detail that follows the selection, the
// state it keeps, and how a reader hears its list and trail.
#include "storage/views/FoldersViewTestSupport.h"

#include <gtest/gtest.h>

using namespace foldersviewtest;

TEST(FoldersView, FirstShowListsHomeAndAReturnLeavesTheTreeWhereItWas) {
    Screen s(makeHome());
    EXPECT_TRUE(Find::showing(s.view, "foldersBrowse"));
    s.view.show();
    EXPECT_TRUE(s.tree.isListing());
    const quint64 generation = s.tree.generation();
    s.view.hide();
    s.view.show(); // a listing under way is not started again
    EXPECT_EQ(s.tree.generation(), generation);
    ASSERT_TRUE(s.settled());
    EXPECT_EQ(s.tree.entries().size(), 4);

    s.tree.enter(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    s.view.hide();
    s.view.show();
    EXPECT_EQ(s.tree.trail().size(), 1);
    EXPECT_EQ(s.tree.entries().size(), 2);
}

TEST(FoldersView, TheDetailFollowsTheSelectionByIdAndHidesWhatDoesNotApply) {
    Screen s(makeHome());
    s.view.show();
    ASSERT_TRUE(s.settled());
    EXPECT_FALSE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
    EXPECT_TRUE(Find::part<QWidget>(s.view, "foldersEntry")->isHidden());

    s.select("Work");
    EXPECT_TRUE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
    EXPECT_EQ(Find::part<QKClampedText>(s.view, "foldersDetailName")->text(), "Work");
    EXPECT_EQ(Find::part<QLabel>(s.view, "foldersDetailFiles")->text(),
              FolderBrowserText::filesInside(2));
    EXPECT_FALSE(Find::part<QPushButton>(s.view, "foldersLookInside")->isHidden());
    EXPECT_TRUE(Find::part<QWidget>(s.view, "foldersCategory")
                    ->isHidden()); // "Work" is of no known category
    EXPECT_TRUE(Find::part<QKIconLabel>(s.view, "foldersCloud")->isHidden());
    EXPECT_TRUE(
        Find::part<QLabel>(s.view, "foldersDetailModified")->text().startsWith("Last changed "));

    // A package counts its files but cannot be looked into; a plain file shows neither.
    s.select("Player.app");
    EXPECT_EQ(Find::part<QLabel>(s.view, "foldersDetailFiles")->text(), "1 file inside");
    EXPECT_TRUE(Find::part<QPushButton>(s.view, "foldersLookInside")->isHidden());
    s.select("todo.txt");
    EXPECT_TRUE(Find::part<QLabel>(s.view, "foldersDetailFiles")->isHidden());
    EXPECT_TRUE(Find::part<QPushButton>(s.view, "foldersLookInside")->isHidden());
    s.view.revealSelection();
    EXPECT_EQ(s.revealer.revealed, QStringList({s.entry("todo.txt").path}));
    EXPECT_EQ(QKTransientNote::shownIn(&s.view), nullptr);
    s.revealer.refuses = true;
    s.view.revealSelection();
    ASSERT_TRUE(QKTransientNote::shownIn(&s.view));
    EXPECT_EQ(QKTransientNote::shownIn(&s.view)->anchor(),
              Find::part<QPushButton>(s.view, "foldersReveal"));

    // "Look inside" goes down a level and back to the prompt; a stale id shows the prompt too.
    s.select("Work");
    s.view.lookInside();
    EXPECT_FALSE(s.state.folderSelection());
    EXPECT_FALSE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
    ASSERT_TRUE(s.settled());
    s.state.setFolderSelection(s.tree.home() + "/todo.txt");
    EXPECT_FALSE(s.view.selectedEntry());
    EXPECT_FALSE(Find::part<QWidget>(s.view, "foldersPrompt")->isHidden());
}

TEST(FoldersView, LegendSplitterAndModesLiveInScreenState) {
    Screen s(makeHome());
    s.view.show();
    QStringList legend;
    for (const QLabel* label : Find::parts<QLabel>(s.view, "foldersLegendLabel"))
        legend << label->text();
    EXPECT_EQ(legend, QStringList({"Client work", "Personal", "Photos and video",
                                   "Downloads and limbo", "Code", "Admin and finance"}));
    EXPECT_EQ(Find::part<QWidget>(s.view, "foldersDetail")->width(), 260);
    EXPECT_GE(Find::part<FolderBrowserView>(s.view, "folderBrowser")->minimumWidth(), 380);
    Find::part<DraggableDivider>(s.view, "foldersDivider")
        ->setPaneWidth(DraggableDivider::draggedWidth(260, -1000, 200, 460, true));
    EXPECT_EQ(s.state.folderSidebarWidth(), 460);
    EXPECT_EQ(Find::part<QWidget>(s.view, "foldersDetail")->width(), 460);
    s.state.setFolderSidebarWidth(220);
    EXPECT_EQ(Find::part<QWidget>(s.view, "foldersDetail")->width(), 220);

    EXPECT_EQ(s.biggestMade, 0);
    emit Find::part<SegmentedControl>(s.view, "foldersMode")->activated(1);
    EXPECT_EQ(s.state.folderMode(), FoldersMode::Biggest);
    EXPECT_TRUE(Find::showing(s.view, "biggestStandIn"));
    s.state.setFolderMode(FoldersMode::Browse);
    s.state.setFolderMode(FoldersMode::Biggest);
    EXPECT_EQ(s.biggestMade, 1);
    EXPECT_EQ(Find::part<SegmentedControl>(s.view, "foldersMode")->currentIndex(), 1);
}

TEST(FoldersView, AReaderHearsTheListByNameAndScrollViewsAreNoExtraTabStops) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    s.select("Work");
    EXPECT_EQ(storagetest::accessibleNameOf(s.browser().list()), "Items in this folder");
    EXPECT_EQ(storagetest::scrollStopProblems(&s.view), QStringList());

    // The detail column says what it shows, and Tab goes from the divider before it straight to
    // its first button, never to the column or its viewport.
    auto* detail = Find::part<QScrollArea>(s.view, "foldersDetail");
    EXPECT_EQ(storagetest::accessibleNameOf(detail), "Item details");
    EXPECT_EQ(detail->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(detail->viewport()->focusPolicy(), Qt::NoFocus);
    auto* divider = Find::part<QWidget>(s.view, "foldersDivider");
    divider->setFocus(Qt::TabFocusReason);
    QTest::keyClick(divider, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Find::part<QWidget>(s.view, "foldersLookInside"));
}

TEST(FolderBrowser, TheTrailIsNamedForAReaderAndTabGoesStraightToItsButtons) {
    Screen s(makeHome());
    ASSERT_TRUE(s.shownActive());
    s.tree.enter(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    ASSERT_EQ(s.trail().size(), 1);

    auto* path = Find::part<QScrollArea>(s.browser(), "folderBrowserPath");
    EXPECT_EQ(storagetest::accessibleNameOf(path), "Path to this folder");
    EXPECT_EQ(testsupport::scrollAreaProblems(&s.browser()), QStringList());

    // From Back, Tab lands on Home, never on the area around the trail.
    s.back()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(s.back(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), s.home());
}
