#pragma once

#include "cleaning/CleanupScanner.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <sys/stat.h>
#include <unistd.h>

namespace cleaningtest {

// Cleans through the scanner and waits (running the event loop) for the result it hands back.
inline CleanResult cleanAndWait(const CleanupScanner& scanner, const QSet<QString>& ids) {
    auto result = std::make_shared<std::optional<CleanResult>>();
    scanner.clean(ids, [result](const CleanResult& r) { *result = r; });
    EXPECT_TRUE(testsupport::waitFor([&result] { return result->has_value(); }, 30000));
    return result->value_or(CleanResult());
}

inline void writeFile(const QString& path, qsizetype bytes = 100) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(QByteArray(bytes, 'x'));
}

// Sets a file's access and modification times to so many days ago.
inline void age(const QString& path, double accessDaysAgo, double modifyDaysAgo) {
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    struct timespec times[2];
    times[0].tv_sec = now - qint64(accessDaysAgo * 86400);
    times[0].tv_nsec = 0;
    times[1].tv_sec = now - qint64(modifyDaysAgo * 86400);
    times[1].tv_nsec = 0;
    ASSERT_EQ(
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

inline void symlinkTo(const QString& target, const QString& at) {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()),
              0);
}

inline qint64 allocated(const QString& path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_blocks) * 512 : 0;
}

// find's allocated bytes and count of the regular files below root, each inode's bytes once.
struct FindSum {
    qint64 bytes = 0;
    int files = 0;
};
// Sums what find lists for these arguments (before its "-printf"), each inode's bytes once,
// counting the regular files.
inline FindSum findSum(const QStringList& arguments) {
    QProcess find;
    find.start("find", QStringList(arguments) << "-printf"
                                              << "%D:%i %b %y\\n");
    EXPECT_TRUE(find.waitForFinished(30000));
    FindSum sum;
    QSet<QByteArray> seen;
    for (const QByteArray& line : find.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 3)
            continue;
        if (f[2] == "f")
            ++sum.files;
        if (!seen.contains(f[0])) {
            seen.insert(f[0]);
            sum.bytes += f[1].toLongLong() * 512;
        }
    }
    return sum;
}

inline FindSum findRegularFiles(const QString& root) {
    return findSum({root, "-type", "f"});
}

// What `du` counts of a tree taken whole: the allocated bytes of every entry below root (and
// of root itself when withRoot), folders and links included, each inode once; files counts the
// regular files, each name.
inline FindSum findWhole(const QString& root, bool withRoot = false) {
    return withRoot ? findSum({root}) : findSum({root, "-mindepth", "1"});
}

} // namespace cleaningtest
