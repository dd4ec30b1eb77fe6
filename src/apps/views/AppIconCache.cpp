#include "apps/views/AppIconCache.h"

#include "platform/AppBundle.h"
#include "ui-kit/Color.h"

#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

namespace {

// The declared picture at that size, or a null pixmap when there is none Qt can read.
QPixmap declaredIcon(const QString& bundlePath, int size, qreal dpr) {
    const QString file = AppBundle::iconFile(bundlePath);
    if (file.isEmpty())
        return {};
    QImageReader reader(file);
    if (!reader.canRead())
        return {};
    const int edge = qRound(size * dpr);
    reader.setScaledSize(QSize(edge, edge));
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

} // namespace

QPixmap AppIconCache::tile(const QString& name, int size, qreal dpr) {
    static const Color::SystemColor hues[] = {
        Color::SystemColor::Blue,   Color::SystemColor::Purple, Color::SystemColor::Green,
        Color::SystemColor::Orange, Color::SystemColor::Pink,   Color::SystemColor::Teal,
    };
    const QColor fill = Color::system(hues[qHash(name) % std::size(hues)], false);
    QPixmap pixmap(QSize(qRound(size * dpr), qRound(size * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    const QRectF box(0.5, 0.5, size - 1.0, size - 1.0);
    shape.addRoundedRect(box, size * 0.225, size * 0.225);
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, fill.lighter(118));
    gradient.setColorAt(1, fill);
    painter.fillPath(shape, gradient);
    const QString trimmed = name.trimmed();
    const QString letter = trimmed.isEmpty() ? QStringLiteral("?") : trimmed.left(1).toUpper();
    QFont font;
    font.setPixelSize(qMax(6, qRound(size * 0.5)));
    font.setWeight(QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, letter);
    return pixmap;
}

QPixmap AppIconCache::pixmap(const QString& bundlePath, const QString& name, int size, qreal dpr) {
    const QString key = bundlePath + QLatin1Char('\n') + QString::number(size) + QLatin1Char('@') +
                        QString::number(dpr);
    if (const auto it = m_cache.constFind(key); it != m_cache.cend())
        return it.value();
    QPixmap icon = declaredIcon(bundlePath, size, dpr);
    if (icon.isNull())
        icon = tile(name, size, dpr);
    m_cache.insert(key, icon);
    return icon;
}
