#include "ui-kit/QKSymbol.h"

#include "platform/SymbolIcons.h"

#include <cmath>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

QKSymbol::QKSymbol(const QString& symbol, const QKFont& font, QWidget* parent)
    : QWidget(parent), m_symbol(symbol) {
    QKFont::apply(this, font);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QKSymbol::QKSymbol(const QString& symbol, const QKFont& font, QKForeground::Style tone,
                   QWidget* parent)
    : QKSymbol(symbol, font, parent) {
    QKForeground::apply(this, tone);
}

void QKSymbol::setSymbol(const QString& symbol) {
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    update();
}

int QKSymbol::glyphSize() const {
    // A symbol reads as large as the capitals and ascenders of text of the same size.
    return std::max(1, int(std::lround(QFontInfo(font()).pixelSize() * 1.15)));
}

QSize QKSymbol::sizeHint() const {
    // As tall as a line of its text, so a symbol top-aligned beside a label sits on its first line.
    const int line = QFontMetrics(font()).height();
    return QSize(glyphSize(), std::max(glyphSize(), line));
}

void QKSymbol::paintEvent(QPaintEvent*) {
    const int edge = glyphSize();
    const QColor color = palette().color(QPalette::WindowText);
    const qreal dpr = devicePixelRatioF();
    const QString key =
        QStringLiteral("%1|%2|%3|%4").arg(m_symbol).arg(edge).arg(color.rgba()).arg(dpr);
    if (key != m_cacheKey) {
        m_cache = SymbolIcons::pixmap(m_symbol, QSize(edge, edge), color, dpr);
        m_cacheKey = key;
    }
    QPainter p(this);
    const QRect target(QPoint((width() - edge) / 2, (height() - edge) / 2), QSize(edge, edge));
    p.drawPixmap(target, m_cache);
}
