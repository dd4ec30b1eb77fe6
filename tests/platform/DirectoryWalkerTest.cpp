// The directory walker: sums equal to find's, symlinks never followed, hard links once,
// pruning, depth and cancellation, on one thread and in parallel.
#include "platform/DirectoryWalker.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <mutex>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QString& path, qsizetype bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(bytes, 'x'));
}

void link(const QString& target, const QString& at) {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()),
              0);
}

// A home-like tree with hidden folders, a hard link, a symlink loop and a symlink to "/".
QString makeAwkwardTree() {
    const QString root = testsupport::freshDir("walk");
    writeFile(root + "/a.txt", 5000);
    writeFile(root + "/.hidden/deep/b.bin", 70000);
    writeFile(root + "/docs/c.pdf", 123);
    writeFile(root + "/docs/sub/d.dat", 0);
    for (int i = 0; i < 40; ++i)
        writeFile(root + QStringLiteral("/many/f%1/g.txt").arg(i), 4096 * (i % 3 + 1));
    EXPECT_EQ(::link(QFile::encodeName(root + "/a.txt").constData(),
                     QFile::encodeName(root + "/docs/a-again.txt").constData()),
              0);
    link(root + "/docs", root + "/docs/sub/loop");
    link("/", root + "/root-link");
    link(root + "/missing", root + "/dangling");
    return root;
}

// find's allocated bytes of everything below root, each inode once.
qint64 findTotal(const QString& root) {
    QProcess find;
    find.start("find", {root, "-printf", "%D %i %b\\n"});
    EXPECT_TRUE(find.waitForFinished(30000));
    QSet<QByteArray> seen;
    qint64 blocks = 0;
    for (const QByteArray& line : find.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 3 && !seen.contains(f[0] + ' ' + f[1])) {
            seen.insert(f[0] + ' ' + f[1]);
            blocks += f[2].toLongLong();
        }
    }
    return blocks * 512;
}

qint64 walkTotal(const QString& root, int threads, DirectoryWalker::Result* result = nullptr) {
    DirectoryWalker::Options options;
    options.threads = threads;
    PerWorker<qint64> bytes(threads);
    const DirectoryWalker walker(options);
    const auto r = walker.walk(root, [&](const DirectoryWalker::Entry& e) {
        if (!e.repeatLink)
            bytes.slot(e.worker) += e.allocatedBytes;
        return DirectoryWalker::Action::Continue;
    });
    if (result)
        *result = r;
    return bytes.fold(qint64(0), [](qint64 a, qint64 b) { return a + b; });
}

} // namespace

TEST(DirectoryWalker, TotalsEqualFindOnAnAwkwardTreeWithOneAndManyThreads) {
    const QString root = makeAwkwardTree();
    const qint64 expected = findTotal(root);
    ASSERT_GT(expected, 0);
    for (int threads : {1, 4}) {
        DirectoryWalker::Result result;
        EXPECT_EQ(walkTotal(root, threads, &result), expected) << threads << " threads";
        EXPECT_TRUE(result.rootFound);
        EXPECT_FALSE(result.cancelled);
        EXPECT_EQ(result.unreadableFolders, 0);
    }
}

TEST(DirectoryWalker, SymlinksAreVisitedButNeverEnteredAndHardLinksRepeatOnce) {
    const QString root = makeAwkwardTree();
    std::mutex lock;
    QStringList symlinks;
    QStringList repeats;
    int aTxtNames = 0;
    DirectoryWalker::Options options;
    options.threads = 3;
    DirectoryWalker(options).walk(root, [&](const DirectoryWalker::Entry& e) {
        std::lock_guard<std::mutex> guard(lock);
        EXPECT_FALSE(e.path().contains("/loop/")) << e.path().toStdString();
        EXPECT_FALSE(e.path().startsWith(root + "/root-link/"));
        if (e.type == DirectoryWalker::Type::Symlink)
            symlinks << e.fileName();
        if (e.repeatLink)
            repeats << e.fileName();
        if (e.fileName() == "a.txt" || e.fileName() == "a-again.txt")
            ++aTxtNames;
        return DirectoryWalker::Action::Continue;
    });
    symlinks.sort();
    EXPECT_EQ(symlinks, QStringList({"dangling", "loop", "root-link"}));
    EXPECT_EQ(repeats.size(), 1);
    EXPECT_EQ(aTxtNames, 2);
}

