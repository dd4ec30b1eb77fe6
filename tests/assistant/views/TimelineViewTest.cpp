// The timeline screen over a real store.
#include "assistant/AssistantTestSupport.h"
#include "assistant/TimelineListModel.h"
#include "assistant/TimelineText.h"
#include "assistant/views/PendrelTimelineView.h"
#include "assistant/views/TimelineDelegate.h"
#include "assistant/views/TimelineRow.h"
#include "support/Find.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKSymbolButton.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace assistanttest;
using Kind = TimelineEntry::Kind;

namespace {

// A timeline file of `count` entries, newest first, every other one with a detail that wraps.
QByteArray fullFile(int count) {
    QJsonArray entries;
    for (int i = 0; i < count; ++i) {
        TimelineEntry e;
        e.id = QUuid::createUuid();
        e.date = 700'000'000.0 - 60 * i;
        e.title = QStringLiteral("answer %1 about the disk").arg(i);
        if (i % 2)
            e.detail = QStringLiteral("a detail long enough to wrap onto a second line in a list");
        entries.append(e.toJson());
    }
    return QJsonDocument(entries).toJson();
}

struct Screen {
    explicit Screen(const char* name, const QByteArray& file = {})
        : timeline(name, file), view(*timeline.store) {
        view.resize(700, 900);
        view.show();
    }
    PendrelTimelineStore& store() { return *timeline.store; }
    void record(const char* title, const char* detail = "", Kind kind = Kind::AskAnswer) {
        timeline.clock->advance(60);
        store().record(kind, QString::fromUtf8(title), QString::fromUtf8(detail));
    }
    // The entries on show, top to bottom, and the list that draws them.
    QKRowList* list() { return Find::part<QKRowList>(view, "timelineRows"); }
    TimelineListModel* model() { return static_cast<TimelineListModel*>(list()->model()); }
    TimelineDelegate* delegate() { return static_cast<TimelineDelegate*>(list()->itemDelegate()); }
    int shown() { return model()->rowCount(); }
    const TimelineEntry& entry(int i) { return model()->rowAt(i); }
    // What the list draws for the row at i.
    TimelineRow* drawn(int i) { return delegate()->stampFor(model()->index(i)); }
    // Clicks the pin of the row at i where the list draws it.
    void clickPin(int i) {
        QCoreApplication::processEvents(); // the list lays its rows out
        const QRect pin = delegate()->actionRect(model()->index(i), QStringLiteral("pinButton"));
        ASSERT_FALSE(pin.isEmpty());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, pin.center());
    }

    Timeline timeline;
    PendrelTimelineView view;
};

} // namespace

TEST(TimelineView, AnEmptyTimelineInvitesAQuestion) {
    Screen s("view-empty");
    EXPECT_TRUE(Find::part<QKEmptyState>(s.view, "timelineEmpty")->isVisible());
    EXPECT_EQ(Find::part<QKEmptyState>(s.view, "timelineEmpty")->title(), "Nothing here yet");
    EXPECT_FALSE(Find::part<QKGroupBox>(s.view, "timelineList")->isVisible());
    EXPECT_FALSE(Find::part<QWidget>(s.view, "timelineFooter")->isVisible());
    EXPECT_FALSE(Find::part<QKSymbolButton>(s.view, "clearSearch")->isVisible());
    EXPECT_TRUE(s.view.findChild<QWidget*>("privacyCard")->isVisible());

    // Blanks are a search: the clear button shows and the empty state says so.
    QTest::keyClicks(Find::part<QLineEdit>(s.view, "timelineSearch"), "  ");
    EXPECT_EQ(s.store().searchText(), "  ");
    EXPECT_TRUE(Find::part<QKSymbolButton>(s.view, "clearSearch")->isVisible());
    EXPECT_EQ(Find::part<QKEmptyState>(s.view, "timelineEmpty")->title(), "No matches");
    QTest::mouseClick(Find::part<QKSymbolButton>(s.view, "clearSearch"), Qt::LeftButton);
    EXPECT_EQ(s.store().searchText(), "");
    EXPECT_EQ(Find::part<QLineEdit>(s.view, "timelineSearch")->text(), "");
    EXPECT_EQ(Find::part<QKEmptyState>(s.view, "timelineEmpty")->title(), "Nothing here yet");
}

