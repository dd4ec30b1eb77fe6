#include "shots/ShotsFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace ShotsFiles {

void reserve(const QString& path, qint64 bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    if (::posix_fallocate(fd, 0, bytes) != 0) {
        const QByteArray chunk(4096, 'x');
        for (qint64 left = std::min<qint64>(bytes, 4 * MiB); left > 0; left -= chunk.size())
            (void)!::write(fd, chunk.constData(), size_t(chunk.size()));
    }
    ::close(fd);
}

void many(const QString& home, const QString& folder, const QString& pattern, int count,
          qint64 bytes) {
    for (int i = 0; i < count; ++i)
        reserve(home + "/" + folder + "/" + pattern.arg(i, 4, 10, QLatin1Char('0')),
                bytes + (i % 7) * 64 * 1024);
}

} // namespace ShotsFiles
