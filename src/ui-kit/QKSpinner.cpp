#include "ui-kit/QKSpinner.h"

#include "ui-kit/QKTurn.h"

#include <cmath>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kSpokes = 12;
bool animated = true;
} // namespace

QKSpinner::QKSpinner(QWidget* parent) : QWidget(parent), m_turn(new QKTurn(this, kSpokes, 80)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_turn->setWanted(true);
}

QSize QKSpinner::sizeHint() const {
    const int edge = QFontMetrics(font()).height();
    return QSize(edge, edge);
}

void QKSpinner::setAnimated(bool on) {
    animated = on;
}

bool QKSpinner::isAnimated() {
    return animated;
}

void QKSpinner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, QRectF(rect()), m_turn->step(), palette().color(QPalette::WindowText));
}

void QKSpinner::paint(QPainter& p, const QRectF& rect, int step, QColor color) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal edge = std::min(rect.width(), rect.height());
    const qreal outer = edge * 0.45, inner = edge * 0.22;
    const qreal base = color.alphaF();
    p.translate(rect.center());
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the current step is darkest; the ones behind it fade out.
        const int age = (step - i + kSpokes) % kSpokes;
        color.setAlphaF(float(base * (1.0 - 0.75 * age / (kSpokes - 1))));
        p.setPen(QPen(color, std::max(1.5, edge * 0.09), Qt::SolidLine, Qt::RoundCap));
        const qreal angle = 2 * M_PI * i / kSpokes;
        p.drawLine(QPointF(std::sin(angle) * inner, -std::cos(angle) * inner),
                   QPointF(std::sin(angle) * outer, -std::cos(angle) * outer));
    }
    p.restore();
}
