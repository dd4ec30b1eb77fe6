#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <QFile>
#include <QString>
#include <sys/stat.h>

namespace testsupport {

// When the file was last read, in nanoseconds since 1970; -1 when it cannot be told.
inline qint64 accessTimeNs(const QString& path) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_atim.tv_sec) * 1000000000 + st.st_atim.tv_nsec;
}

// Dates the file back: read 200 days ago, written 100 days ago. An access time older than the
// modification time is one that any mount but a noatime one moves on the next read.
inline void ageFile(const QString& path) {
    const time_t now = time(nullptr);
    const struct timespec times[2] = {{now - 200 * 86400, 0}, {now - 100 * 86400, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0)
        << path.toStdString();
}

// Whether a plain read of an aged file in `folder` moves its access time. On a mount that never
// records reads, a reader that leaves the time alone cannot be told from one that does not.
inline bool plainReadsMoveAccessTime(const QString& folder) {
    const QString probe = folder + QStringLiteral("/.read-probe");
    {
        QFile f(probe);
        if (!f.open(QIODevice::WriteOnly) || f.write("probe") != 5)
            return false;
    }
    ageFile(probe);
    const qint64 before = accessTimeNs(probe);
    {
        QFile f(probe);
        if (!f.open(QIODevice::ReadOnly) || f.readAll().isEmpty())
            return false;
    }
    const bool moved = accessTimeNs(probe) != before;
    QFile::remove(probe);
    return moved;
}

} // namespace testsupport