TEST(DirectoryWalker, RootSymlinkIsFollowedUnlessAskedNotTo) {
    const QString dir = testsupport::freshDir("walk-rootlink");
    writeFile(dir + "/real/x.txt", 10);
    link(dir + "/real", dir + "/alias");
    int followed = 0;
    DirectoryWalker().walk(dir + "/alias", [&](const DirectoryWalker::Entry& e) {
        followed += e.depth == 1;
        return DirectoryWalker::Action::Continue;
    });
    EXPECT_EQ(followed, 1);

    DirectoryWalker::Options options;
    options.followRootSymlink = false;
    QList<DirectoryWalker::Type> seen;
    DirectoryWalker(options).walk(dir + "/alias", [&](const DirectoryWalker::Entry& e) {
        seen << e.type;
        return DirectoryWalker::Action::Continue;
    });
    EXPECT_EQ(seen, QList<DirectoryWalker::Type>({DirectoryWalker::Type::Symlink}));
}

TEST(DirectoryWalker, DepthsPathsAndPruningOnOneThreadInDirectoryOrder) {
    const QString root = testsupport::freshDir("walk-prune");
    writeFile(root + "/keep/one.txt", 1);
    writeFile(root + "/skip/two.txt", 1);
    QStringList visited;
    DirectoryWalker().walk(root, [&](const DirectoryWalker::Entry& e) {
        visited << QStringLiteral("%1:%2").arg(e.depth).arg(e.path().mid(root.size()));
        return e.fileName() == "skip" ? DirectoryWalker::Action::SkipChildren
                                      : DirectoryWalker::Action::Continue;
    });
    EXPECT_TRUE(visited.contains("0:"));
    EXPECT_TRUE(visited.contains("1:/keep"));
    EXPECT_TRUE(visited.contains("2:/keep/one.txt"));
    EXPECT_TRUE(visited.contains("1:/skip"));
    EXPECT_FALSE(visited.contains("2:/skip/two.txt"));
    // Depth first: a folder's contents come right after it.
    EXPECT_EQ(visited.indexOf("2:/keep/one.txt"), visited.indexOf("1:/keep") + 1);
}

// What a caller needs to tell later that a file or its folder is still the one the walk saw.
TEST(DirectoryWalker, EntriesCarryTheirFolderAndExactTimes) {
    const QString root = testsupport::freshDir("walk-stamps");
    writeFile(root + "/sub/file", 10);
    struct stat folder {};
    struct stat file {};
    ASSERT_EQ(::lstat(QFile::encodeName(root + "/sub").constData(), &folder), 0);
    ASSERT_EQ(::lstat(QFile::encodeName(root + "/sub/file").constData(), &file), 0);
    int seen = 0;
    DirectoryWalker(DirectoryWalker::Options{4}).walk(root, [&](const DirectoryWalker::Entry& e) {
        if (e.fileName() == "file") {
            ++seen;
            EXPECT_EQ(e.folderDevice, quint64(folder.st_dev));
            EXPECT_EQ(e.folderInode, quint64(folder.st_ino));
            EXPECT_EQ(e.modifyTimeNs,
                      qint64(file.st_mtim.tv_sec) * 1000000000 + file.st_mtim.tv_nsec);
            EXPECT_EQ(e.changeTimeNs,
                      qint64(file.st_ctim.tv_sec) * 1000000000 + file.st_ctim.tv_nsec);
        }
        return DirectoryWalker::Action::Continue;
    });
    EXPECT_EQ(seen, 1);
}

TEST(DirectoryWalker, MissingRootAndFileRoot) {
    const QString dir = testsupport::freshDir("walk-roots");
    int calls = 0;
    const auto none = DirectoryWalker().walk(dir + "/absent", [&](const auto&) {
        ++calls;
        return DirectoryWalker::Action::Continue;
    });
    EXPECT_FALSE(none.rootFound);
    EXPECT_EQ(calls, 0);

    writeFile(dir + "/single.bin", 9000);
    qint64 bytes = 0;
    const auto one = DirectoryWalker().walk(dir + "/single.bin", [&](const auto& e) {
        EXPECT_EQ(e.depth, 0);
        EXPECT_TRUE(e.isFile());
        EXPECT_EQ(e.fileName(), "single.bin");
        bytes += e.allocatedBytes;
        return DirectoryWalker::Action::Continue;
    });
    EXPECT_TRUE(one.rootFound);
    EXPECT_EQ(one.entries, 1);
    EXPECT_GE(bytes, 9000);
}