TEST(TimelineView, SearchFooterAndClearingUnpinned) {
    Screen s("view-search");
    for (const char* t : {"disk full", "mac hot", "battery", "disk map", "fans"})
        s.record(t);
    for (int i = 0; i < 5; ++i)
        if (s.store().entries()[i].title != "disk full")
            s.store().togglePin(s.store().entries()[i].id);

    s.store().setSearchText("disk");
    ASSERT_EQ(s.shown(), 2);
    EXPECT_EQ(s.entry(0).title, "disk map") << "newest first";
    EXPECT_FALSE(Find::part<QWidget>(s.drawn(0), "entryDivider")->isHidden());
    EXPECT_TRUE(Find::part<QWidget>(s.drawn(1), "entryDivider")->isHidden())
        << "no divider under the last row";
    EXPECT_TRUE(Find::part<QWidget>(s.view, "timelineFooter")->isVisible());
    EXPECT_EQ(Find::part<QLabel>(s.view, "entryCount")->text(), "5 entries on this Mac")
        << "all entries count";

    s.store().setSearchText("map");
    QTest::mouseClick(Find::part<QPushButton>(s.view, "clearUnpinned"), Qt::LeftButton);
    EXPECT_EQ(s.store().entries().size(), 4) << "the hidden unpinned entry goes too";
    EXPECT_FALSE(Find::part<QWidget>(s.view, "timelineFooter")->isVisible())
        << "every entry is pinned now";
    ASSERT_EQ(s.shown(), 1);
    EXPECT_TRUE(Find::part<QWidget>(s.drawn(0), "entryDivider")->isHidden());

    s.store().setSearchText("kubernetes");
    EXPECT_TRUE(Find::part<QKEmptyState>(s.view, "timelineEmpty")->isVisible());
    EXPECT_EQ(Find::part<QKEmptyState>(s.view, "timelineEmpty")->title(), "No matches");
    EXPECT_FALSE(Find::part<QWidget>(s.view, "timelineFooter")->isVisible());
}

TEST(TimelineView, PinningChangesTheRowInFourPlaces) {
    Screen s("view-pin");
    s.record("why is my mac hot", "CPU at 91%");
    ASSERT_EQ(s.shown(), 1);
    TimelineRow* row = s.drawn(0);
    EXPECT_TRUE(Find::part<QWidget>(row, "entryPinned")->isHidden());
    EXPECT_EQ(Find::part<QKSymbolButton>(row, "pinButton")->toolTip(), "Pin for Explain My Mac");
    EXPECT_EQ(Find::part<QKSymbolButton>(row, "pinButton")->symbol(), "pin");

    QSignalSpy resets(s.model(), &QAbstractItemModel::modelReset);
    s.clickPin(0);
    ASSERT_TRUE(s.store().entries().first().pinned);
    EXPECT_EQ(resets.count(), 0) << "the row is updated in place, not rebuilt";
    row = s.drawn(0);
    EXPECT_FALSE(Find::part<QWidget>(row, "entryPinned")->isHidden());
    EXPECT_EQ(Find::part<QKSymbolButton>(row, "pinButton")->toolTip(), "Unpin");
    EXPECT_EQ(Find::part<QKSymbolButton>(row, "pinButton")->symbol(), "pin.fill");
    EXPECT_EQ(Find::part<QKSymbolButton>(row, "pinButton")->tone(), QKForeground::Tint);
    EXPECT_TRUE(Find::part<QLabel>(row, "entryMeta")
                    ->text()
                    .startsWith(QString::fromUtf8("Explain My Mac · ")));

    s.clickPin(0);
    EXPECT_FALSE(s.store().entries().first().pinned);
    EXPECT_TRUE(Find::part<QWidget>(s.drawn(0), "entryPinned")->isHidden());
    EXPECT_EQ(Find::part<QKSymbolButton>(s.drawn(0), "pinButton")->toolTip(),
              "Pin for Explain My Mac");
}

