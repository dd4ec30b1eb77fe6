#include "home/views/TintPanel.h"

#include "home/views/HomeTint.h"

#include <QPainter>
#include <QPainterPath>

TintPanel::TintPanel(HomeTone tone, qreal cornerRadius, QWidget* parent)
    : QWidget(parent), m_tone(tone), m_radius(cornerRadius) {}

void TintPanel::setTone(HomeTone tone) {
    if (tone == m_tone)
        return;
    m_tone = tone;
    update();
}

void TintPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF edge = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(edge, m_radius, m_radius);
    p.fillPath(path, HomeTint::color(m_tone, palette(), 0.07));
    p.setPen(QPen(HomeTint::color(m_tone, palette(), 0.18), 1.0));
    p.drawPath(path);
}
