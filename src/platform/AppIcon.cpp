#include "platform/AppIcon.h"

#include <QPainter>
#include <QSvgRenderer>

static void initAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace AppIcon {

QPixmap pixmap(int size, qreal dpr) {
    initAppResources();
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/app/pendrel.svg"));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(0, 0, size, size));
    return pm;
}

QIcon icon() {
    QIcon result;
    for (int px : {16, 24, 32, 48, 64, 128, 256})
        result.addPixmap(pixmap(px, 1.0));
    return result;
}

} // namespace AppIcon
