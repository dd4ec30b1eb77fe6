// The kit's long list of live rows.
#include "ui-kit/QKLazyColumn.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>

namespace {

QStringList keys(int first, int count) {
    QStringList out;
    for (int i = first; i < first + count; ++i)
        out << QStringLiteral("k%1").arg(i);
    return out;
}

QKLazyColumn::Factory rows(int* made) {
    return [made](const QString& key, QWidget* parent) {
        ++*made;
        auto* row = new QLabel(key, parent);
        row->setFixedHeight(40);
        return row;
    };
}

} // namespace

// Rows are made as they come near the view, and new keys keep the rows of the keys that stay.
TEST(LazyColumn, BuildsRowsAsTheyScrollIntoViewAndKeepsTheOnesThatStay) {
    QKLazyColumn column(0);
    column.resize(300, 200);
    column.show();
    int made = 0;
    column.setRows(keys(0, 200), rows(&made));
    QCoreApplication::processEvents();
    EXPECT_EQ(column.rowCount(), 200);
    EXPECT_GT(column.builtCount(), 0);
    EXPECT_LT(column.builtCount(), 50) << "a screen and some more, not every row";
    EXPECT_EQ(made, column.builtCount());

    const int before = column.builtCount();
    column.verticalScrollBar()->setValue(column.verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    EXPECT_GT(column.builtCount(), before) << "scrolling near the end makes the next rows";

    QPointer<QWidget> kept = column.row(QStringLiteral("k1"));
    QPointer<QWidget> gone = column.row(QStringLiteral("k0"));
    ASSERT_TRUE(kept && gone);
    made = 0;
    column.setRows(keys(1, 10), rows(&made));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(column.row(QStringLiteral("k1")), kept.data());
    EXPECT_TRUE(gone.isNull()) << "the row of a key that went is deleted";
    EXPECT_EQ(made, 0) << "every staying row was built before";
    EXPECT_EQ(column.builtCount(), 10);
}

// Heavy rows are made over several turns of the event loop, the top ones first, so no turn holds
// the main thread for the whole screenful; in the end the same rows are built, in the keys' order.
TEST(LazyColumn, MakesHeavyRowsOverSeveralTurnsTopFirst) {
    QKLazyColumn column(0);
    column.resize(300, 200);
    column.show();
    QCoreApplication::processEvents();
    QStringList order;
    const auto slowRows = [&order](const QString& key, QWidget* parent) {
        order << key;
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 10) {
        }
        auto* row = new QLabel(key, parent);
        row->setFixedHeight(40);
        return row;
    };
    // A turn's share is what its time allows, 12 ms: one row of 10 ms and the one that runs
    // over (a row cannot be split), never the screenful of 20, so two turns with a paint between
    // stay under 50 ms. Counted in rows, not timed, so a busy machine only makes the turns hold
    // fewer.
    constexpr int kMostATurn = 2;
    int filled = 0;
    QObject::connect(&column, &QKLazyColumn::filled, [&filled] { ++filled; });
    column.setRows(keys(0, 200), slowRows);
    EXPECT_TRUE(column.isFilling());
    EXPECT_EQ(filled, 0);
    EXPECT_GE(column.builtCount(), 1) << "the top rows come at once";
    EXPECT_LE(column.builtCount(), kMostATurn) << "one turn's share, not the screenful";

    int mostInATurn = 0;
    for (int turn = 0; turn < 200 && column.builtCount() < 20; ++turn) {
        const int before = column.builtCount();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        mostInATurn = std::max(mostInATurn, column.builtCount() - before);
    }
    EXPECT_GE(column.builtCount(), 20) << "the rest follow without any scrolling";
    EXPECT_FALSE(column.isFilling());
    EXPECT_EQ(filled, 1) << "once the view's rows are made";
    EXPECT_LT(column.builtCount(), 50);
    EXPECT_LE(mostInATurn, kMostATurn);
    EXPECT_EQ(order, keys(0, column.builtCount()));
    for (int i = 0; i + 1 < column.builtCount(); ++i)
        EXPECT_LT(column.row(order.at(i))->y(), column.row(order.at(i + 1))->y()) << i;
}
