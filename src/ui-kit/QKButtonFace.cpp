#include "ui-kit/QKButtonFace.h"

#include "ui-kit/Color.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor mixed(const QColor& top, qreal alpha, const QColor& bottom) {
    return QColor::fromRgbF(float(top.redF() * alpha + bottom.redF() * (1 - alpha)),
                            float(top.greenF() * alpha + bottom.greenF() * (1 - alpha)),
                            float(top.blueF() * alpha + bottom.blueF() * (1 - alpha)));
}

} // namespace

namespace QKButtonFace {

int paddingX(bool small) {
    return small ? 10 : 14;
}

int paddingY(bool small) {
    return small ? 3 : 6;
}

qreal radius(bool small) {
    return small ? 5 : 7;
}

QSize frameFor(const QFont& font, int labelWidth, bool small) {
    QFont regular = font;
    regular.setWeight(QFont::Normal);
    return QSize(labelWidth + 2 * paddingX(small),
                 QFontMetrics(regular).height() + 2 * paddingY(small));
}

QColor paintBordered(QPainter& p, const QRectF& frame, const QPalette& pal, const State& state,
                     qreal r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor primary = QKForeground::color(QKForeground::Primary, pal);
    QPainterPath shape;
    shape.addRoundedRect(frame, r, r);
    QColor fill = Color::cardFill(pal);
    if (state.enabled && state.down)
        fill = mixed(primary, 0.12, fill);
    else if (state.enabled && state.hovered)
        fill = mixed(primary, 0.05, fill);
    p.fillPath(shape, fill);
    QColor stroke = primary;
    stroke.setAlphaF(Color::isDark(pal) ? 0.16f : 0.14f);
    if (!state.enabled)
        stroke.setAlphaF(stroke.alphaF() * 0.6f);
    p.setPen(QPen(stroke, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    if (state.focusRing)
        QKFocusRing::paint(p, frame, r, pal, fill);
    p.restore();
    QColor ink = primary;
    if (!state.enabled)
        ink.setAlphaF(0.4f);
    return ink;
}

} // namespace QKButtonFace
