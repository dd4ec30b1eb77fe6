#include "vitals/views/PerformanceBadge.h"

#include "ui-kit/Capsule.h"

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
    paintCapsule(p, rect(), QKForeground::color(PerformanceWidgets::toneStyle(m_tone), palette()),
                 0.15, m_text, font());
}

void PerformanceBadge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
