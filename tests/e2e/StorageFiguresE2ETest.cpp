// The storage figures through the real services in the sandboxed home: "Where did it go?" and
// the disk map count the space a folder uses as du does, every visible folder of home included,
// and a file of two names once, in the same folder on every scan.
#include "platform/HomeLayout.h"
#include "storage/DiskMapScanner.h"
#include "storage/DiskMapTestSupport.h"
#include "storage/StorageGrowthScanner.h"

#include <gtest/gtest.h>

using namespace diskmaptest;

namespace {

const MapNode* item(const MapNode& root, const QString& name) {
    for (const MapNode& c : root.children)
        if (c.name == name)
            return &c;
    return nullptr;
}

} // namespace

TEST(StorageFiguresE2E, GrowthAndDiskMapAgreeWithDuOnTheHome) {
    const HomeLayout layout = HomeLayout::fromEnvironment();
    const QString home = layout.home();
    makeFile(layout.downloadsDir() + "/setup.run", 40 * 4096);
    makeFile(layout.downloadsDir() + "/old/notes.txt", 1000);
    makeDir(layout.downloadsDir() + "/empty/again");
    makeFile(layout.picturesDir() + "/Trip/IMG_1.jpg", 30 * 4096);
    makeFile(home + "/Library/Fonts/font.ttf", 20 * 4096);
    makeFile(home + "/Public/share.zip", 10 * 4096);
    makeFile(home + "/LinkB/movie.bin", 64 * 4096);
    makeDir(home + "/LinkA");
    ASSERT_EQ(::link(QFile::encodeName(home + "/LinkB/movie.bin").constData(),
                     QFile::encodeName(home + "/LinkA/movie.bin").constData()),
              0);

    StorageGrowthScanner growth(layout);
    growth.scan();
    ASSERT_TRUE(
        testsupport::waitFor([&] { return growth.state().phase == ScanPhase::Done; }, 20'000));
    const auto bucket = [&](const char* id) {
        for (const StorageGrowthScanner::Bucket& b : growth.buckets())
            if (b.id == QLatin1String(id))
                return b.bytes;
        return qint64(-1);
    };
    EXPECT_EQ(bucket("downloads"), duOf(layout.downloadsDir()).bytes);
    EXPECT_EQ(bucket("photos"), duOf(layout.picturesDir()).bytes);

    for (int scan = 0; scan < 3; ++scan) {
        SCOPED_TRACE(scan);
        const auto outcome =
            DiskMapScanner::runScan(DiskMapScanner::requestFor(layout), CancelToken(), {});
        ASSERT_TRUE(std::holds_alternative<DiskMapResult>(outcome));
        const MapNode& root = std::get<DiskMapResult>(outcome).root;
        for (const QString& name : {QStringLiteral("Library"), QStringLiteral("Public")}) {
            const MapNode* node = item(root, name);
            ASSERT_NE(node, nullptr) << name.toStdString();
            EXPECT_EQ(node->sizeBytes, duOf(home + "/" + name).bytes);
        }
        const MapNode* linkA = item(root, "LinkA");
        ASSERT_NE(linkA, nullptr);
        EXPECT_EQ(linkA->sizeBytes, duOf(home + "/LinkA").bytes);
        const MapNode* linkB = item(root, "LinkB");
        EXPECT_TRUE(!linkB || linkB->sizeBytes == allocated(home + "/LinkB"));
    }
}
