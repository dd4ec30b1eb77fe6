#pragma once

#include "fakes/FakeDiskUsage.h"
#include "platform/NativePath.h"
#include "storage/DiskMapMeasurer.h"
#include "storage/DiskMapScanner.h"
#include "storage/DiskMapTally.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <filesystem>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace diskmaptest {

constexpr qint64 MiB = 1024 * 1024;

// Makes a file whose allocated size is exactly `bytes` when that is a multiple of 4096 (the
// blocks are reserved, not written, so large files cost nothing to make); other sizes are
// written and take whole blocks.
inline void makeFile(const QString& path, qint64 bytes = 4096) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    if (bytes > 0 && (bytes % 4096 != 0 || ::posix_fallocate(fd, 0, bytes) != 0)) {
        const QByteArray chunk(64 * 1024, 'x');
        for (qint64 left = bytes; left > 0; left -= chunk.size())
            ::write(fd, chunk.constData(), size_t(std::min<qint64>(left, chunk.size())));
    }
    ::close(fd);
}

inline void makeDir(const QString& path) {
    QDir().mkpath(path);
}

// What the walker counts for a path: its allocated blocks.
inline qint64 allocated(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_blocks) * 512;
}

// What `du -sk` counts for a path, worked out apart from the walker: the allocated blocks of the
// path and of everything below it (hidden items and folders included, no link followed), each
// file of several names once; with the count of the regular files among them.
struct DuFigure {
    qint64 bytes = 0;
    qint64 files = 0;
};
inline DuFigure duOf(const QString& root) {
    namespace fs = std::filesystem;
    DuFigure figure;
    std::set<std::pair<dev_t, ino_t>> seen;
    const auto add = [&](const fs::path& path) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0)
            return;
        if (!S_ISDIR(st.st_mode) && st.st_nlink > 1 && !seen.insert({st.st_dev, st.st_ino}).second)
            return;
        figure.bytes += qint64(st.st_blocks) * 512;
        figure.files += S_ISREG(st.st_mode) ? 1 : 0;
    };
    const fs::path top(NativePath::encode(root).toStdString());
    add(top);
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(top, error)))
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(top, error))
            add(e.path());
    return figure;
}

// A scan of home whose disk-usage tool is a fake that answers nothing, so every size is the
// walker's own.
inline DiskMapScanner::Request requestFor(const QString& home) {
    DiskMapScanner::Request request;
    request.home = home;
    request.measure.diskUsage = std::make_shared<FakeDiskUsage>();
    return request;
}

// Whether the scanner stops scanning within 20 seconds.
inline bool settled(DiskMapScanner& scanner) {
    return testsupport::waitFor([&] { return !scanner.state().isRunning(); }, 20'000);
}

// One measuring walk of path, with what its tally saw beside the tree it gave.
struct Measured {
    std::optional<MapNode> node;
    qint64 unreadable = 0;
    qint64 files = 0;
    qint64 bytes = 0;
};

inline Measured measure(const QString& path, int depth = 1,
                        DiskMapMeasurer::Options options = DiskMapMeasurer::Options(),
                        DiskMapCategory inherited = DiskMapCategory::Unknown) {
    DiskMapTally tally(1, CancelToken(), {});
    const DiskMapMeasurer measurer(std::move(options));
    Measured run;
    run.node = measurer.measure(path, depth, inherited, tally);
    run.unreadable = tally.unreadable();
    run.files = tally.filesSeen();
    run.bytes = tally.bytesSeen();
    return run;
}

inline QStringList names(const MapNode& node) {
    QStringList out;
    for (const MapNode& c : node.children)
        out << c.name;
    return out;
}

inline const MapNode* childNamed(const MapNode& node, const QString& name) {
    for (const MapNode& c : node.children) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

} // namespace diskmaptest
