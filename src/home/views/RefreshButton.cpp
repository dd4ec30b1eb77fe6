#include "home/views/RefreshButton.h"

#include "home/DashboardText.h"

#include "platform/SymbolIcons.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKButtonFace.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKTurn.h"

#include <cmath>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kGap = 6;
constexpr int kSpokes = 12;
} // namespace

RefreshButton::RefreshButton(QWidget* parent)
    : QKBorderedButton(DashboardText::refreshTitle(), parent),
      m_turn(new QKTurn(this, kSpokes, 80)) {
    setObjectName(QStringLiteral("refreshButton"));
    setSmall(true);
}

void RefreshButton::setChecking(bool checking) {
    if (checking == m_checking)
        return;
    m_checking = checking;
    setText(checking ? DashboardText::refreshChecking() : DashboardText::refreshTitle());
    setEnabled(!checking);
    m_turn->setWanted(checking);
    updateGeometry();
    update();
}

int RefreshButton::glyphSize() const {
    return std::max(1, int(std::lround(QFontInfo(font()).pixelSize() * 1.05)));
}

QSize RefreshButton::sizeHint() const {
    // Sized for the wider of the two labels, so the header row does not shift when a check
    // starts or ends.
    const QFontMetrics fm(font());
    const int label = std::max(fm.horizontalAdvance(DashboardText::refreshTitle()),
                               fm.horizontalAdvance(DashboardText::refreshChecking()));
    return QKButtonFace::frameFor(font(), glyphSize() + kGap + label, true);
}

void RefreshButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = paintFace(p, QKFocusRing::shows(this));
    const QFontMetrics fm(font());
    const int glyph = glyphSize();
    const int content = glyph + kGap + fm.horizontalAdvance(text());
    const int x = (width() - content) / 2;
    const QRectF icon(x, (height() - glyph) / 2.0, glyph, glyph);
    if (m_checking) {
        const QPointF c = icon.center();
        const qreal outer = glyph / 2.0;
        const qreal inner = outer * 0.45;
        for (int i = 0; i < kSpokes; ++i) {
            QColor spoke = ink;
            spoke.setAlphaF(
                float(0.15 + 0.85 * ((i + kSpokes - m_turn->step()) % kSpokes) / (kSpokes - 1)));
            p.setPen(QPen(spoke, std::max(1.2, glyph / 9.0), Qt::SolidLine, Qt::RoundCap));
            const qreal a = 2 * M_PI * i / kSpokes;
            p.drawLine(QPointF(c.x() + inner * std::sin(a), c.y() - inner * std::cos(a)),
                       QPointF(c.x() + outer * std::sin(a), c.y() - outer * std::cos(a)));
        }
    } else {
        const QPixmap pixmap = SymbolIcons::pixmap("arrow.clockwise"_sym, QSize(glyph, glyph), ink,
                                                   devicePixelRatioF());
        p.drawPixmap(icon, pixmap, QRectF(pixmap.rect()));
    }
    p.setFont(font());
    p.setPen(ink);
    p.drawText(QRect(x + glyph + kGap, 0, width() - x - glyph - kGap, height()),
               Qt::AlignLeft | Qt::AlignVCenter, text());
}
