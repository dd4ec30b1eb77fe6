// The disk cleaner through its real measurer, cleaner and freedesktop Trash in a sandboxed home:
// a folder above the logs swapped for a link while they move, and a Trash holding folders of
// mode 0000 emptied.
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"

using namespace cleaningtest;

namespace {

void scanAndWait(CleanupScanner& scanner) {
    scanner.scan();
    ASSERT_TRUE(
        testsupport::waitFor([&] { return scanner.state().phase == ScanPhase::Done; }, 30000));
}

} // namespace

TEST(TrashMovesE2E, LogsMoveOnlyFromTheFoldersTheScanWalkedWhileOneIsSwappedForALink) {
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("e2e-swap"));
    const QString apps = layout.stateHome() + "/app";
    QStringList mine;
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("x%1.log").arg(i);
        writeFile(apps + QStringLiteral("/x%1/").arg(i % 20) + name, 10);
        writeFile(layout.documentsDir() + "/" + name, 10);
        mine << layout.documentsDir() + "/" + name;
    }
    CleanupScanner::Deps deps = CleanupScanner::Deps::system(layout);
    int moves = 0;
    FreedesktopTrash::Deps trashDeps;
    trashDeps.beforeMove = [&](const QString&) {
        // Half way, every folder not yet emptied becomes a link to the user's documents.
        if (++moves != 100)
            return;
        for (int f = 0; f < 20; ++f) {
            const QString folder = apps + QStringLiteral("/x%1").arg(f);
            if (QDir(folder).isEmpty())
                continue;
            ASSERT_EQ(::rename(QFile::encodeName(folder).constData(),
                               QFile::encodeName(folder + ".old").constData()),
                      0);
            symlinkTo(layout.documentsDir(), folder);
        }
    };
    deps.trash = std::make_shared<FreedesktopTrash>(layout.trashDir(), trashDeps);
    DiskCleanupScanner scanner(layout, deps);
    scanAndWait(scanner);
    const CleanResult r = cleanAndWait(scanner, {"logs"});

    for (const QString& file : mine)
        ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    int trashed = 0;
    for (const QString& record : QDir(layout.trashDir() + "/info").entryList(QDir::Files)) {
        QFile f(layout.trashDir() + "/info/" + record);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().contains("Path=" + QFile::encodeName(apps) + "/x"))
            << record.toStdString();
        ++trashed;
    }
    EXPECT_GE(trashed, 99);
    EXPECT_EQ(trashed + r.failures.size(), 200);
    for (const QString& line : r.failures)
        EXPECT_TRUE(line.endsWith(": " + Trash::movedAwayText())) << line.toStdString();
}

TEST(TrashMovesE2E, EmptyingTheTrashRemovesFoldersOfMode0000AndNothingElse) {
    const HomeLayout layout = HomeLayout::forHome(testsupport::freshDir("e2e-modes"));
    const QString outside = layout.home() + "/Projects/locked";
    writeFile(outside + "/keep.txt", 10);
    writeFile(layout.home() + "/build/out/deep/obj.o", 4000);
    writeFile(layout.home() + "/build/notes.txt", 10);
    symlinkTo(outside, layout.home() + "/build/link");
    CleanupScanner::Deps deps = CleanupScanner::Deps::system(layout);
    ASSERT_TRUE(deps.trash->moveToTrash(layout.home() + "/build", nullptr));
    const QString item = deps.trash->itemsFolder() + "/build";
    for (const QString& folder : {item + "/out/deep", item + "/out", item})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(outside).constData(), 0), 0);

    DiskCleanupScanner scanner(layout, deps);
    scanAndWait(scanner);
    const CleanResult r = cleanAndWait(scanner, {"trash"});
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    EXPECT_FALSE(QFileInfo::exists(item));
    EXPECT_FALSE(QFileInfo::exists(layout.trashDir() + "/info/build.trashinfo"));
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(outside).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0));
    ASSERT_EQ(::chmod(QFile::encodeName(outside).constData(), 0700), 0);
    EXPECT_TRUE(QFileInfo::exists(outside + "/keep.txt"));
}
