#include "ui-kit/SoftShadow.h"

#include <algorithm>
#include <cmath>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <vector>

namespace {

// One horizontal or vertical box-blur pass over an 8-bit alpha image.
void boxBlur(QImage& img, int radius, bool horizontal) {
    const int w = img.width(), h = img.height();
    const int lines = horizontal ? h : w, len = horizontal ? w : h;
    std::vector<int> line(len);
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> uchar& {
            return horizontal ? img.scanLine(l)[i] : img.scanLine(i)[l];
        };
        for (int i = 0; i < len; ++i)
            line[i] = at(i);
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += line[std::clamp(i, 0, len - 1)];
        for (int i = 0; i < len; ++i) {
            at(i) = uchar(sum / window);
            sum += line[std::min(i + radius + 1, len - 1)] - line[std::max(i - radius, 0)];
        }
    }
}

} // namespace

namespace SoftShadow {

const QPixmap& tile(qreal radius, int blur, qreal opacity, qreal dpr, int* margin) {
    static QHash<QString, QPixmap> cache;
    const int r = int(std::ceil(radius));
    *margin = blur + r;
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(radius).arg(blur).arg(opacity).arg(dpr);
    if (auto it = cache.constFind(key); it != cache.cend())
        return *it;
    const int logical = 2 * (*margin) + 1;
    const int px = int(std::ceil(logical * dpr));
    QImage alpha(px, px, QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter p(&alpha);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRoundedRect(QRectF(blur, blur, logical - 2 * blur, logical - 2 * blur), radius,
                          radius);
    }
    const int box = std::max(1, int(std::lround(blur * dpr / 3.0)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, box, true);
        boxBlur(alpha, box, false);
    }
    QImage argb(px, px, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < px; ++y) {
        const uchar* src = alpha.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < px; ++x)
            dst[x] = qRgba(0, 0, 0, int(std::lround(src[x] * opacity)));
    }
    QPixmap pm = QPixmap::fromImage(argb);
    pm.setDevicePixelRatio(dpr);
    return *cache.insert(key, pm);
}

} // namespace SoftShadow
