// Cleaning: what a clean never takes, whatever a row says — the home, the user's own folders,
// what a mount holds, and what a folder swapped for a link points at.
#include "cleaning/CategoryCleaner.h"
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleanerHome.h"
#include "cleaning/CleanerPaneText.h"
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "fakes/FakeDiskUsage.h"
#include "fakes/FakeTrash.h"
#include "platform/ByteFormat.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"
#include "platform/NativePath.h"

using namespace cleaningtest;

TEST(CategoryCleaner, ARowThatEmptiesALocationNeverEmptiesTheHomeOrAFolderHoldingTheUsersFiles) {
    using K = ContentsRefusal::Kind;
    const QString base = testsupport::freshDir("clean-guard");
    const QString home = base + "/home";
    QDir().mkpath(base + "/elsewhere");
    symlinkTo(home, base + "/elsewhere/link-to-home");
    const HomeLayout plain = HomeLayout::forHome(home);
    struct Case {
        QString cache;
        K kind;
        bool same;
        QString documents = {};
    };
    const QList<Case> cases = {
        {home, K::Home, true},
        {home + "/", K::Home, true},
        {home + "/Documents/..", K::Home, true},
        {base + "/elsewhere/link-to-home", K::Home, true},
        {base, K::Home, false},
        {plain.documentsDir(), K::UserFolder, true},
        {home + "/.cache", K::UserFolder, false, home + "/.cache/Documents"},
        {plain.dataHome(), K::AppFolder, false},
        {plain.configHome(), K::AppFolder, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cache.toStdString());
        HomeLayout layout = plain;
        layout.setCacheHome(c.cache);
        if (!c.documents.isEmpty())
            layout.setDocumentsDir(c.documents);
        const QStringList mine = {layout.documentsDir() + "/letter.txt",
                                  layout.picturesDir() + "/photo.jpg", home + "/Projects/main.c",
                                  layout.appSupportDir() + "/timeline.json",
                                  layout.appConfigDir() + "/defaults.json"};
        for (const QString& file : mine)
            writeFile(file, 100);
        CleanupScanner::Deps tools = CleanupScanner::Deps::system(layout);
        auto trash = std::make_shared<FakeTrash>(base + "/trash");
        tools.trash = trash;
        DiskCleanupScanner scanner(layout, tools);
        const QList<CleanCategory>& table = scanner.categories();
        const CleanCategory& caches = table[CleanCategories::indexOf(table, "caches")];

        // Measured: nothing, and the reason.
        const Measurement m = scanner.measure(caches);
        EXPECT_EQ(m.sizeBytes, 0);
        EXPECT_EQ(m.fileCount, 0);
        ASSERT_TRUE(m.refusal.has_value());
        EXPECT_EQ(m.refusal->kind, c.kind);
        EXPECT_EQ(m.refusal->same, c.same);
        EXPECT_EQ(m.refusal->location, c.cache);

        // Cleaned, measured or not: nothing moves, and one line says why.
        const CleanResult r = cleanAndWait(scanner, {"caches"});
        EXPECT_TRUE(trash->moved().isEmpty()) << trash->moved().join(", ").toStdString();
        EXPECT_EQ(r.failures.size(), 1);
        for (const QString& file : mine)
            EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    }

    // The usual places still clean.
    const HomeLayout layout = HomeLayout::forHome(base + "/home-2");
    writeFile(layout.cacheHome() + "/tool/blob", 100);
    CleanupScanner::Deps tools = CleanupScanner::Deps::system(layout);
    auto trash = std::make_shared<FakeTrash>(base + "/trash-2");
    tools.trash = trash;
    DiskCleanupScanner scanner(layout, tools);
    EXPECT_FALSE(scanner.measure(scanner.categories()[0]).refusal.has_value());
    EXPECT_TRUE(cleanAndWait(scanner, {"caches"}).failures.isEmpty());
    EXPECT_EQ(trash->moved(), QStringList({layout.cacheHome() + "/tool"}));
}

