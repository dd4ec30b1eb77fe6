#include "ui-kit/QKListSelection.h"

#include "ui-kit/QKPaint.h"

#include <QPainter>
#include <QStyleOptionViewItem>

namespace QKListSelection {

void paint(QPainter* painter, const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_Selected))
        return;
    QColor tint = option.palette.color(QPalette::Highlight);
    tint.setAlphaF(0.22f);
    QKPaint::fillRounded(*painter, QRectF(option.rect).adjusted(4, 1, -4, -1), 6, tint);
}

} // namespace QKListSelection
