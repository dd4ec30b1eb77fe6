// Listings that meet the user: rows entered while they are replaced, places kept while sizes
// come in, and the work of an earlier listing never showing.
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderTree.h"
#include "storage/FolderTreeTestSupport.h"
#include "support/TestSupport.h"

#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <QScopeGuard>
#include <QThreadPool>
#include <set>

using namespace diskmaptest;
using namespace foldertreetest;
using Entry = FolderTree::Entry;

namespace {

// A gate that measurement or listing calls wait at until the test opens it for their path.
class Gates {
public:
    void open(const QString& path) {
        std::lock_guard lock(m_mutex);
        m_open.insert(path);
        m_changed.notify_all();
    }
    void openAll() {
        std::lock_guard lock(m_mutex);
        m_all = true;
        m_changed.notify_all();
    }
    void wait(const QString& path) {
        std::unique_lock lock(m_mutex);
        m_reached.insert(path);
        m_changed.wait(lock, [&] { return m_all || m_open.count(path) > 0; });
    }
    // Whether a call has arrived at the gate of this path.
    bool reached(const QString& path) {
        std::lock_guard lock(m_mutex);
        return m_reached.count(path) > 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<QString> m_open;
    std::set<QString> m_reached;
    bool m_all = false;
};

} // namespace

// Views hand the tree rows of its own list, which the call itself replaces: a listener of
// trailChanged may re-sort them, and opening empties them. What was asked for must still open.
TEST(FolderTreeService, ARowOnShowCanBeEnteredOrOpenedWhileTheRowsAreReplaced) {
    const QString home = testsupport::freshDir("tree-own-rows");
    makeFile(home + "/Projects/app/main.cpp", 4096);
    FolderTree tree(home);
    QObject::connect(&tree, &FolderTree::trailChanged, &tree, [&tree] {
        tree.setSortOrder(tree.sortOrder() == FolderSortOrder::Size ? FolderSortOrder::Name
                                                                    : FolderSortOrder::Size);
    });
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    ASSERT_EQ(names(tree.entries()), QStringList({"Projects"}));

    tree.enter(tree.entries().first());
    EXPECT_EQ(tree.trail(), QStringList({home + "/Projects"}));
    ASSERT_TRUE(settled(tree));
    EXPECT_FALSE(tree.error());
    ASSERT_EQ(names(tree.entries()), QStringList({"app"}));

    tree.open(tree.entries().first().path);
    ASSERT_TRUE(settled(tree));
    EXPECT_FALSE(tree.error());
    EXPECT_EQ(names(tree.entries()), QStringList({"main.cpp"}));
    drain();
}

TEST(FolderTreeService, SizeOrderKeepsPlacesUntilTheLastSizeArrives) {
    const QString home = testsupport::freshDir("tree-order");
    makeFile(home + "/big.txt", 5 * 4096);
    makeFile(home + "/small.txt", 2 * 4096);
    makeDir(home + "/a");
    makeDir(home + "/b");
    auto gates = std::make_shared<Gates>();
    FolderTree::Deps tools;
    tools.measure = [gates](const QString& folder, const CancelToken&) -> FolderTree::Size {
        gates->wait(folder);
        return {folder.endsWith(QLatin1String("/a")) ? 4 * 4096 : 4096, 1, {}};
    };
    FolderTree tree(home, tools);
    const auto release = qScopeGuard([gates] { gates->openAll(); });
    tree.open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return tree.measuringCount() == 2; }));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "small.txt", "a", "b"}));
    EXPECT_EQ(tree.totalMeasuredBytes(), 7 * 4096);

    gates->open(home + "/a");
    ASSERT_TRUE(testsupport::waitFor([&] { return tree.measuringCount() == 1; }));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "small.txt", "a", "b"}));
    EXPECT_EQ(tree.entries().at(2).sizeBytes, 4 * 4096);
    EXPECT_EQ(tree.totalMeasuredBytes(), 11 * 4096);

    gates->open(home + "/b");
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "a", "small.txt", "b"}));

    tree.setSortOrder(FolderTree::SortOrder::Name);
    EXPECT_EQ(names(tree.entries()), QStringList({"a", "b", "big.txt", "small.txt"}));
    drain();
}

