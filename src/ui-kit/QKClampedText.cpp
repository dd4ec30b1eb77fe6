#include "ui-kit/QKClampedText.h"

#include "ui-kit/QKAccessible.h"

#include <algorithm>
#include <cmath>
#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

QKClampedText::QKClampedText(int maxLines, QWidget* parent)
    : QWidget(parent), m_maxLines(std::max(1, maxLines)) {
    QKAccessible::install();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void QKClampedText::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    m_oneLineWidth = -1;
    setAccessibleName(text);
    updateGeometry();
    update();
}

QStringList QKClampedText::displayedLines(int width) const {
    QStringList lines;
    if (m_text.isEmpty() || width <= 0)
        return lines;
    // A line break in the text starts a new line, within the same limit.
    QString flat = m_text;
    flat.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(flat, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<QPair<int, int>> spans; // start and length of each line, one more than the limit
    layout.beginLayout();
    while (spans.size() <= m_maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        spans.append({line.textStart(), line.textLength()});
    }
    layout.endLayout();
    const auto clean = [](QString piece) {
        piece.replace(QChar::LineSeparator, QLatin1Char(' '));
        return piece.trimmed();
    };
    const bool cut = spans.size() > m_maxLines;
    const qsizetype shown = std::min<qsizetype>(spans.size(), m_maxLines);
    for (qsizetype i = 0; i < shown; ++i) {
        if (cut && i == shown - 1) {
            // The last allowed line holds the start of everything left, ending in "…".
            const QString rest = clean(flat.mid(spans[i].first));
            lines.append(QFontMetricsF(font()).elidedText(rest, Qt::ElideRight, width));
        } else {
            lines.append(clean(flat.mid(spans[i].first, spans[i].second)));
        }
    }
    return lines;
}

qreal QKClampedText::oneLineWidth() const {
    if (m_oneLineWidth < 0)
        m_oneLineWidth = QFontMetricsF(font()).horizontalAdvance(m_text);
    return m_oneLineWidth;
}

int QKClampedText::lineCount(int width) const {
    // A text without a line break that fits the width is one line; only a longer one is laid out.
    if (!m_text.contains(QLatin1Char('\n')) && oneLineWidth() <= width)
        return 1;
    return std::max<int>(1, int(displayedLines(width).size()));
}

int QKClampedText::heightForWidth(int width) const {
    const QFontMetricsF fm(font());
    return int(std::ceil(lineCount(width) * fm.lineSpacing() - fm.leading()));
}

QSize QKClampedText::sizeHint() const {
    // The whole text on one line: a layout gives it that much room when it has it and narrows it
    // (down to nothing) when it has not.
    const int w = int(std::ceil(oneLineWidth())) + 1;
    return {w, heightForWidth(w)};
}

QSize QKClampedText::minimumSizeHint() const {
    const QFontMetricsF fm(font());
    return {0, int(std::ceil(fm.height()))};
}

void QKClampedText::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    const QFontMetricsF fm(font());
    qreal y = fm.ascent();
    for (const QString& line : displayedLines(width())) {
        p.drawText(QPointF(0, y), line);
        y += fm.lineSpacing();
    }
}

void QKClampedText::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        m_oneLineWidth = -1;
        updateGeometry();
    }
    QWidget::changeEvent(event);
}
