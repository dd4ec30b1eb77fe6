#include "shell/views/AccentSwatch.h"

#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/Themed.h"

#include <QPainter>

AccentSwatch::AccentSwatch(AccentChoice accent, QWidget* parent)
    : QAbstractButton(parent), m_accent(accent) {
    const QString raw = rawValue(accent);
    setObjectName(QStringLiteral("swatch-") + raw);
    setAccessibleName(raw + QStringLiteral(" accent"));
    setToolTip(raw);
    setCursor(Qt::PointingHandCursor);
    setCheckable(true);
    QKAccessible::setChoice(this, QAccessible::RadioButton);
    setFocusPolicy(Qt::TabFocus);
    QKFocusRing::pressOnReturn(this);
    setFixedSize(kExtent, kExtent);
}

void AccentSwatch::setRinged(bool ringed) {
    setChecked(ringed);
}

void AccentSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const ColorScheme scheme = Color::isDark(pal) ? ColorScheme::Dark : ColorScheme::Light;
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = kDiameter / 2.0;
    p.setPen(Qt::NoPen);
    p.setBrush(Themed::accentColor(m_accent, scheme));
    p.drawEllipse(centre, radius, radius);
    if (isChecked() || hasFocus()) {
        QColor ring = isChecked() ? QKForeground::color(QKForeground::Primary, pal)
                                  : pal.color(QPalette::Highlight);
        ring.setAlphaF(isChecked() ? 0.8f : 0.5f);
        p.setPen(QPen(ring, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, radius, radius);
    }
}
