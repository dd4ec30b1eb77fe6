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
    const QColor fill = Themed::accentColor(m_accent, scheme);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(centre, radius, radius);
    QColor chosen = QKForeground::color(QKForeground::Primary, pal);
    chosen.setAlphaF(0.8f);
    if (isChecked()) {
        p.setPen(QPen(chosen, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, radius, radius);
    }
    if (!QKFocusRing::shows(this))
        return;
    // On the stored choice the focus ring takes the choice ring's place and stands apart from
    // it; on another swatch it runs just inside the circle, over the accent itself, so it reads
    // whatever the window behind it.
    if (isChecked())
        QKFocusRing::paint(p, QRectF(rect()), kExtent / 2.0, pal,
                           Color::over(chosen, pal.color(QPalette::Window)));
    else
        QKFocusRing::paint(p,
                           QRectF(centre.x() - radius, centre.y() - radius, kDiameter, kDiameter),
                           radius, pal, fill);
}
