#include "ui-kit/QKPaint.h"

#include <QPainter>
#include <QPainterPath>

namespace QKPaint {

void fillRounded(QPainter& painter, const QRectF& rect, qreal radius, const QBrush& brush) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, brush);
}

} // namespace QKPaint
