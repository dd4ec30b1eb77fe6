// A folder of thousands of items: its first rows show while the rest is still being read, and a
// new order is worked out away from the main thread; what the list settles on is what it would
// have been either way.
#include "storage/DiskMapTestSupport.h"
#include "storage/FolderTree.h"
#include "storage/FolderTreeTestSupport.h"
#include "support/TestSupport.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <QScopeGuard>
#include <QThreadPool>

using namespace diskmaptest;
using namespace foldertreetest;
using Entry = FolderTree::Entry;

namespace {

// A latch the fake listing waits at until the test opens it.
class Latch {
public:
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void wait() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

// A folder of `files` files of distinct sizes, in no order, and a few folders among them.
QList<FolderTree::Listed> bigFolder(const QString& folder, int files) {
    QList<FolderTree::Listed> items;
    for (int k = 0; k < files; ++k) {
        FolderTree::Listed item;
        item.name = QStringLiteral("file %1.txt").arg((k * 7919) % files);
        item.path = folder + QLatin1Char('/') + item.name;
        item.allocatedBytes = 4096 * qint64(1 + (k * 104729) % files);
        items.append(item);
        if (k % 1000 == 0) {
            FolderTree::Listed sub;
            sub.name = QStringLiteral("album %1").arg(k);
            sub.path = folder + QLatin1Char('/') + sub.name;
            sub.isDirectory = true;
            items.append(sub);
        }
    }
    return items;
}

// The fake folder's tools; the whole listing waits at the latch when one is given, and the first
// rows come from the same listing when `early`.
FolderTree::Deps tools(int files, std::shared_ptr<Latch> latch, bool early) {
    FolderTree::Deps deps;
    deps.list = [files, latch](const QString& folder) -> FolderTree::Listing {
        if (latch)
            latch->wait();
        return bigFolder(folder, files);
    };
    if (early)
        deps.listFirst = [files](const QString& folder, int count) {
            return bigFolder(folder, files).mid(0, count);
        };
    deps.measure = [](const QString& folder, const CancelToken&) -> FolderTree::Size {
        return {qint64(folder.size()) * 4096, 3, {}};
    };
    return deps;
}

} // namespace

TEST(FolderTreeLargeFolder, TheFirstRowsShowBeforeTheListingEndsAndTheListSettlesAsWithout) {
    const QString home = testsupport::freshDir("tree-large-early");
    constexpr int kFiles = 5000;
    FolderTree whole(home, tools(kFiles, nullptr, false));
    whole.open(home);
    ASSERT_TRUE(settled(whole));
    drain();

    auto latch = std::make_shared<Latch>();
    const auto release = qScopeGuard([latch] { latch->open(); });
    FolderTree tree(home, tools(kFiles, latch, true));
    tree.open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.entries().isEmpty(); }));
    // The first rows, in the order of the moment, while the rest is still being read: nobody
    // waiting for the settled folder takes them for it.
    EXPECT_EQ(tree.entries().size(), FolderTree::kFirstRows);
    EXPECT_FALSE(tree.isListing());
    EXPECT_EQ(tree.measuringCount(), 1);
    const QList<Entry> first =
        FolderTree::makeEntries(bigFolder(home, kFiles).mid(0, FolderTree::kFirstRows), true, 1);
    EXPECT_EQ(names(tree.entries()),
              names(FolderTree::sortEntries(first, FolderTree::SortOrder::Size)));

    latch->open();
    ASSERT_TRUE(settled(tree));
    EXPECT_EQ(names(tree.entries()), names(whole.entries()));
    EXPECT_EQ(tree.totalMeasuredBytes(), whole.totalMeasuredBytes());
    drain();
}

TEST(FolderTreeLargeFolder, AFolderThatCannotBeListedDropsItsFirstRows) {
    const QString home = testsupport::freshDir("tree-large-unreadable");
    auto latch = std::make_shared<Latch>();
    const auto release = qScopeGuard([latch] { latch->open(); });
    FolderTree::Deps deps = tools(5000, nullptr, true);
    deps.list = [latch](const QString&) -> FolderTree::Listing {
        latch->wait();
        return std::nullopt;
    };
    FolderTree tree(home, deps);
    tree.open(home);
    ASSERT_TRUE(testsupport::waitFor([&] { return !tree.entries().isEmpty(); }));
    latch->open();
    ASSERT_TRUE(testsupport::waitFor([&] { return tree.error().has_value(); }));
    EXPECT_TRUE(tree.entries().isEmpty());
    EXPECT_EQ(tree.measuringCount(), 0);
    EXPECT_EQ(tree.totalMeasuredBytes(), 0);
    drain();
}

TEST(FolderTreeLargeFolder, ANewOrderReturnsAtOnceAndTheRowsFollowFromThePool) {
    const QString home = testsupport::freshDir("tree-large-order");
    FolderTree tree(home, tools(6000, nullptr, false));
    tree.open(home);
    ASSERT_TRUE(settled(tree));
    const QStringList bySize = names(tree.entries());
    int changes = 0;
    QObject::connect(&tree, &FolderTree::entriesChanged, [&] { ++changes; });

    tree.setSortOrder(FolderTree::SortOrder::Name);
    EXPECT_EQ(tree.sortOrder(), FolderTree::SortOrder::Name);
    EXPECT_EQ(names(tree.entries()), bySize);
    EXPECT_EQ(changes, 0);
    ASSERT_TRUE(testsupport::waitFor([&] { return changes > 0; }));
    EXPECT_EQ(names(tree.entries()),
              names(FolderTree::sortEntries(tree.entries(), FolderTree::SortOrder::Name)));

    // Two choices in a row: only the last one stands, whichever sort lands last.
    tree.setSortOrder(FolderTree::SortOrder::Size);
    tree.setSortOrder(FolderTree::SortOrder::Name);
    tree.setSortOrder(FolderTree::SortOrder::Size);
    drain();
    drain();
    EXPECT_EQ(names(tree.entries()), bySize);
    drain();
}

TEST(FolderTreeLargeFolder, TheFirstChildrenOfARealFolderAreReadOnTheirOwn) {
    const QString home = testsupport::freshDir("tree-first-children");
    for (int k = 0; k < 5; ++k)
        makeFile(home + QStringLiteral("/f%1").arg(k), 4096);
    makeFile(home + "/.hidden", 4096);
    makeDir(home + "/sub");
    makeFile(home + "/sub/inner", 4096);

    const QList<FolderTree::Listed> all = FolderTree::firstOfFolder(home, 100);
    EXPECT_EQ(all.size(), 6); // the hidden file left out, nothing below sub
    for (const FolderTree::Listed& item : all) {
        EXPECT_FALSE(item.name.startsWith(QLatin1Char('.')));
        EXPECT_EQ(item.path, home + QLatin1Char('/') + item.name);
    }
    EXPECT_EQ(FolderTree::firstOfFolder(home, 3).size(), 3);
    EXPECT_TRUE(FolderTree::firstOfFolder(home + "/f0", 3).isEmpty());
    EXPECT_TRUE(FolderTree::firstOfFolder(home + "/missing", 3).isEmpty());
}