// The logs row lists the *.log files it finds: pointed at the home, it would list the user's own.
TEST(CategoryCleaner, ARowThatCleansWhatItFindsNeverSearchesTheHomeOrAFolderOfTheUsersFiles) {
    using K = ContentsRefusal::Kind;
    const QString base = testsupport::freshDir("search-guard");
    const QString home = base + "/home";
    const HomeLayout plain = HomeLayout::forHome(home);
    const QStringList mine = {home + "/Documents/meeting.log",
                              home + "/Projects/exp/experiment.log"};
    for (const QString& file : mine)
        writeFile(file, 100);
    const struct {
        QString state;
        K kind;
        bool same;
    } cases[] = {
        {home, K::Home, true},
        {base, K::Home, false},
        {home + "/Documents", K::UserFolder, true},
        {home + "/Projects", K::UserFolder, true},
        {"/var/tmp", K::Shared, true}, // or Home, when the test's home lies below it
    };
    // The system's tools for a layout, with a Trash of the test's own.
    const auto toolsFor = [&](const HomeLayout& layout, std::shared_ptr<FakeTrash> trash) {
        CleanupScanner::Deps tools = CleanupScanner::Deps::system(layout);
        tools.trash = std::move(trash);
        return tools;
    };
    const auto rowOf = [](const DiskCleanupScanner& scanner, const char* id) {
        return scanner.categories()[CleanCategories::indexOf(scanner.categories(), id)];
    };
    const CategoryMeasurer unguarded(std::make_shared<FakeDiskUsage>(), {1, {}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state.toStdString());
        HomeLayout layout = plain;
        layout.setStateHome(c.state);
        auto trash = std::make_shared<FakeTrash>(base + "/trash");
        const CleanupScanner::Deps tools = toolsFor(layout, trash);
        DiskCleanupScanner scanner(layout, tools);
        CleanCategory logs = rowOf(scanner, "logs");

        // Measured: nothing is walked, and the reason.
        const Measurement m = scanner.measure(logs);
        EXPECT_EQ(m.fileCount, 0);
        EXPECT_TRUE(m.eligibleFiles.isEmpty());
        ASSERT_TRUE(m.refusal.has_value());
        if (c.kind != K::Shared) {
            EXPECT_EQ(m.refusal->kind, c.kind);
            EXPECT_EQ(m.refusal->same, c.same);
        }

        // Listed by a measurement without the guard (the place changed since): still nothing
        // moves when the clean is asked, and one line says why.
        if (c.kind != K::Shared)
            logs.setMeasurement(unguarded.measure(logs));
        const CategoryCleaner cleaner(trash, tools.protectedPaths, tools.guard);
        const CleanResult r = cleaner.clean({logs}, {"logs"});
        EXPECT_TRUE(trash->moved().isEmpty()) << trash->moved().join(", ").toStdString();
        EXPECT_EQ(r.failures.size(), 1);
        for (const QString& file : mine)
            EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    }

    // Rows that search the user's folders on purpose still find and clean there.
    writeFile(plain.downloadsDir() + "/orders.bak", 100);
    auto trash = std::make_shared<FakeTrash>(base + "/trash-2");
    const CleanupScanner::Deps tools = toolsFor(plain, trash);
    DiskCleanupScanner scanner(plain, tools);
    CleanCategory backups = rowOf(scanner, "db-backups");
    backups.setMeasurement(scanner.measure(backups));
    EXPECT_FALSE(backups.refusal.has_value());
    EXPECT_EQ(backups.eligibleFiles, QStringList({plain.downloadsDir() + "/orders.bak"}));
    const CategoryCleaner cleaner(trash, tools.protectedPaths, tools.guard);
    EXPECT_TRUE(cleaner.clean({backups}, {"db-backups"}).failures.isEmpty());
    EXPECT_EQ(trash->moved(), QStringList({plain.downloadsDir() + "/orders.bak"}));
}