// A full timeline: the rows are drawn, not made, so a search keystroke creates, moves or hides
// no widget, and the list publishes one reset for it and takes the height of the matches.
TEST(TimelineView, ASearchKeystrokeTouchesNoWidgetPerRow) {
    Screen s("view-many", fullFile(PendrelTimelineStore::kCapacity));
    ASSERT_EQ(s.shown(), PendrelTimelineStore::kCapacity);
    // The rows are laid out a batch per turn of the event loop.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !s.list()->visualRect(s.model()->index(s.shown() - 1)).isEmpty(); }));
    QCoreApplication::processEvents();
    const qsizetype widgets = s.view.findChildren<QWidget*>().size();
    EXPECT_LT(widgets, 100) << "no widget per entry";
    const int full = s.list()->height();
    EXPECT_GT(full, PendrelTimelineStore::kCapacity * 20) << "the list is as tall as its rows";

    QSignalSpy resets(s.model(), &QAbstractItemModel::modelReset);
    QTest::keyClicks(Find::part<QLineEdit>(s.view, "timelineSearch"), "7");
    QCoreApplication::processEvents();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(s.view.findChildren<QWidget*>().size(), widgets);
    const int matches = s.shown();
    EXPECT_GT(matches, 0);
    EXPECT_LT(matches, PendrelTimelineStore::kCapacity);
    EXPECT_LT(s.list()->height(), full);
    EXPECT_EQ(s.list()->height(), s.list()->contentHeight());
}

// The ages tick on the rows on screen only, a row at a time, and measure no row: a full timeline
// left open costs what its rows on screen cost.
TEST(TimelineView, AgesMoveOnOnlyOnTheRowsOnScreen) {
    Screen s("view-ages", fullFile(PendrelTimelineStore::kCapacity));
    // The rows out of sight are measured after the list first shows.
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.list()->allRowsMeasured(); }));
    QCoreApplication::processEvents();
    // Rows a minute apart, each "N minutes ago" or "H hours, N minutes ago": a minute moves all.
    const QDateTime now = s.entry(0).dateTime().addSecs(30);
    s.view.refreshAges(now);
    const QRect seen = s.list()->viewport()->visibleRegion().boundingRect();
    ASSERT_FALSE(seen.isEmpty());
    int lastSeen = 0;
    while (s.list()->visualRect(s.model()->index(lastSeen + 1)).top() <= seen.bottom())
        ++lastSeen;
    ASSERT_GT(lastSeen, 0);
    ASSERT_LT(lastSeen, 40) << "the page shows a screen of the rows";

    QSignalSpy changes(s.model(), &QAbstractItemModel::dataChanged);
    const int measured = s.delegate()->rowsMeasured();
    s.view.refreshAges(now.addSecs(60));
    EXPECT_EQ(changes.count(), lastSeen + 1) << "each row on screen, none beyond";
    for (const QList<QVariant>& change : changes) {
        const int row = change.at(0).toModelIndex().row();
        EXPECT_EQ(change.at(1).toModelIndex().row(), row) << "one row a change";
        EXPECT_LE(row, lastSeen);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(s.delegate()->rowsMeasured(), measured) << "an age changes no row's height";
    changes.clear();
    s.view.refreshAges(now.addSecs(61));
    EXPECT_EQ(changes.count(), 0) << "a second that changes no words marks no row";
    EXPECT_TRUE(s.drawn(200)
                    ->findChild<QLabel*>("entryMeta")
                    ->text()
                    .endsWith(TimelineText::relativeDate(s.entry(200).dateTime(), now.addSecs(60))))
        << "a row out of sight reads its age as it is drawn";
}

