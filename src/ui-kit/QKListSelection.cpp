#include "ui-kit/QKListSelection.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionViewItem>

namespace QKListSelection {

void paint(QPainter* painter, const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_Selected))
        return;
    QColor tint = option.palette.color(QPalette::Highlight);
    tint.setAlphaF(0.22f);
    QPainterPath path;
    path.addRoundedRect(QRectF(option.rect).adjusted(4, 1, -4, -1), 6, 6);
    painter->fillPath(path, tint);
}

} // namespace QKListSelection
