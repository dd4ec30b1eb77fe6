#include "platform/PhotoImage.h"

#include "platform/HeifImage.h"

#include <QImageReader>

namespace PhotoImage {

QSize fitted(const QSize& size, const QSize& bound) {
    if (!bound.isValid() || bound.isEmpty() || size.isEmpty())
        return size;
    if (size.width() <= bound.width() && size.height() <= bound.height())
        return size;
    return size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

std::optional<QSize> pixelSize(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (reader.canRead()) {
        const QSize s = reader.size();
        if (s.isValid() && !s.isEmpty())
            return s;
    }
    return HeifImage::size(path);
}

std::optional<QImage> read(const QString& path, const QSize& bound) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (reader.canRead()) {
        const QSize full = reader.size();
        if (full.isValid() && !full.isEmpty()) {
            // The reader scales the stored picture before turning it upright, so a sideways
            // photo is fitted with its stored axes swapped.
            const bool swapped =
                reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
            const QSize box = swapped ? bound.transposed() : bound;
            const QSize target = fitted(full, box);
            if (target != full)
                reader.setScaledSize(target);
        }
        QImage image = reader.read();
        if (!image.isNull())
            return image;
        return std::nullopt;
    }
    return HeifImage::read(path, bound);
}

} // namespace PhotoImage
