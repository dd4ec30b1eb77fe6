#include "platform/BatchedListModel.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

namespace {

class Numbers : public BatchedListModel<int> {
public:
    using BatchedListModel<int>::BatchedListModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        return rowAt(index.row());
    }
};

} // namespace

TEST(BatchedListModel, ResetReplacesTheRowsAndRemoveIfKeepsOrder) {
    Numbers model;
    model.reset({1, 2, 3});
    model.reset({10, 11, 12, 13, 14, 15});
    EXPECT_EQ(model.rows(), (QList<int>{10, 11, 12, 13, 14, 15}));

    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.removeIf([](int n) { return n == 11 || n == 12 || n == 15; });
    EXPECT_EQ(model.rows(), (QList<int>{10, 13, 14}));
    EXPECT_EQ(removed.count(), 2); // two runs: 11–12 and 15
}

TEST(BatchedListModel, ReorderKeepsPersistentRowsOnTheirKeysAndReplaceUpdatesInPlace) {
    Numbers model;
    model.reset({5, 6, 7, 8});
    QPersistentModelIndex seven(model.index(2));
    QPersistentModelIndex eight(model.index(3));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
    model.reorder({7, 5, 6}, [](int n) { return n; });
    EXPECT_EQ(layouts.count(), 1);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(seven.row(), 0);
    EXPECT_FALSE(eight.isValid()) << "a key that went leaves no stale row";

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.replace(1, 50);
    model.replace(9, 1); // out of range: nothing
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.first().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(model.rows(), (QList<int>{7, 50, 6}));
    EXPECT_EQ(model.findRow([](int n) { return n == 6; }), 2);
}
