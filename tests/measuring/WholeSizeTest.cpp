#include "measuring/WholeSize.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 blocksOf(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_blocks) * 512 : 0;
}

// A tree that holds every kind of entry a clean takes with a folder: a hidden file, a package's
// insides, a file of two names, a link that points out of the tree, and folders of their own.
struct Tree {
    QString root = testsupport::freshDir("whole-size");
    QString outside = testsupport::freshDir("whole-size-outside");
    QStringList counted; // every path whose blocks count once

    Tree() {
        QDir().mkpath(root + "/Tool.app/Contents");
        QDir().mkpath(root + "/.cache");
        testsupport::write(root + "/a.bin", QByteArray(40'000, 'a'));
        testsupport::write(root + "/.cache/hidden.bin", QByteArray(9'000, 'h'));
        testsupport::write(root + "/Tool.app/Contents/tool", QByteArray(20'000, 't'));
        testsupport::write(outside + "/far.bin", QByteArray(300'000, 'f'));
        EXPECT_EQ(::link(QFile::encodeName(root + "/a.bin").constData(),
                         QFile::encodeName(root + "/a-again.bin").constData()),
                  0);
        EXPECT_EQ(::symlink(QFile::encodeName(outside + "/far.bin").constData(),
                            QFile::encodeName(root + "/far-link").constData()),
                  0);
        counted = {root,
                   root + "/a.bin",
                   root + "/.cache",
                   root + "/.cache/hidden.bin",
                   root + "/Tool.app",
                   root + "/Tool.app/Contents",
                   root + "/Tool.app/Contents/tool",
                   root + "/far-link"};
    }
    qint64 expectedBytes() const {
        qint64 sum = 0;
        for (const QString& p : counted)
            sum += blocksOf(p);
        return sum;
    }
};

TEST(WholeSize, CountsEveryBlockOnceFollowsNoLinkAndEveryNameOfAFile) {
    const Tree tree;
    const qint64 expected = tree.expectedBytes();
    ASSERT_GT(expected, 60'000);
    // The same on one thread and on several.
    for (int threads : {1, 4}) {
        const WholeSize::Tally tally = WholeSize::of(tree.root, threads);
        EXPECT_EQ(tally.bytes, expected) << threads << " threads";
        // a.bin under both names, the hidden file and the package's tool; not the link.
        EXPECT_EQ(tally.files, 4) << threads << " threads";
    }
}

TEST(WholeSize, AFileIsItsOwnBlocksAndWhatCannotBeFoundIsNothing) {
    const Tree tree;
    EXPECT_EQ(WholeSize::of(tree.root + "/a.bin", 1),
              (WholeSize::Tally{blocksOf(tree.root + "/a.bin"), 1}));
    EXPECT_EQ(WholeSize::of(tree.root + "/missing", 2), WholeSize::Tally{});
    CancelToken cancelled;
    cancelled.cancel();
    EXPECT_LT(WholeSize::of(tree.root, 1, cancelled).bytes, tree.expectedBytes());
}

} // namespace
