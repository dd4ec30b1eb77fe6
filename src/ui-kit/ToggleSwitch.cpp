#include "ui-kit/ToggleSwitch.h"

#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"

#include <algorithm>
#include <cmath>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

ToggleSwitch::ToggleSwitch(const QString& label, QWidget* parent) : QAbstractButton(parent) {
    QKAccessible::install();
    setText(label);
    setAccessibleName(label);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    QKFocusRing::pressOnReturn(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ToggleSwitch::trackSize(const QFont& font) {
    // The body text's size at the normal step.
    constexpr qreal kNormalPixels = 13;
    const qreal scale = std::max(1.0, QFontInfo(font).pixelSize() / kNormalPixels);
    return QSize(int(std::lround(kTrackWidth * scale)), int(std::lround(kTrackHeight * scale)));
}

QSize ToggleSwitch::sizeHint() const {
    const QFontMetrics fm(font());
    const QSize track = trackSize(font());
    return QSize(fm.horizontalAdvance(text()) + 16 + track.width() + kRingOutset,
                 std::max(fm.height() + 4, track.height() + 2 * kRingOutset));
}

QSize ToggleSwitch::minimumSizeHint() const {
    return sizeHint();
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const qreal fade = isEnabled() ? 1.0 : 0.45;

    QColor ink = QKForeground::color(QKForeground::Primary, pal);
    ink.setAlphaF(float(ink.alphaF() * fade));
    p.setPen(ink);
    const QSize size = trackSize(font());
    const int trackLeft = width() - kRingOutset - size.width();
    p.drawText(QRect(0, 0, trackLeft - 12, height()), Qt::AlignLeft | Qt::AlignVCenter, text());

    // On whole pixels, so the ring's straight runs are crisp and only its ends blend.
    const QRectF track(trackLeft, (height() - size.height()) / 2, size.width(), size.height());
    paintTrack(p, track, isChecked(), isEnabled(), QKFocusRing::shows(this), pal);
}

void ToggleSwitch::paintTrack(QPainter& p, const QRectF& track, bool on, bool enabled, bool focused,
                              const QPalette& pal) {
    const qreal fade = enabled ? 1.0 : 0.45;
    QColor fill = on ? pal.color(QPalette::Active, QPalette::Highlight)
                     : QKForeground::color(QKForeground::Quaternary, pal);
    fill.setAlphaF(float(fill.alphaF() * fade));
    QPainterPath shape;
    shape.addRoundedRect(track, track.height() / 2.0, track.height() / 2.0);
    p.fillPath(shape, fill);
    if (focused) {
        // The ring stands off the track, on the window: on the track's edge it would meet the
        // white knob, which no ring colour parts from both the knob and a dark window. Across
        // the gap it is still seen beside the track's rounded ends, so it stands apart from the
        // fill as well as from the window.
        const QColor window = pal.color(QPalette::Active, QPalette::Window);
        const qreal out = kRingOutset;
        QKFocusRing::paint(p, track.adjusted(-out, -out, out, out), track.height() / 2.0 + out, pal,
                           Color::over(fill, window), {window});
    }

    const qreal knob = track.height() - 4;
    const qreal x = on ? track.right() - 2 - knob : track.left() + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, int(40 * fade)));
    p.drawEllipse(QRectF(x, track.top() + 2.5, knob, knob));
    QColor white(255, 255, 255);
    white.setAlphaF(float(enabled ? 1.0 : 0.8));
    p.setBrush(white);
    p.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}
