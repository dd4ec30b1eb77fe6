#include "ui-kit/Capsule.h"

#include <QPainter>
#include <QPainterPath>

void paintCapsule(QPainter& p, const QRect& rect, const QColor& color, qreal fillOpacity,
                  const QString& text, const QFont& font) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = color;
    fill.setAlphaF(float(fillOpacity));
    const QRectF box(rect);
    QPainterPath capsule;
    capsule.addRoundedRect(box, box.height() / 2, box.height() / 2);
    p.fillPath(capsule, fill);
    p.setPen(color);
    p.setFont(font);
    p.drawText(rect, Qt::AlignCenter, text);
    p.restore();
}
