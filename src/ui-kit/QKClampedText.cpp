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

namespace {

// How many texts a widget keeps the measures of: more than the rows a screen shows, so a list's
// stamp measures each row on show once.
constexpr qsizetype kKeptTexts = 256;

} // namespace

void QKClampedText::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

QKClampedText::Measures& QKClampedText::measures() const {
    auto found = m_measures.find(m_text);
    if (found != m_measures.end())
        return found.value();
    if (m_measures.size() >= kKeptTexts)
        m_measures.clear();
    return m_measures[m_text];
}

QStringList QKClampedText::displayedLines(int width) const {
    if (m_text.isEmpty() || width <= 0)
        return {};
    Measures& known = measures();
    if (known.width != width) {
        known.lines = layOut(width);
        known.width = width;
    }
    return known.lines;
}

QStringList QKClampedText::layOut(int width) const {
    QStringList lines;
    // A line break in the text starts a new line, within the same limit.
    QString flat = m_text;
    flat.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Only the start of a long text is laid out: enough for the lines shown and two more, which
    // fixes every break of the lines shown; when the piece taken gives fewer, a longer one is.
    const qsizetype wanted = m_maxLines + 2;
    const qreal average = std::max<qreal>(1, QFontMetricsF(font()).averageCharWidth());
    qsizetype take = wanted * (qsizetype(width / average) + 8) * 2;
    QList<QPair<int, int>> spans; // start and length of each line
    for (;;) {
        const bool whole = take >= flat.size();
        QTextLayout layout(whole ? flat : flat.left(take), font());
        layout.setTextOption(option);
        spans.clear();
        layout.beginLayout();
        while (spans.size() < wanted) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            spans.append({line.textStart(), line.textLength()});
        }
        layout.endLayout();
        if (whole || spans.size() >= wanted)
            break;
        take *= 2;
    }
    const auto clean = [](QString piece) {
        piece.replace(QChar::LineSeparator, QLatin1Char(' '));
        return piece.trimmed();
    };
    const bool cut = spans.size() > m_maxLines;
    const qsizetype shown = std::min<qsizetype>(spans.size(), m_maxLines);
    const QFontMetricsF fm(font());
    for (qsizetype i = 0; i < shown; ++i) {
        if (cut && i == shown - 1) {
            // The last allowed line holds the start of everything left, ending in "…". Eliding
            // keeps the start that fits, so the rest as far as the next line ends, already wider
            // than the line, elides as the whole rest would; a rest cut short by its own line
            // breaks may not be, and then the whole rest is.
            const auto& next = spans[i + 1];
            QString rest =
                clean(flat.mid(spans[i].first, next.first + next.second - spans[i].first));
            if (fm.horizontalAdvance(rest) <= width)
                rest = clean(flat.mid(spans[i].first));
            lines.append(fm.elidedText(rest, Qt::ElideRight, width));
        } else {
            lines.append(clean(flat.mid(spans[i].first, spans[i].second)));
        }
    }
    return lines;
}

qreal QKClampedText::oneLineWidth() const {
    Measures& known = measures();
    if (known.oneLine < 0)
        known.oneLine = QFontMetricsF(font()).horizontalAdvance(m_text);
    return known.oneLine;
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
        m_measures.clear();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}
