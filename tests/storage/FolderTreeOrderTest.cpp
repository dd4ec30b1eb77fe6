// The order a listing settles in once its last size has arrived, which is worked out away from
// the main thread and may meet a choice the user made meanwhile.
#include "storage/FolderTree.h"
#include "storage/FolderTreeTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QThreadPool>

using namespace foldertreetest;

namespace {

// A home of two empty files and two folders; "b" measures larger than "a".
QString homeOfFour(const QString& name) {
    const QString home = testsupport::freshDir(name);
    for (const char* folder : {"/a", "/b"})
        QDir().mkpath(home + QLatin1String(folder));
    for (const char* file : {"/big.txt", "/small.txt"}) {
        QFile f(home + QLatin1String(file));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    }
    return home;
}

FolderTree::Deps sizes() {
    FolderTree::Deps tools;
    tools.measure = [](const QString& folder, const CancelToken&) -> FolderTree::Size {
        return {folder.endsWith(QLatin1String("/b")) ? 64 * 4096 : 4096, 1, {}};
    };
    return tools;
}

} // namespace

TEST(FolderTreeOrder, TheLastSizeLeavesTheRowsInSizeOrderOnlyOnceTheyAreSorted) {
    FolderTree tree(homeOfFour("tree-order-size"), sizes());
    QList<QStringList> whileCounting;
    QObject::connect(&tree, &FolderTree::entriesChanged, [&] {
        if (!tree.isListing() && tree.measuringCount() > 0)
            whileCounting.append(names(tree.entries()));
    });
    tree.open(tree.home());
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(names(tree.entries()), QStringList({"b", "a", "big.txt", "small.txt"}));
    // Until then the rows kept their places: none was moved on one size.
    ASSERT_FALSE(whileCounting.isEmpty());
    for (const QStringList& shown : whileCounting)
        EXPECT_EQ(shown, whileCounting.first());
    EXPECT_EQ(tree.largestEntrySize(), 64 * 4096);
    QThreadPool::globalInstance()->waitForDone();
}

TEST(FolderTreeOrder, AnOrderChosenWhileTheRowsAreBeingSortedStands) {
    FolderTree tree(homeOfFour("tree-order-chosen"), sizes());
    bool chosen = false;
    QObject::connect(&tree, &FolderTree::entriesChanged, [&] {
        const bool allSized = !tree.entries().isEmpty() &&
                              std::all_of(tree.entries().cbegin(), tree.entries().cend(),
                                          [](const auto& e) { return e.sizeBytes.has_value(); });
        if (allSized && !chosen && tree.measuringCount() == 1) {
            chosen = true; // the size order is on its way
            tree.setSortOrder(FolderTree::SortOrder::Name);
        }
    });
    tree.open(tree.home());
    ASSERT_TRUE(settled(tree));
    ASSERT_TRUE(chosen);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(tree.sortOrder(), FolderTree::SortOrder::Name);
    EXPECT_EQ(names(tree.entries()), QStringList({"a", "b", "big.txt", "small.txt"}));
}

TEST(FolderTreeOrder, TheCurrentAndSelectedRowsFollowTheirEntriesIntoTheSettledOrder) {
    FolderTree tree(homeOfFour("tree-order-follow"), sizes());
    QItemSelectionModel selection(tree.model());
    QPersistentModelIndex lastRow;
    QString lastId;
    // Picked while the sizes come in, in the rows' listed (name) places.
    QObject::connect(&tree, &FolderTree::entriesChanged, [&] {
        if (tree.isListing() || tree.measuringCount() == 0 || selection.hasSelection())
            return;
        const int a = tree.model()->rowOf(tree.home() + "/a");
        const int small = tree.model()->rowOf(tree.home() + "/small.txt");
        ASSERT_GE(a, 0);
        ASSERT_GE(small, 0);
        selection.setCurrentIndex(tree.model()->index(a), QItemSelectionModel::NoUpdate);
        selection.select(tree.model()->index(small), QItemSelectionModel::Select);
        lastRow = tree.model()->index(tree.model()->rowCount() - 1);
        lastId = tree.entries().last().id;
    });
    tree.open(tree.home());
    ASSERT_TRUE(settled(tree));
    ASSERT_EQ(names(tree.entries()), QStringList({"b", "a", "big.txt", "small.txt"}));
    EXPECT_EQ(selection.currentIndex().row(), 1);
    ASSERT_EQ(selection.selectedIndexes().size(), 1);
    EXPECT_EQ(selection.selectedIndexes().first().row(), 3);
    EXPECT_EQ(lastRow.data(FolderEntryModel::IdRole).toString(), lastId);
    EXPECT_NE(lastRow.row(), tree.model()->rowCount() - 1);
    // Every row is found by its id in its new place.
    for (int row = 0; row < tree.model()->rowCount(); ++row)
        EXPECT_EQ(tree.model()->rowOf(tree.entries().at(row).id), row);
    QThreadPool::globalInstance()->waitForDone();
}