TEST(CategoryCleaner, AnItemHoldingAMountStaysAndTheResultSaysWhich) {
    Home h("clean-mount");
    const QString items = h.layout.trashDir() + "/files";
    const QByteArray cacheMount = NativePath::encode(h.layout.cacheHome() + "/tool/mnt");
    const QByteArray trashMount = NativePath::encode(items + "/proj/mnt");
    auto trash = std::make_shared<FreedesktopTrash>(
        h.layout.trashDir(), FreedesktopTrash::Deps{[=](const QByteArray& path, quint64 device) {
            for (const QByteArray& mount : {cacheMount, trashMount})
                if (path == mount || path.startsWith(mount + "/"))
                    return quint64(4242);
            return device;
        }});
    const CategoryCleaner cleaner(trash, CleanupScanner::protectedPathsFor(h.layout));
    writeFile(h.layout.cacheHome() + "/tool/mnt/data", 100);
    writeFile(h.layout.cacheHome() + "/other/blob", 100);
    CleanResult r = cleaner.clean(h.junk, {"caches"});
    EXPECT_EQ(r.failures, QStringList({"tool: Another folder is mounted inside it"}));
    EXPECT_EQ(r.leftMounted, QStringList({"tool"}));
    EXPECT_TRUE(QFileInfo::exists(h.layout.cacheHome() + "/tool/mnt/data"));
    EXPECT_FALSE(QFileInfo::exists(h.layout.cacheHome() + "/other"));

    // Emptying the Trash: the item is named in the result, not only counted.
    writeFile(items + "/proj/mnt/theirs.txt", 100);
    writeFile(items + "/loose.txt", 100);
    r = cleaner.clean(h.junk, {"trash"});
    EXPECT_EQ(r.leftMounted, QStringList({"proj"}));
    EXPECT_EQ(CleanerPaneText::resultLine(r),
              "Freed " + formatBytes(r.freedBytes) +
                  " · 1 item skipped · proj was left in place: another folder is mounted in it");
    EXPECT_TRUE(QFileInfo::exists(items + "/proj/mnt/theirs.txt"));
    EXPECT_FALSE(QFileInfo::exists(items + "/loose.txt"));

    // Other failures are counted only.
    h.trash->failFor(h.layout.cacheHome() + "/locked.db", "Permission denied");
    writeFile(h.layout.cacheHome() + "/locked.db", 10);
    EXPECT_TRUE(h.cleaner.clean(h.junk, {"caches"}).leftMounted.isEmpty());
}

// A folder above the items given to a link between two moves: what lies behind the link is the
// user's, whatever its names, and stays; what the row found elsewhere still goes.
TEST(CategoryCleaner, AFolderSwappedForALinkDuringTheCleanCarriesNothingOutOfTheLocation) {
    Home h("clean-swap");
    const QString state = h.layout.stateHome();
    const QString mine = h.layout.documentsDir();
    QStringList theirs;
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("f%1.log").arg(i);
        writeFile(state + "/app/x1/" + name, 10);
        writeFile(state + "/app/x2/" + name, 10);
        writeFile(mine + "/" + name, 10);
        theirs << mine + "/" + name;
    }
    writeFile(h.layout.cacheHome() + "/a.bin", 10);
    writeFile(h.layout.cacheHome() + "/b.bin", 10);
    writeFile(mine + "/b.bin", 10);
    theirs << mine + "/b.bin";
    h.measure(h.junk);
    // The stamps would catch a file swapped in behind its path; without them only the folders
    // the walk went through keep the move where it was found.
    CleanCategory& logs = h.row("logs");
    ASSERT_EQ(logs.eligibleFiles.size(), 6);
    logs.eligibleStamps.clear();

    const auto swap = [](const QString& folder, const QString& target) {
        ASSERT_EQ(::rename(QFile::encodeName(folder).constData(),
                           QFile::encodeName(folder + ".old").constData()),
                  0);
        symlinkTo(target, folder);
    };
    int moves = 0;
    FreedesktopTrash::Deps deps;
    deps.beforeMove = [&](const QString&) {
        // The caches go first; their location is held from the moment its row began, so even
        // given to a link at once its children go from where they were listed.
        if (++moves == 1)
            swap(h.layout.cacheHome(), mine);
        // The logs' folder, once the first log went.
        if (moves == 4)
            swap(state + "/app/x2", mine);
    };
    auto trash = std::make_shared<FreedesktopTrash>(h.layout.trashDir(), deps);
    const CategoryCleaner cleaner(trash, CleanupScanner::protectedPathsFor(h.layout));
    const CleanResult r = cleaner.clean(h.junk, {"logs", "caches"});
    EXPECT_EQ(r.failures,
              QStringList({"f0.log: " + Trash::movedAwayText(), "f1.log: " + Trash::movedAwayText(),
                           "f2.log: " + Trash::movedAwayText()}));
    for (const QString& file : theirs)
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    QStringList trashed = QDir(trash->itemsFolder()).entryList(QDir::Files);
    trashed.sort();
    EXPECT_EQ(trashed, QStringList({"a.bin", "b.bin", "f0.log", "f1.log", "f2.log"}));
    EXPECT_FALSE(QFileInfo::exists(h.layout.cacheHome() + ".old/b.bin"));
    EXPECT_TRUE(QFileInfo::exists(state + "/app/x2.old/f0.log"));
}
