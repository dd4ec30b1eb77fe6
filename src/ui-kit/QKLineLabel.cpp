#include "ui-kit/QKLineLabel.h"

#include "ui-kit/QKAccessible.h"

#include <cmath>
#include <QAccessible>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

qreal digitCell(const QFontMetricsF& fm) {
    qreal widest = 0;
    for (char c = '0'; c <= '9'; ++c)
        widest = std::max(widest, fm.horizontalAdvance(QLatin1Char(c)));
    return widest;
}

} // namespace

QKLineLabel::QKLineLabel(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {
    QKAccessible::install();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void QKLineLabel::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
    if (QAccessible::isActive() && accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

bool QKLineLabel::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip || !toolTip().isEmpty() || displayedText() == m_text)
        return QWidget::event(event);
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_text, this);
    return true;
}

void QKLineLabel::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

void QKLineLabel::setTabularDigits(bool on) {
    m_tabular = on;
    updateGeometry();
    update();
}

qreal QKLineLabel::naturalWidth(const QString& text) const {
    const QFontMetricsF fm(font());
    if (!m_tabular)
        return fm.horizontalAdvance(text);
    const qreal cell = digitCell(fm);
    qreal width = 0;
    QString run;
    for (QChar c : text) {
        if (c.isDigit() && c.unicode() < 128) {
            width += fm.horizontalAdvance(run) + cell;
            run.clear();
        } else {
            run.append(c);
        }
    }
    return width + fm.horizontalAdvance(run);
}

QString QKLineLabel::displayedText() const {
    if (naturalWidth(m_text) <= width())
        return m_text;
    const QString ellipsis = QStringLiteral("…");
    QString cut = m_text;
    while (!cut.isEmpty() && naturalWidth(cut + ellipsis) > width()) {
        cut.chop(1);
        if (!cut.isEmpty() && cut.back().isHighSurrogate())
            cut.chop(1);
    }
    return cut.isEmpty() ? (naturalWidth(ellipsis) <= width() ? ellipsis : QString())
                         : cut + ellipsis;
}

QSize QKLineLabel::sizeHint() const {
    const QFontMetricsF fm(font());
    return QSize(int(std::ceil(naturalWidth(m_text))), int(std::ceil(fm.height())));
}

QSize QKLineLabel::minimumSizeHint() const {
    return QSize(0, int(std::ceil(QFontMetricsF(font()).height())));
}

void QKLineLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    const QString shown = displayedText();
    const QFontMetricsF fm(font());
    const qreal textWidth = naturalWidth(shown);
    qreal x = 0;
    if (m_alignment & Qt::AlignRight)
        x = width() - textWidth;
    else if (m_alignment & Qt::AlignHCenter)
        x = (width() - textWidth) / 2;
    const qreal baseline = (height() - fm.height()) / 2 + fm.ascent();
    if (!m_tabular) {
        p.drawText(QPointF(x, baseline), shown);
        return;
    }
    const qreal cell = digitCell(fm);
    QString run;
    auto flush = [&] {
        p.drawText(QPointF(x, baseline), run);
        x += fm.horizontalAdvance(run);
        run.clear();
    };
    for (QChar c : shown) {
        if (c.isDigit() && c.unicode() < 128) {
            flush();
            const qreal advance = fm.horizontalAdvance(c);
            p.drawText(QPointF(x + (cell - advance) / 2, baseline), QString(c));
            x += cell;
        } else {
            run.append(c);
        }
    }
    flush();
}
