#include "shell/views/DetailCard.h"

#include "shell/views/MainBackdrop.h"
#include "ui-kit/Color.h"
#include "ui-kit/SoftShadow.h"

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

// The card's shadow tile (see SoftShadow) for this device pixel ratio.
const QPixmap& shadowTile(qreal dpr, int* margin) {
    return SoftShadow::tile(DetailCard::kCornerRadius, kShadowBlur, kShadowOpacity, dpr, margin);
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
