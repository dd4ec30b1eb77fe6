// The kit's long list of live rows.
#include "ui-kit/QKLazyColumn.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
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
