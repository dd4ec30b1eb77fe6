#include "platform/BoundedFile.h"

#include <QFile>
#include <QFileInfo>

namespace BoundedFile {

std::optional<QByteArray> read(const QString& path, qint64 maxBytes) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        return std::nullopt;
    return bytes;
}

} // namespace BoundedFile
