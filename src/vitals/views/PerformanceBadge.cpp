#include "vitals/views/PerformanceBadge.h"

#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

PerformanceBadge::PerformanceBadge(QWidget* parent) : QWidget(parent) {
    QKFont::apply(this, TextStyle::Caption, QFont::DemiBold);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PerformanceBadge::set(const QString& text, PerformanceText::Tone tone) {
    if (text == m_text && tone == m_tone)
        return;
    m_text = text;
    m_tone = tone;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void PerformanceBadge::setLevel(PerformanceText::Level level) {
    set(PerformanceText::levelWord(level), PerformanceText::levelTone(level));
}

QSize PerformanceBadge::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_text) + 16, fm.height() + 6);
}

void PerformanceBadge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = QKForeground::color(PerformanceWidgets::toneStyle(m_tone), palette());
    QColor fill = color;
    fill.setAlphaF(0.15f);
    const QRectF box = QRectF(rect());
    QPainterPath capsule;
    capsule.addRoundedRect(box, box.height() / 2, box.height() / 2);
    p.fillPath(capsule, fill);
    p.setPen(color);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, m_text);
}

void PerformanceBadge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
