// The timeline screen's list model over a real store.
#include "assistant/TimelineListModel.h"
#include "assistant/AssistantTestSupport.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>

using namespace assistanttest;
using Kind = TimelineEntry::Kind;

namespace {

QString titleAt(const TimelineListModel& model, int row) {
    return model.index(row).data().toString();
}

} // namespace

// A new search replaces the rows in one reset; a pin keeps them and changes one row in place, so
// a view's current row stays; an id that a file repeats shows once.
TEST(TimelineListModel, FollowsTheStoreInResetsAndInPlaceChanges) {
    TimelineEntry twice;
    twice.id = QUuid::createUuid();
    twice.date = 700'000'000;
    twice.title = "disk twice";
    TimelineEntry other = twice;
    other.date -= 60;
    QJsonArray file{twice.toJson(), other.toJson()};
    Timeline timeline("list-model", QJsonDocument(file).toJson());
    PendrelTimelineStore& store = *timeline.store;
    timeline.clock->advance(60);
    store.record(Kind::AskAnswer, "mac hot", "CPU at 91%");
    timeline.clock->advance(60);
    store.record(Kind::Automation, "disk cleanup", "");

    TimelineListModel model(store);
    ASSERT_EQ(model.rowCount(), 3) << "the repeated id shows once";
    EXPECT_EQ(titleAt(model, 0), "disk cleanup") << "newest first";
    EXPECT_EQ(titleAt(model, 2), "disk twice");

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    store.setSearchText("disk");
    EXPECT_EQ(resets.count(), 1);
    ASSERT_EQ(model.rowCount(), 2);

    QPersistentModelIndex second(model.index(1));
    store.togglePin(model.rows().at(1).id);
    EXPECT_EQ(resets.count(), 1) << "a pin is no new list";
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.first().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(second.row(), 1);
    EXPECT_EQ(second.data(Qt::CheckStateRole).toInt(), Qt::Checked);

    store.setSearchText("disk"); // the same text: nothing
    store.setSearchText("DISK ");
    EXPECT_EQ(resets.count(), 1) << "the same matches in the same order are no new list";
}

// Moving now on reports only the rows whose "… ago" changed, with the roles that say it.
TEST(TimelineListModel, MovingNowOnRepaintsOnlyTheAgesThatChanged) {
    Timeline timeline("list-model-now");
    PendrelTimelineStore& store = *timeline.store;
    store.record(Kind::AskAnswer, "older", "");
    timeline.clock->advance(2 * 86400);
    store.record(Kind::AskAnswer, "newer", "");

    TimelineListModel model(store);
    const QDateTime recorded = timeline.clock->now();
    model.setNow(recorded.addSecs(10));
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    model.setNow(recorded.addSecs(20)); // "2 days ago" stays, "10 seconds ago" moves on
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.first().at(0).toModelIndex().row(), 0);
    EXPECT_EQ(changes.first().at(1).toModelIndex().row(), 0);
    EXPECT_TRUE(changes.first().at(2).value<QList<int>>().contains(TimelineListModel::MetaRole));
    EXPECT_TRUE(
        model.index(0).data(TimelineListModel::MetaRole).toString().endsWith("20 seconds ago"));

    model.setNow(recorded.addSecs(20));
    EXPECT_EQ(changes.count(), 1);
}
