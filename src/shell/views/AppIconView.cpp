#include "shell/views/AppIconView.h"

#include "platform/AppIcon.h"
#include "shell/AboutText.h"
#include "ui-kit/QKPaint.h"

#include <cmath>
#include <QGraphicsDropShadowEffect>
#include <QImage>
#include <QPainter>

AppIconView::AppIconView(int edge, qreal cornerRadius, qreal shadowOpacity, QWidget* parent)
    : QWidget(parent), m_edge(edge), m_radius(cornerRadius) {
    setFixedSize(edge, edge);
    setAccessibleName(AboutText::appName());
    auto* shadow = new QGraphicsDropShadowEffect(this);
    QColor black(0, 0, 0);
    black.setAlphaF(float(shadowOpacity));
    shadow->setColor(black);
    shadow->setBlurRadius(8); // Qt's blur radius spans about twice the shadow's spread
    shadow->setOffset(0, 2);
    setGraphicsEffect(shadow);
}

void AppIconView::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    if (m_cache.isNull() || !qFuzzyCompare(m_cacheDpr, dpr)) {
        // Drawn once per pixel ratio: the icon cut to its rounded square with a smooth edge.
        const QPixmap icon = AppIcon::pixmap(m_edge, dpr);
        QImage img(icon.size(), QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(dpr);
        img.fill(Qt::transparent);
        QPainter ip(&img);
        ip.setRenderHint(QPainter::Antialiasing);
        QKPaint::fillRounded(ip, QRectF(0, 0, m_edge, m_edge), m_radius, Qt::black);
        ip.setCompositionMode(QPainter::CompositionMode_SourceIn);
        ip.drawPixmap(QPointF(0, 0), icon);
        ip.end();
        m_cache = QPixmap::fromImage(img);
        m_cacheDpr = dpr;
    }
    QPainter p(this);
    p.drawPixmap(QPointF(0, 0), m_cache);
}
