// The parallel walker under load: eight threads reading one tree, again and again, and walks
// cancelled at different points.
#include "platform/DirectoryWalker.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <unistd.h>

namespace {

QString makeTree() {
    const QString root = testsupport::freshDir("stress-tree");
    for (int d = 0; d < 60; ++d) {
        const QString dir = root + QStringLiteral("/d%1/e%2").arg(d % 7).arg(d);
        QDir().mkpath(dir);
        for (int f = 0; f < 15; ++f) {
            QFile file(dir + QStringLiteral("/f%1").arg(f));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(100 * f, 'x'));
        }
        ::link(QFile::encodeName(dir + "/f1").constData(),
               QFile::encodeName(root + QStringLiteral("/hard%1").arg(d)).constData());
    }
    return root;
}

} // namespace

TEST(WalkStress, ParallelWalksAgreeAndCancelCleanly) {
    const QString root = makeTree();
    DirectoryWalker::Options options;
    options.threads = 8;
    auto total = [&](const CancelToken& cancel, int stopAfter) {
        std::atomic<int> seen{0};
        PerWorker<qint64> bytes(8);
        DirectoryWalker(options, cancel).walk(root, [&](const DirectoryWalker::Entry& e) {
            if (!e.repeatLink)
                bytes.slot(e.worker) += e.allocatedBytes;
            if (stopAfter && ++seen == stopAfter)
                cancel.cancel();
            return DirectoryWalker::Action::Continue;
        });
        return bytes.fold(qint64(0), [](qint64 a, qint64 b) { return a + b; });
    };
    const qint64 expected = total(CancelToken(), 0);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(total(CancelToken(), 0), expected);
        total(CancelToken(), 1 + i * 37);
    }
}
