#include "home/views/SymbolTile.h"

#include "home/views/HomeTint.h"
#include "platform/SymbolIcons.h"
#include "ui-kit/QKPaint.h"

#include <cmath>
#include <QEvent>
#include <QFontInfo>
#include <QPainter>

SymbolTile::SymbolTile(const QString& symbol, HomeTone tone, int edge, qreal cornerRadius,
                       const QKFont& font, QWidget* parent)
    : QWidget(parent), m_symbol(symbol), m_tone(tone), m_edge(edge), m_radius(cornerRadius) {
    QKFont::apply(this, font);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolTile::setSymbol(const QString& symbol, HomeTone tone) {
    if (symbol == m_symbol && tone == m_tone)
        return;
    m_symbol = symbol;
    m_tone = tone;
    update();
}

int SymbolTile::glyphSize() const {
    return std::max(1, int(std::lround(QFontInfo(font()).pixelSize() * 1.15)));
}

QSize SymbolTile::sizeHint() const {
    const int edge = std::max(m_edge, glyphSize() + 12);
    return {edge, edge};
}

void SymbolTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int edge = std::min(width(), height());
    const QRectF square((width() - edge) / 2.0, (height() - edge) / 2.0, edge, edge);
    QKPaint::fillRounded(p, square, m_radius, HomeTint::color(m_tone, palette(), 0.1));
    if (m_symbol.isEmpty())
        return;
    const int glyph = glyphSize();
    const QPixmap pixmap = SymbolIcons::pixmap(
        m_symbol, QSize(glyph, glyph), HomeTint::color(m_tone, palette()), devicePixelRatioF());
    p.drawPixmap(
        QRectF(square.center().x() - glyph / 2.0, square.center().y() - glyph / 2.0, glyph, glyph),
        pixmap, QRectF(pixmap.rect()));
}

void SymbolTile::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    } else if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}
