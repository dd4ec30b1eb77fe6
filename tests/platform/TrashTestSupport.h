#pragma once

// Files written and read for the Trash and disk-usage tests, by path or as raw bytes of a name
// that need not be UTF-8.
#include "platform/DirectoryWalker.h"
#include "platform/DiskUsage.h"
#include "platform/FreedesktopTrash.h"
#include "platform/NativePath.h"
#include "support/TestMount.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

namespace trashtest {

inline void writeFile(const QString& path, const QByteArray& bytes = "x") {
    testsupport::write(path, bytes);
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray bytesOf(const QString& path) {
    return NativePath::encode(path);
}

inline bool existsRaw(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

inline void writeRaw(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << path.toHex().constData();
    ASSERT_EQ(::write(fd, "data", 4), 4);
    ::close(fd);
}

inline QByteArray readRaw(const QByteArray& path) {
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    if (fd >= 0)
        ::close(fd);
    return bytes;
}

// The names in a folder, as bytes, sorted.
inline QList<QByteArray> listRaw(const QString& folder) {
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(bytesOf(folder).constData())) {
        while (dirent* d = ::readdir(dir)) {
            const QByteArray name(d->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

using testsupport::Mount;

} // namespace trashtest
