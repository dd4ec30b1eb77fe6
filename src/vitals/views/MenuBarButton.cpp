#include "vitals/views/MenuBarButton.h"

#include "platform/SymbolIcons.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKButtonFace.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKTurn.h"

#include <cmath>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kPadX = 12;
constexpr int kPadY = 6;
constexpr int kGap = 6; // between the symbol (or spinner) and the text
constexpr qreal kRadius = 7;
constexpr int kSpinStepMs = 40;

QColor mixed(const QColor& top, qreal alpha, const QColor& bottom) {
    return QColor::fromRgbF(float(top.redF() * alpha + bottom.redF() * (1 - alpha)),
                            float(top.greenF() * alpha + bottom.greenF() * (1 - alpha)),
                            float(top.blueF() * alpha + bottom.blueF() * (1 - alpha)));
}

} // namespace

MenuBarButton::MenuBarButton(const QString& text, const QString& symbol, Look look, QWidget* parent)
    : QPushButton(text, parent), m_look(look), m_symbol(symbol),
      m_spin(new QKTurn(this, 12, kSpinStepMs)) {
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    // A click does not take the focus, so the panel never opens with a ring on a button; the
    // keyboard can still reach every button.
    setFocusPolicy(Qt::TabFocus);
    QKFocusRing::pressOnReturn(this);
    QKFocusRing::drawsOwnRing(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QKFont::apply(this, TextStyle::Body,
                  look == Look::Prominent ? std::optional(QFont::Medium) : std::nullopt);
}

void MenuBarButton::setSymbol(const QString& symbol) {
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    updateGeometry();
    update();
}

void MenuBarButton::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    m_spin->setWanted(busy);
    updateGeometry();
    update();
}

int MenuBarButton::glyphSize() const {
    return std::max(1, int(std::lround(QFontMetrics(font()).ascent() * 1.05)));
}

QSize MenuBarButton::sizeHint() const {
    const QFontMetrics fm(font());
    int content = fm.horizontalAdvance(text());
    if (m_busy || !m_symbol.isEmpty())
        content += glyphSize() + kGap;
    return QSize(content + 2 * kPadX, std::max(fm.height(), glyphSize()) + 2 * kPadY);
}

QSize MenuBarButton::minimumSizeHint() const {
    return QSize(2 * kPadX, sizeHint().height());
}

void MenuBarButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor window = pal.color(QPalette::Window);
    const bool enabled = isEnabled();
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(frame, kRadius, kRadius);

    QColor ink;
    if (m_look == Look::Prominent) {
        const QColor accent = pal.color(QPalette::Active, QPalette::Highlight);
        QColor fill = accent;
        if (!enabled)
            fill = mixed(accent, 0.55, window); // busy runs stay readable, yet look held
        else if (isDown())
            fill = accent.darker(118);
        else if (underMouse())
            fill = accent.lighter(108);
        p.fillPath(shape, fill);
        if (m_keyboardFocus && hasFocus())
            QKFocusRing::paint(p, frame, kRadius, pal, fill);
        ink = Qt::white;
        if (!enabled)
            ink.setAlphaF(0.92f);
    } else {
        // The kit's one bordered look for secondary actions.
        ink = QKButtonFace::paintBordered(p, frame, pal,
                                          {.enabled = enabled,
                                           .down = isDown(),
                                           .hovered = underMouse(),
                                           .focusRing = m_keyboardFocus && hasFocus()},
                                          kRadius);
    }

    // The label: [symbol or spinner] text, centred as one group.
    const QFontMetrics fm(font());
    const bool hasLead = m_busy || !m_symbol.isEmpty();
    const int glyph = glyphSize();
    const int lead = hasLead ? glyph + kGap : 0;
    const int available = std::max(0, width() - 2 * kPadX - lead);
    const QString shown = fm.elidedText(text(), Qt::ElideRight, available);
    const int groupWidth = lead + fm.horizontalAdvance(shown);
    qreal x = (width() - groupWidth) / 2.0;
    const qreal midY = height() / 2.0;
    if (m_busy) {
        const QRectF box(x + 1.5, midY - glyph / 2.0 + 1.5, glyph - 3, glyph - 3);
        QColor track = ink;
        track.setAlphaF(ink.alphaF() * 0.25f);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(track, 1.8));
        p.drawEllipse(box);
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(box, -m_spin->step() * 30 * 16, 100 * 16);
    } else if (!m_symbol.isEmpty()) {
        const QPixmap pm =
            SymbolIcons::pixmap(m_symbol, QSize(glyph, glyph), ink, devicePixelRatioF());
        p.drawPixmap(QPointF(x, midY - glyph / 2.0), pm);
    }
    x += lead;
    p.setFont(font());
    p.setPen(ink);
    const qreal baseline = midY - fm.height() / 2.0 + fm.ascent();
    p.drawText(QPointF(x, baseline), shown);
}

void MenuBarButton::focusInEvent(QFocusEvent* event) {
    m_keyboardFocus =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QPushButton::focusInEvent(event);
}

void MenuBarButton::focusOutEvent(QFocusEvent* event) {
    m_keyboardFocus = false;
    QPushButton::focusOutEvent(event);
}
