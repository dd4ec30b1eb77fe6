#include "shell/views/DetailCard.h"

#include "shell/views/MainBackdrop.h"
#include "ui-kit/Color.h"

#include <algorithm>
#include <cmath>
#include <QApplication>
#include <qdrawutil.h>
#include <QHash>
#include <QImage>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPaintEvent>
#include <vector>

namespace {

constexpr int kShadowBlur = 24;
constexpr int kShadowOffsetY = 10;
constexpr qreal kShadowOpacity = 0.20;
constexpr qreal kOutlineOpacity = 0.24;

void boxBlur(QImage& img, int radius, bool horizontal) {
    const int w = img.width(), h = img.height();
    const int lines = horizontal ? h : w, len = horizontal ? w : h;
    std::vector<int> line(len);
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> uchar& {
            return horizontal ? img.scanLine(l)[i] : img.scanLine(i)[l];
        };
        for (int i = 0; i < len; ++i)
            line[i] = at(i);
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += line[std::clamp(i, 0, len - 1)];
        for (int i = 0; i < len; ++i) {
            at(i) = uchar(sum / window);
            sum += line[std::min(i + radius + 1, len - 1)] - line[std::max(i - radius, 0)];
        }
    }
}

// A nine-slice picture of the blurred card shape, made once per device pixel ratio.
const QPixmap& shadowTile(qreal dpr, int* margin) {
    static QHash<qreal, QPixmap> cache;
    const int r = int(std::ceil(DetailCard::kCornerRadius));
    *margin = kShadowBlur + r;
    if (auto it = cache.constFind(dpr); it != cache.cend())
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
        p.setBrush(Qt::black);
        p.drawRoundedRect(
            QRectF(kShadowBlur, kShadowBlur, logical - 2 * kShadowBlur, logical - 2 * kShadowBlur),
            DetailCard::kCornerRadius, DetailCard::kCornerRadius);
    }
    // Three box passes approximate a Gaussian spreading over the blur radius.
    const int box = std::max(1, int(std::lround(kShadowBlur * dpr / 3.0)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, box, true);
        boxBlur(alpha, box, false);
    }
    QImage argb(px, px, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < px; ++y) {
        const uchar* src = alpha.constScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < px; ++x)
            dst[x] = qRgba(0, 0, 0, int(std::lround(src[x] * kShadowOpacity)));
    }
    QPixmap pm = QPixmap::fromImage(argb);
    pm.setDevicePixelRatio(dpr);
    return *cache.insert(dpr, pm);
}

QPainterPath cardShape(const QRectF& box) {
    QPainterPath path;
    path.addRoundedRect(box, DetailCard::kCornerRadius, DetailCard::kCornerRadius);
    return path;
}

} // namespace

// One piece of the card's frame: a corner square or an edge strip laid over the screen. It takes
// no input and draws the card's frame where it lies.
class CardFramePiece : public QWidget {
public:
    explicit CardFramePiece(DetailCard* card) : QWidget(card), m_card(card) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.translate(-pos());
        m_card->paintFrame(p, geometry());
    }

private:
    DetailCard* m_card;
};

DetailCard::DetailCard(QWidget* backdropHost, UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), m_backdropHost(backdropHost), m_pinch(defaults) {
    setObjectName(QStringLiteral("detailCard"));
    setMinimumWidth(0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (QWidget*& piece : m_pieces)
        piece = new CardFramePiece(this);
    // Gestures go to the widget under the pointer, which is usually deep inside the screen.
    if (qApp)
        qApp->installEventFilter(this);
}

DetailCard::~DetailCard() {
    if (qApp)
        qApp->removeEventFilter(this);
}

void DetailCard::setScreen(QWidget* screen) {
    if (m_screen == screen)
        return;
    if (QWidget* old = m_screen) {
        old->hide();
        old->deleteLater();
    }
    m_screen = screen;
    if (screen) {
        screen->setParent(this);
        screen->setGeometry(rect());
        screen->show();
    }
    for (QWidget* piece : m_pieces)
        piece->raise();
}

void DetailCard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_screen)
        m_screen->setGeometry(rect());
    layoutPieces();
}

void DetailCard::layoutPieces() {
    const int r = int(std::ceil(kCornerRadius));
    const int w = width(), h = height();
    const int midW = std::max(0, w - 2 * r), midH = std::max(0, h - 2 * r);
    const QRect geometries[] = {
        QRect(0, 0, r, r),     QRect(w - r, 0, r, r),     // top corners
        QRect(0, h - r, r, r), QRect(w - r, h - r, r, r), // bottom corners
        QRect(r, 0, midW, 1),  QRect(r, h - 1, midW, 1),  // top and bottom edges
        QRect(0, r, 1, midH),  QRect(w - 1, r, 1, midH),  // left and right edges
    };
    for (size_t i = 0; i < m_pieces.size(); ++i)
        m_pieces[i]->setGeometry(geometries[i]);
}

void DetailCard::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), Color::appWindowBackground(palette()));
}

void DetailCard::paintFrame(QPainter& painter, const QRect& target) const {
    if (target.isEmpty())
        return;
    const qreal dpr = devicePixelRatioF();
    const QRectF box = QRectF(rect());

    // Outside the rounded edge: the backdrop with the card's shadow on it. Made off-screen so
    // the rounded edge can be cut out with antialiasing (a clip path would leave it jagged).
    QImage corner(target.size() * dpr, QImage::Format_ARGB32_Premultiplied);
    corner.setDevicePixelRatio(dpr);
    corner.fill(Qt::transparent);
    {
        QPainter ip(&corner);
        ip.translate(-target.topLeft());
        if (m_backdropHost) {
            ip.save();
            ip.translate(-mapTo(m_backdropHost, QPoint(0, 0)));
            MainBackdrop::paint(ip, m_backdropHost->size(), dpr);
            ip.restore();
        }
        int margin = 0;
        const QPixmap& tile = shadowTile(dpr, &margin);
        const QRect shadow = rect()
                                 .adjusted(-kShadowBlur, -kShadowBlur, kShadowBlur, kShadowBlur)
                                 .translated(0, kShadowOffsetY);
        const QMargins m(margin, margin, margin, margin);
        if (shadow.width() < 2 * margin || shadow.height() < 2 * margin)
            ip.drawPixmap(shadow, tile);
        else
            qDrawBorderPixmap(&ip, shadow, m, tile,
                              QRect(QPoint(), tile.size() / tile.devicePixelRatio()), m);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        ip.fillPath(cardShape(box), Qt::black);
    }
    painter.drawImage(target.topLeft(), corner);

    painter.setRenderHint(QPainter::Antialiasing);
    QColor outline(255, 255, 255);
    outline.setAlphaF(kOutlineOpacity);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cardShape(box.adjusted(0.5, 0.5, -0.5, -0.5)));
}

bool DetailCard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::NativeGesture || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    if (target != this && !isAncestorOf(target))
        return false;
    auto* gesture = static_cast<QNativeGestureEvent*>(event);
    switch (gesture->gestureType()) {
    case Qt::BeginNativeGesture:
        // Shared by every kind of gesture; a pinch's scale starts again at 1.
        m_pinch.begin();
        return false;
    case Qt::ZoomNativeGesture:
        m_pinch.changeBy(gesture->value());
        gesture->accept();
        return true;
    case Qt::EndNativeGesture:
        m_pinch.end();
        return false;
    default:
        return false;
    }
}