TEST(DirectoryWalker, CancelledWalkStopsEarly) {
    const QString root = makeAwkwardTree();
    const CancelToken cancel;
    DirectoryWalker::Options options;
    options.threads = 4;
    std::atomic<int> seen{0};
    const auto result = DirectoryWalker(options, cancel).walk(root, [&](const auto&) {
        if (++seen == 3)
            cancel.cancel();
        return DirectoryWalker::Action::Continue;
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_LT(result.entries, 60);
}

TEST(DirectoryWalker, EveryFolderEnteredIsLeftOnceBeforeItsSubfoldersAreRead) {
    const QString root = makeAwkwardTree();
    for (const int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        DirectoryWalker::Options options;
        options.threads = threads;
        std::mutex lock;
        QStringList entered = {root};
        QStringList left;
        const auto parentOf = [](std::string_view folder) {
            return QString::fromUtf8(folder.substr(0, folder.rfind('/')));
        };
        DirectoryWalker(options).walk(
            root,
            [&](const DirectoryWalker::Entry& e) {
                std::lock_guard<std::mutex> guard(lock);
                if (e.depth >= 2) {
                    EXPECT_TRUE(left.contains(parentOf(e.folder))) << e.path().toStdString();
                }
                if (e.depth == 0 || !e.isDirectory())
                    return DirectoryWalker::Action::Continue;
                if (e.isHidden())
                    return DirectoryWalker::Action::SkipChildren;
                entered << e.path();
                return DirectoryWalker::Action::Continue;
            },
            [&](std::string_view folder, int worker) {
                std::lock_guard<std::mutex> guard(lock);
                EXPECT_LT(worker, threads);
                left << QString::fromUtf8(folder);
            });
        entered.sort();
        left.sort();
        EXPECT_EQ(left, entered);
    }

    // A folder swapped for another after it was listed is not read, and still left.
    QStringList left;
    const auto result = DirectoryWalker().walk(
        root,
        [&](const DirectoryWalker::Entry& e) {
            if (e.depth == 1 && e.name == "docs") {
                QDir(root).rename("docs", "docs-moved");
                QDir(root).mkdir("docs");
            }
            return e.depth == 0 || e.name == "docs" ? DirectoryWalker::Action::Continue
                                                    : DirectoryWalker::Action::SkipChildren;
        },
        [&](std::string_view folder, int) { left << QString::fromUtf8(folder); });
    EXPECT_EQ(result.unreadableFolders, 1);
    EXPECT_EQ(left, QStringList({root, root + "/docs"}));
}

TEST(DirectoryWalker, AListingIsTheWalkOfOneLevelWithItsStatsOnManyThreads) {
    // More entries than one thread's share, so that several threads stat them.
    const QString root = makeAwkwardTree();
    for (int i = 0; i < 1500; ++i)
        writeFile(root + QStringLiteral("/n%1.txt").arg(i), i % 5);
    const auto describe = [](const DirectoryWalker::Entry& e) {
        return QStringLiteral("%1:%2:%3:%4:%5:%6")
            .arg(e.depth)
            .arg(e.fileName())
            .arg(int(e.type))
            .arg(e.allocatedBytes)
            .arg(e.inode)
            .arg(e.repeatLink);
    };
    QStringList walked;
    const auto walk = DirectoryWalker().walk(root, [&](const DirectoryWalker::Entry& e) {
        walked << describe(e);
        return e.depth == 0 ? DirectoryWalker::Action::Continue
                            : DirectoryWalker::Action::SkipChildren;
    });
    DirectoryWalker::Options options;
    options.threads = 4;
    QStringList listed;
    const auto list = DirectoryWalker(options).list(root, [&](const DirectoryWalker::Entry& e) {
        EXPECT_EQ(e.worker, 0);
        listed << describe(e);
        return DirectoryWalker::Action::Continue;
    });
    EXPECT_EQ(listed, walked);
    EXPECT_EQ(list.entries, walk.entries);
    EXPECT_EQ(list.unreadableFolders, 0);

    // Not a folder, not there, or not readable: as the walk.
    int calls = 0;
    const auto count = [&](const DirectoryWalker::Entry&) {
        ++calls;
        return DirectoryWalker::Action::Continue;
    };
    EXPECT_FALSE(DirectoryWalker(options).list(root + "/absent", count).rootFound);
    const auto file = DirectoryWalker(options).list(root + "/a.txt", count);
    EXPECT_TRUE(file.rootFound);
    EXPECT_EQ(file.entries, 1);
    EXPECT_EQ(calls, 1);
    if (::geteuid() != 0) {
        QFile::setPermissions(root + "/docs", QFileDevice::WriteOwner);
        EXPECT_EQ(DirectoryWalker(options).list(root + "/docs", count).unreadableFolders, 1);
        QFile::setPermissions(root + "/docs", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
    }
}
