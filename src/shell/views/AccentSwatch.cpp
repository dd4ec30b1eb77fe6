#include "shell/views/AccentSwatch.h"

#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/Themed.h"

#include <QPainter>

namespace {

// How far inside the circle's edge the choice ring runs, to its middle.
constexpr qreal kChoiceInset = 2.5;

} // namespace

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
    const bool focused = QKFocusRing::shows(this);
    // The stored choice is ringed inside the circle, so the circle's edge is its accent whether
    // it is chosen or not: a dark choice ring on the edge fades into the window through every
    // shade, and some pixel of that stands as close to any focus ring colour as the accent.
    if (isChecked()) {
        QColor chosen = QKForeground::color(QKForeground::Primary, pal);
        chosen.setAlphaF(0.8f);
        p.setPen(QPen(chosen, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, radius - kChoiceInset, radius - kChoiceInset);
    }
    if (!focused)
        return;
    // Off the circle, on the window: drawn over the accent itself it has to part from a bright
    // fill and falls back to a narrow band inside it. Across the gap it is still seen beside
    // the circle's edge, so it stands apart from the fill too.
    const qreal outer = radius + kRingOutset;
    QKFocusRing::paint(p, QRectF(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer),
                       outer, pal, fill, {pal.color(QPalette::Window)});
}
