#include "shell/views/MainBackdrop.h"

#include "ui-kit/Color.h"

#include <cmath>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace MainBackdrop {

namespace {

constexpr qreal kCircleBlur = 2;
constexpr qreal kCircleOpacity = 0.10;

void draw(QPainter& p, const QSize& area) {
    const QRectF box(QPointF(0, 0), QSizeF(area));
    QLinearGradient gradient(box.topLeft(), box.bottomRight());
    gradient.setColorAt(0.0, Color::brandBlue());
    gradient.setColorAt(0.5, Color::brandBlueLight());
    gradient.setColorAt(1.0, Color::brandIndigo());
    p.fillRect(box, gradient);

    // The blur only softens the rim: full strength up to radius − blur, nothing past radius + blur.
    const qreal radius = kCircleDiameter / 2;
    const QPointF centre = box.center() + QPointF(kCircleOffsetX, kCircleOffsetY);
    const qreal outer = radius + kCircleBlur;
    QRadialGradient soft(centre, outer);
    QColor white(255, 255, 255);
    white.setAlphaF(kCircleOpacity);
    QColor clear = white;
    clear.setAlphaF(0);
    soft.setColorAt(0.0, white);
    soft.setColorAt((radius - kCircleBlur) / outer, white);
    soft.setColorAt(1.0, clear);
    p.setPen(Qt::NoPen);
    p.setBrush(soft);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawEllipse(centre, outer, outer);
}

} // namespace

QPixmap pixmap(const QSize& area, qreal dpr) {
    static QPixmap cached;
    static QSize cachedArea;
    static qreal cachedDpr = 0;
    if (area.isEmpty())
        return QPixmap();
    if (cachedArea != area || !qFuzzyCompare(cachedDpr, dpr) || cached.isNull()) {
        QPixmap pm(QSize(int(std::ceil(area.width() * dpr)), int(std::ceil(area.height() * dpr))));
        pm.setDevicePixelRatio(dpr);
        QPainter p(&pm);
        draw(p, area);
        p.end();
        cached = pm;
        cachedArea = area;
        cachedDpr = dpr;
    }
    return cached;
}

void paint(QPainter& painter, const QSize& area, qreal dpr) {
    const QPixmap pm = pixmap(area, dpr);
    if (!pm.isNull())
        painter.drawPixmap(QPointF(0, 0), pm);
}

} // namespace MainBackdrop
