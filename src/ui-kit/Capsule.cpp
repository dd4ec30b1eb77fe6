#include "ui-kit/Capsule.h"

#include "ui-kit/QKPaint.h"

#include <QPainter>

void paintCapsule(QPainter& p, const QRect& rect, const QColor& color, qreal fillOpacity,
                  const QString& text, const QFont& font) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = color;
    fill.setAlphaF(float(fillOpacity));
    const QRectF box(rect);
    QKPaint::fillRounded(p, box, box.height() / 2, fill);
    p.setPen(color);
    p.setFont(font);
    p.drawText(rect, Qt::AlignCenter, text);
    p.restore();
}
