// The timeline screen over a real store.
#include "assistant/AssistantTestSupport.h"
#include "assistant/views/PendrelTimelineView.h"
#include "assistant/views/TimelineRow.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKSymbolButton.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace assistanttest;
using Kind = TimelineEntry::Kind;

namespace {

struct Screen {
    explicit Screen(const char* name) : timeline(name), view(*timeline.store) {
        view.resize(700, 900);
        view.show();
    }
    PendrelTimelineStore& store() { return *timeline.store; }
    void record(const char* title, const char* detail = "", Kind kind = Kind::AskAnswer) {
        timeline.clock->advance(60);
        store().record(kind, QString::fromUtf8(title), QString::fromUtf8(detail));
    }
    TimelineRow* row(int i) { return view.visibleRows().value(i); }

    Timeline timeline;
    PendrelTimelineView view;
};

} // namespace

TEST(TimelineView, AnEmptyTimelineInvitesAQuestion) {
    Screen s("view-empty");
    EXPECT_TRUE(s.view.emptyState()->isVisible());
    EXPECT_EQ(s.view.emptyState()->title(), "Nothing here yet");
    EXPECT_FALSE(s.view.listBox()->isVisible());
    EXPECT_FALSE(s.view.footer()->isVisible());
    EXPECT_FALSE(s.view.clearSearchButton()->isVisible());
    EXPECT_TRUE(s.view.findChild<QWidget*>("privacyCard")->isVisible());

    // Blanks are a search: the clear button shows and the empty state says so.
    QTest::keyClicks(s.view.searchField(), "  ");
    EXPECT_EQ(s.store().searchText(), "  ");
    EXPECT_TRUE(s.view.clearSearchButton()->isVisible());
    EXPECT_EQ(s.view.emptyState()->title(), "No matches");
    QTest::mouseClick(s.view.clearSearchButton(), Qt::LeftButton);
    EXPECT_EQ(s.store().searchText(), "");
    EXPECT_EQ(s.view.searchField()->text(), "");
    EXPECT_EQ(s.view.emptyState()->title(), "Nothing here yet");
}

TEST(TimelineView, SearchFooterAndClearingUnpinned) {
    Screen s("view-search");
    for (const char* t : {"disk full", "mac hot", "battery", "disk map", "fans"})
        s.record(t);
    for (int i = 0; i < 5; ++i)
        if (s.store().entries()[i].title != "disk full")
            s.store().togglePin(s.store().entries()[i].id);

    s.store().setSearchText("disk");
    ASSERT_EQ(s.view.visibleRows().size(), 2);
    EXPECT_EQ(s.row(0)->entry().title, "disk map") << "newest first";
    EXPECT_TRUE(s.row(0)->dividerVisible());
    EXPECT_FALSE(s.row(1)->dividerVisible()) << "no divider under the last row";
    EXPECT_TRUE(s.view.footer()->isVisible());
    EXPECT_EQ(s.view.countLabel()->text(), "5 entries on this Mac") << "all entries count";

    s.store().setSearchText("map");
    QTest::mouseClick(s.view.clearUnpinnedButton(), Qt::LeftButton);
    EXPECT_EQ(s.store().entries().size(), 4) << "the hidden unpinned entry goes too";
    EXPECT_FALSE(s.view.footer()->isVisible()) << "every entry is pinned now";
    ASSERT_EQ(s.view.visibleRows().size(), 1);
    EXPECT_FALSE(s.row(0)->dividerVisible());

    s.store().setSearchText("kubernetes");
    EXPECT_TRUE(s.view.emptyState()->isVisible());
    EXPECT_EQ(s.view.emptyState()->title(), "No matches");
    EXPECT_FALSE(s.view.footer()->isVisible());
}

TEST(TimelineView, PinningChangesTheRowInFourPlaces) {
    Screen s("view-pin");
    s.record("why is my mac hot", "CPU at 91%");
    TimelineRow* row = s.row(0);
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->pinnedBadge()->isVisible());
    EXPECT_EQ(row->pinButton()->toolTip(), "Pin for Explain My Mac");
    EXPECT_EQ(row->pinButton()->symbol(), "pin");

    QTest::mouseClick(row->pinButton(), Qt::LeftButton);
    ASSERT_TRUE(s.store().entries().first().pinned);
    EXPECT_EQ(s.row(0), row) << "the row is kept, not rebuilt";
    EXPECT_TRUE(row->pinnedBadge()->isVisible());
    EXPECT_EQ(row->pinButton()->toolTip(), "Unpin");
    EXPECT_EQ(row->pinButton()->symbol(), "pin.fill");
    EXPECT_EQ(row->pinButton()->tone(), QKForeground::Tint);
    EXPECT_TRUE(row->metaLabel()->text().startsWith(QString::fromUtf8("Explain My Mac · ")));

    QTest::mouseClick(row->pinButton(), Qt::LeftButton);
    EXPECT_FALSE(s.store().entries().first().pinned);
    EXPECT_FALSE(row->pinnedBadge()->isVisible());
    EXPECT_EQ(row->pinButton()->toolTip(), "Pin for Explain My Mac");
}
