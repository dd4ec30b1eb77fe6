#include "shell/views/SidebarRow.h"

#include "platform/SymbolIcons.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKPaint.h"

#include <algorithm>
#include <cmath>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {

constexpr int kPadH = 8;
constexpr int kPadV = 5;
constexpr int kSpacing = 10;
constexpr int kTrailingMin = 4;
constexpr qreal kRowRadius = 10;
constexpr qreal kBadgeRadius = 7;

QColor white(qreal alpha) {
    QColor c(255, 255, 255);
    c.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return c;
}

qreal mix(qreal from, qreal to, qreal t) {
    return from + (to - from) * t;
}

} // namespace

SidebarRow::SidebarRow(const QString& featureId, const QString& title, const QString& symbol,
                       QWidget* parent)
    : QAbstractButton(parent), m_id(featureId), m_symbol(symbol),
      m_animation(new QVariantAnimation(this)) {
    setObjectName(QStringLiteral("row-") + featureId);
    setText(title);
    setAccessibleName(title);
    setCheckable(true);
    QKAccessible::setChoice(this, QAccessible::PageTab);
    setFocusPolicy(Qt::TabFocus);
    QKFocusRing::pressOnReturn(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    QKFont::apply(this, TextStyle::Callout);
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        m_emphasis = v.toReal();
        update();
    });
}

void SidebarRow::setSelected(bool selected, bool animated) {
    const bool changed = selected != isChecked();
    setChecked(selected);
    const qreal target = selected ? 1.0 : 0.0;
    m_animation->stop();
    if (animated && changed && isVisible()) {
        m_animation->setStartValue(m_emphasis);
        m_animation->setEndValue(target);
        m_animation->start();
    } else {
        m_emphasis = target;
    }
    if (changed)
        updateGeometry();
    update();
}

QFont SidebarRow::titleFont(bool selected) const {
    QFont f = font();
    f.setWeight(selected ? QFont::DemiBold : QFont::Normal);
    return f;
}

int SidebarRow::symbolEdge() const {
    // As large as a semibold callout glyph, so the symbol follows the text size.
    return std::max(8, int(std::lround(QFontInfo(font()).pixelSize() * 1.15)));
}

QSize SidebarRow::sizeHint() const {
    const QFontMetrics fm(titleFont(true));
    const int line = std::max(kBadge, fm.height());
    const int width =
        kPadH + kBadge + kSpacing + fm.horizontalAdvance(text()) + kTrailingMin + kPadH;
    return QSize(width, line + 2 * kPadV);
}

QSize SidebarRow::minimumSizeHint() const {
    const QSize hint = sizeHint();
    return QSize(kPadH + kBadge + kPadH, hint.height());
}

void SidebarRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal t = m_emphasis;
    const QRectF box = QRectF(rect());

    // Row background: soft white when selected, a faint fill under the pointer.
    const qreal hoverFill = (m_hovered && isEnabled()) ? 0.07 : 0.0;
    const qreal fill = mix(hoverFill, Color::softWhite().alphaF(), t);
    if (fill > 0) {
        QKPaint::fillRounded(p, box, kRowRadius, white(fill));
    }
    if (t > 0) {
        QPainterPath edge;
        edge.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), kRowRadius - 0.5, kRowRadius - 0.5);
        p.setPen(QPen(white(0.18 * t), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(edge);
    }
    // The accent would vanish into the sidebar's blue; the kit picks a ring that stands out.
    if (hasFocus())
        QKFocusRing::paint(p, box, kRowRadius, palette(), Color::brandBlue());

    // Icon badge.
    const QRectF badge(kPadH, (height() - kBadge) / 2.0, kBadge, kBadge);
    QPainterPath badgeShape;
    badgeShape.addRoundedRect(badge, kBadgeRadius, kBadgeRadius);
    p.setPen(Qt::NoPen);
    p.fillPath(badgeShape, white(mix(0.08, 0.20, t)));

    const QColor ink = white(mix(0.82, 1.0, t));
    const int edge = symbolEdge();
    const qreal dpr = devicePixelRatioF();
    const QString key = QStringLiteral("%1|%2").arg(edge).arg(dpr);
    if (key != m_symbolKey) {
        m_symbolCache = SymbolIcons::pixmap(m_symbol, QSize(edge, edge), white(1.0), dpr);
        m_symbolKey = key;
    }
    p.save();
    p.setOpacity(ink.alphaF());
    p.drawPixmap(QPointF(badge.center().x() - edge / 2.0, badge.center().y() - edge / 2.0),
                 m_symbolCache);
    p.restore();

    // Title, one line, cut at the end.
    const QFont f = titleFont(isChecked());
    p.setFont(f);
    p.setPen(ink);
    const QFontMetrics fm(f);
    const int textLeft = int(badge.right()) + kSpacing;
    const int available = std::max(0, width() - textLeft - kTrailingMin - kPadH);
    const QString shown = fm.elidedText(text(), Qt::ElideRight, available);
    p.drawText(QRect(textLeft, 0, available, height()), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

void SidebarRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        m_symbolKey.clear();
        updateGeometry();
    }
    QAbstractButton::changeEvent(event);
}

void SidebarRow::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SidebarRow::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