// What assistive technology reads for a row, and the pin by keyboard: arrows move, Space pins the
// current row and the current row stays.
TEST(TimelineView, RowsReachAssistiveTechnologyAndPinByKeyboard) {
    Screen s("view-a11y");
    s.record("disk full", "Downloads holds 40 GB");
    s.record("mac hot", "", Kind::Automation);
    EXPECT_EQ(Find::part<QKSymbol>(s.drawn(0), "entryKind")->symbol(),
              TimelineText::symbol(Kind::Automation))
        << "one stamp draws every kind";
    EXPECT_EQ(Find::part<QKSymbol>(s.drawn(1), "entryKind")->symbol(),
              TimelineText::symbol(Kind::AskAnswer));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(s.list());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), "Timeline");
    ASSERT_EQ(list->childCount(), 2);
    QAccessibleInterface* second = list->child(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text(QAccessible::Name), "disk full");
    EXPECT_TRUE(second->text(QAccessible::Description).startsWith("Downloads holds 40 GB\n"));
    EXPECT_TRUE(
        second->text(QAccessible::Description).contains(QString::fromUtf8("Explain My Mac · ")));
    EXPECT_TRUE(second->state().checkable);
    EXPECT_FALSE(second->state().checked);

    s.list()->setFocus(Qt::TabFocusReason);
    s.list()->setCurrentIndex(s.model()->index(0));
    QTest::keyClick(s.list(), Qt::Key_Down);
    QTest::keyClick(s.list(), Qt::Key_Space);
    EXPECT_FALSE(s.store().entries().at(0).pinned);
    EXPECT_TRUE(s.store().entries().at(1).pinned) << "the second row, the current one";
    EXPECT_EQ(s.list()->currentIndex().row(), 1);
    EXPECT_TRUE(list->child(1)->state().checked);
    QTest::keyClick(s.list(), Qt::Key_Return);
    EXPECT_FALSE(s.store().entries().at(1).pinned);
}

// The pin drawn on a row is an action of the row, named as the button is, for a user who cannot
// click it; it names what it will do next.
TEST(TimelineView, ARowsPinIsANamedActionOfTheRow) {
    Screen s("view-a11y-pin");
    s.record("disk full", "Downloads holds 40 GB");
    s.record("mac hot", "");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(s.list());
    ASSERT_NE(list, nullptr);
    QAccessibleInterface* row = list->child(1);
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->actionInterface(), nullptr);
    const QString pin = TimelineText::pinTooltip(false);
    ASSERT_TRUE(row->actionInterface()->actionNames().contains(pin))
        << row->actionInterface()->actionNames().join(", ").toStdString();

    row->actionInterface()->doAction(pin);
    EXPECT_TRUE(s.store().entries().at(1).pinned);
    EXPECT_FALSE(s.store().entries().at(0).pinned);
    EXPECT_TRUE(row->state().checked);
    EXPECT_TRUE(row->actionInterface()->actionNames().contains(TimelineText::pinTooltip(true)));
    row->actionInterface()->doAction(TimelineText::pinTooltip(true));
    EXPECT_FALSE(s.store().entries().at(1).pinned);
}

// Built, the screen lays none of its parts out until it is shown at its size: their texts would be
// measured at a width the screen never has. Shown, the list of a timeline with entries is there.
TEST(TimelineView, TheScreenLaysNothingOutUntilItIsShown) {
    Timeline timeline("view-unshown", fullFile(40));
    PendrelTimelineView view(*timeline.store);
    auto* list = Find::part<QKGroupBox>(view, "timelineList");
    ASSERT_TRUE(list->layout());
    EXPECT_TRUE(list->layout()->geometry().isEmpty());

    view.resize(700, 900);
    view.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->layout()->geometry().isEmpty());
    EXPECT_FALSE(Find::part<QKEmptyState>(view, "timelineEmpty")->isVisible());
}