TEST(FolderTreeService, AListingEndsWithItsRowsInPlaceAndInTheOrderOfThatMoment) {
    const QString home = testsupport::freshDir("tree-listing-end");
    makeFile(home + "/big.txt", 5 * 4096);
    makeFile(home + "/small.txt", 4096);
    makeDir(home + "/a");
    auto gates = std::make_shared<Gates>();
    auto gated = std::make_shared<std::atomic_bool>(false);
    FolderTree::Deps tools;
    tools.list = [gates, gated](const QString& folder) {
        if (*gated)
            gates->wait(folder);
        return FolderTree::listFolder(folder);
    };
    tools.measure = [gates, gated](const QString& folder, const CancelToken&) {
        if (*gated)
            gates->wait(QStringLiteral("measure:") + folder);
        return FolderTree::Size{4096, 1, {}};
    };
    FolderTree tree(home, tools);
    const auto release = qScopeGuard([gates] { gates->openAll(); });
    // Whoever hears that the listing ended finds its rows there, not an empty folder.
    QList<qsizetype> rowsAtEnd;
    QObject::connect(&tree, &FolderTree::listingChanged, &tree, [&](bool listing) {
        if (!listing)
            rowsAtEnd << tree.entries().size();
    });

    // The order changed and the sizes were forgotten while the folder was being read: what
    // shows follows both.
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(names(tree.entries()), QStringList({"big.txt", "a", "small.txt"}));
    *gated = true;
    tree.open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return gates->reached(home); }));
    tree.setSortOrder(FolderTree::SortOrder::Name);
    tree.clearSizeCache();
    gates->open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    EXPECT_EQ(names(tree.entries()), QStringList({"a", "big.txt", "small.txt"}));
    EXPECT_FALSE(tree.entries().first().sizeBytes);
    EXPECT_EQ(tree.measuringCount(), 1);
    gates->openAll();
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(rowsAtEnd, QList<qsizetype>({3, 3}));
    drain();
}

TEST(FolderTreeService, StaleListingsAndSizesNeverShow) {
    const QString home = testsupport::freshDir("tree-stale");
    makeFile(home + "/One/sub/x", 4096);
    makeFile(home + "/Two/y", 4096);
    makeFile(home + "/Two/sub/z", 4096);
    auto gates = std::make_shared<Gates>();
    auto listsDone = std::make_shared<std::atomic_int>(0);
    auto measuresDone = std::make_shared<std::atomic_int>(0);
    FolderTree::Deps tools;
    tools.list = [gates, listsDone](const QString& folder) {
        gates->wait(QStringLiteral("list:") + folder);
        FolderTree::Listing listing = FolderTree::listFolder(folder);
        ++*listsDone;
        return listing;
    };
    tools.measure = [gates, measuresDone](const QString& folder, const CancelToken& cancel) {
        gates->wait(QStringLiteral("measure:") + folder);
        const FolderTree::Size size = FolderTree::measureFolder(folder, cancel);
        ++*measuresDone;
        return size;
    };
    FolderTree tree(home, tools);
    // A failed assertion must not leave workers waiting while the tree goes.
    const auto release = qScopeGuard([gates] { gates->openAll(); });
    // Lets whatever a finished worker sent reach the tree.
    const auto deliver = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };

    // A listing overtaken by another open is dropped when it finally arrives.
    tree.open(home + "/One");
    const quint64 first = tree.generation();
    tree.open(home + "/Two");
    EXPECT_GT(tree.generation(), first);
    gates->open(QStringLiteral("list:") + home + "/Two");
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    gates->open(QStringLiteral("list:") + home + "/One");
    ASSERT_TRUE(testsupport::waitFor([&] { return *listsDone == 2; }));
    deliver();
    EXPECT_EQ(names(tree.entries()), QStringList({"y", "sub"}));

    // A size measured for an older listing is neither shown nor cached.
    EXPECT_EQ(tree.measuringCount(), 1);
    // Under way before it is overtaken: a measurement not yet begun is cancelled instead.
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return gates->reached(QStringLiteral("measure:") + home + "/Two/sub"); }));
    tree.open(home + "/One");
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.isListing(); }));
    ASSERT_EQ(names(tree.entries()), QStringList({"sub"}));
    gates->open(QStringLiteral("measure:") + home + "/Two/sub");
    ASSERT_TRUE(testsupport::waitFor([&] { return *measuresDone == 1; }));
    deliver();
    EXPECT_FALSE(tree.sizeCache().contains(home + "/Two/sub"));
    EXPECT_FALSE(tree.entries().first().sizeBytes);
    EXPECT_EQ(tree.measuringCount(), 1);
    gates->openAll();
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(tree.entries().first().sizeBytes, duOf(home + "/One/sub").bytes);
    drain();
}
