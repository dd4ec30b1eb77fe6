#include "ui-kit/QKCardSurface.h"

#include "ui-kit/Color.h"
#include "ui-kit/SoftShadow.h"

#include <algorithm>
#include <cmath>
#include <qdrawutil.h>
#include <QEvent>
#include <QHash>
#include <QImage>
#include <QMoveEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <vector>

namespace {

constexpr int kBlur = 12;        // the shadow's blur radius
constexpr int kOffsetY = 5;      // how far below the card it falls
constexpr qreal kOpacity = 0.08; // black at this opacity
constexpr int kExtent = kBlur;   // how far the blurred edge reaches beyond the card

// The shadow tile of a rounded rectangle (see SoftShadow).
const QPixmap& shadowTile(qreal radius, qreal dpr, int* margin) {
    return SoftShadow::tile(radius, kExtent, kOpacity, dpr, margin);
}

} // namespace

// Paints the shadows of a widget's elevated cards after the widget's own painting and before its
// children, so a shadow shows on whatever the parent draws, nested cards included. One per parent.
class CardShadowPainter : public QObject {
public:
    explicit CardShadowPainter(QWidget* parent) : QObject(parent), m_parent(parent) {
        setObjectName(QStringLiteral("_qk_card_shadow_painter"));
        parent->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_parent || event->type() != QEvent::Paint || m_inPaint)
            return false;
        m_inPaint = true;
        static_cast<QObject*>(m_parent)->event(event); // the parent's own painting
        m_inPaint = false;
        QPainter painter(m_parent);
        for (QObject* child : m_parent->children()) {
            auto* card = qobject_cast<QKCardSurface*>(child);
            if (card && card->elevated() && card->isVisible())
                card->paintShadow(painter);
        }
        return true;
    }

private:
    QWidget* m_parent;
    bool m_inPaint = false;
};

QKCardSurface::QKCardSurface(qreal cornerRadius, bool elevated, QWidget* parent)
    : QWidget(parent), m_radius(cornerRadius), m_elevated(elevated) {
    attachToParent();
}

QKCardSurface* QKCardSurface::wrap(QWidget* content, qreal cornerRadius, bool elevated,
                                   QWidget* parent) {
    auto* card = new QKCardSurface(cornerRadius, elevated, parent);
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return card;
}

QRect QKCardSurface::shadowRect(const QRect& card) {
    return card.adjusted(-kExtent - 1, -kExtent - 1 + kOffsetY, kExtent + 1,
                         kExtent + 1 + kOffsetY);
}

void QKCardSurface::attachToParent() {
    QWidget* parent = parentWidget();
    if (!m_elevated || !parent)
        return;
    if (!parent->findChild<QObject*>(QStringLiteral("_qk_card_shadow_painter"),
                                     Qt::FindDirectChildrenOnly))
        new CardShadowPainter(parent);
}

void QKCardSurface::paintShadow(QPainter& painter) const {
    int margin = 0;
    const QPixmap& tile = shadowTile(m_radius, devicePixelRatioF(), &margin);
    const QRect target =
        geometry().adjusted(-kExtent, -kExtent, kExtent, kExtent).translated(0, kOffsetY);
    const QMargins target9(margin, margin, margin, margin);
    // The tile's slices are addressed in its device pixels.
    const int src = int(std::lround(margin * tile.devicePixelRatio()));
    const QMargins source9(src, src, src, src);
    if (target.width() < 2 * margin || target.height() < 2 * margin)
        painter.drawPixmap(target, tile);
    else
        qDrawBorderPixmap(&painter, target, target9, tile, tile.rect(), source9);
}

void QKCardSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(box, m_radius, m_radius);
    p.fillPath(path, Color::cardFill(palette()));
    p.setPen(QPen(Color::cardStroke(palette()), 1));
    p.drawPath(path);
}

bool QKCardSurface::event(QEvent* event) {
    QWidget* parent = parentWidget();
    switch (event->type()) {
    case QEvent::ParentChange:
        attachToParent();
        break;
    case QEvent::Move:
        if (m_elevated && parent) {
            const auto* move = static_cast<QMoveEvent*>(event);
            parent->update(shadowRect(QRect(move->oldPos(), size())));
            parent->update(shadowRect(geometry()));
        }
        break;
    case QEvent::Resize:
        if (m_elevated && parent) {
            const auto* resize = static_cast<QResizeEvent*>(event);
            parent->update(shadowRect(QRect(pos(), resize->oldSize())));
            parent->update(shadowRect(geometry()));
        }
        break;
    case QEvent::Show:
    case QEvent::Hide:
        if (m_elevated && parent)
            parent->update(shadowRect(geometry()));
        break;
    default:
        break;
    }
    return QWidget::event(event);
}
