#include "ui-kit/QKClampedText.h"

#include "ui-kit/QKAccessible.h"

#include <algorithm>
#include <cmath>
#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>

QKClampedText::QKClampedText(int maxLines, QWidget* parent)
    : QWidget(parent), m_maxLines(std::max(1, maxLines)) {
    QKAccessible::install();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

namespace {

// How many texts a widget keeps the measures of: more than the longest list a stamp draws (the
// timeline holds 400), so a list's stamp measures each row once, not again as it paints.
constexpr qsizetype kKeptTexts = 1024;

// The widest a text asks to be on one line where it knows no screen: measuring a long text's one
// line in full would shape all of it for a width nobody has.
constexpr qreal kWidestLine = 4096;

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
    for (int i = 0; i < 2; ++i)
        if (known.widths[i] == width)
            return known.lines[i];
    known.newest = 1 - known.newest;
    known.widths[known.newest] = width;
    known.lines[known.newest] = layOut(width);
    return known.lines[known.newest];
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
    // Shaping costs what it is given, so the first piece is a quarter more than the average width
    // says; a narrow font's text takes one doubling more.
    const qsizetype wanted = m_maxLines + 1;
    const qreal average = std::max<qreal>(1, QFontMetricsF(font()).averageCharWidth());
    qsizetype take = wanted * (qsizetype(width / average) + 8) * 5 / 4;
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
            const QString rest =
                clean(flat.mid(spans[i].first, next.first + next.second - spans[i].first));
            const QString elided = fm.elidedText(rest, Qt::ElideRight, width);
            lines.append(elided == rest
                             ? fm.elidedText(clean(flat.mid(spans[i].first)), Qt::ElideRight, width)
                             : elided);
        } else {
            lines.append(clean(flat.mid(spans[i].first, spans[i].second)));
        }
    }
    return lines;
}

qreal QKClampedText::oneLineWidth(qreal limit) const {
    Measures& known = measures();
    if (known.oneLine >= 0 && (known.oneLineWhole || known.oneLine >= limit))
        return std::min(known.oneLine, limit);
    // Only as much of the start as reaches the limit is measured, a piece a quarter longer than
    // the average width says, doubled while it falls short.
    const QFontMetricsF fm(font());
    const qreal average = std::max<qreal>(1, fm.averageCharWidth());
    for (qsizetype take = qsizetype(limit / average * 5 / 4) + 16;; take *= 2) {
        if (take >= m_text.size()) {
            known.oneLine = fm.horizontalAdvance(m_text);
            known.oneLineWhole = true;
            break;
        }
        known.oneLine = fm.horizontalAdvance(m_text.left(take));
        if (known.oneLine >= limit)
            break;
    }
    return std::min(known.oneLine, limit);
}

int QKClampedText::lineCount(int width) const {
    // A text without a line break that fits the width is one line; only a longer one is laid out.
    if (!m_text.contains(QLatin1Char('\n')) && oneLineWidth(width + 1) <= width)
        return 1;
    return std::max<int>(1, int(displayedLines(width).size()));
}

int QKClampedText::heightForWidth(int width) const {
    const QFontMetricsF fm(font());
    return int(std::ceil(lineCount(width) * fm.lineSpacing() - fm.leading()));
}

QSize QKClampedText::sizeHint() const {
    // The whole text on one line, at most as wide as the screen: a layout gives it that much room
    // when it has it and narrows it (down to nothing) when it has not, asking heightForWidth for
    // the height. A text that does not fit on that line hints at all its lines rather than being
    // laid out at a width it will not be given.
    const QScreen* shown = screen();
    const qreal widest =
        std::min(shown ? shown->availableGeometry().width() : kWidestLine, kWidestLine);
    const qreal oneLine = oneLineWidth(widest);
    const int w = int(std::ceil(oneLine)) + 1;
    const bool single = oneLine < widest && !m_text.contains(QLatin1Char('\n'));
    const QFontMetricsF fm(font());
    return {w, int(std::ceil((single ? 1 : m_maxLines) * fm.lineSpacing() - fm.leading()))};
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
