#include "ui-kit/QKCardSurface.h"

#include "ui-kit/Color.h"

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

// One horizontal or vertical box-blur pass over an 8-bit alpha image.
void boxBlur(QImage& img, int radius, bool horizontal) {
    const int w = img.width(), h = img.height();
    const int lines = horizontal ? h : w, len = horizontal ? w : h;
    std::vector<int> line(len);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> uchar& {
            return horizontal ? img.scanLine(l)[i] : img.scanLine(i)[l];
        };
        for (int i = 0; i < len; ++i)
            line[i] = at(i);
        int sum = 0;
        const int window = 2 * radius + 1;
        for (int i = -radius; i <= radius; ++i)
            sum += line[std::clamp(i, 0, len - 1)];
        for (int i = 0; i < len; ++i) {
            at(i) = uchar(sum / window);
            sum += line[std::min(i + radius + 1, len - 1)] - line[std::max(i - radius, 0)];
        }
    }
}

// A nine-slice image of the shadow of a rounded rectangle, drawn once per radius and scale.
const QPixmap& shadowTile(qreal radius, qreal dpr, int* margin) {
    static QHash<QString, QPixmap> cache;
    const int r = int(std::ceil(radius));
    *margin = kExtent + r;
    const QString key = QStringLiteral("%1|%2").arg(r).arg(dpr);
    auto it = cache.find(key);
    if (it != cache.end())
        return *it;
    const int logical = 2 * (*margin) + 1;
    const int px = int(std::ceil(logical * dpr));
    QImage alpha(px, px, QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter p(&alpha);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 255));
        p.drawRoundedRect(QRectF(kExtent, kExtent, logical - 2 * kExtent, logical - 2 * kExtent),
                          radius, radius);
    }
    // Three box passes approximate a Gaussian whose spread matches the blur radius.
    const int box = std::max(1, int(std::lround(kBlur * dpr / 3.0)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, box, true);
        boxBlur(alpha, box, false);
    }
    QImage argb(px, px, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < px; ++y) {
        const uchar* src = alpha.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < px; ++x)
            dst[x] = qRgba(0, 0, 0, int(std::lround(src[x] * kOpacity)));
    }
    QPixmap pm = QPixmap::fromImage(argb);
    pm.setDevicePixelRatio(dpr);
    return *cache.insert(key, pm);
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
