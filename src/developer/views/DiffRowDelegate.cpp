#include "developer/views/DiffRowDelegate.h"

#include "developer/DiffRowModel.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"

#include <algorithm>
#include <QFontMetrics>
#include <QPainter>

namespace {

// Cells are padded 1 point above and below and 4 to the sides, with 6 between number and text.
constexpr int kPadX = 4;
constexpr int kPadY = 1;
constexpr int kGap = 6;

QColor withAlpha(QColor c, float alpha) {
    c.setAlphaF(alpha);
    return c;
}

} // namespace

QString DiffRowDelegate::shownLine(const QString& text, int width, const QFontMetrics& metrics) {
    // Eliding shapes the whole text it is given: cut first to more characters than the cell
    // could hold even of the narrowest, so a line of thousands costs what a screenful does.
    // Advances come rounded to whole pixels: one less stands under the true one.
    int narrowest = metrics.horizontalAdvance(QLatin1Char(' '));
    for (const char c : {'i', 'l', '.', '\'', '|'})
        narrowest = std::min(narrowest, metrics.horizontalAdvance(QLatin1Char(c)));
    const qsizetype fits = qsizetype(std::max(0, width)) / std::max(1, narrowest - 1) + 2;
    QString shown = text;
    if (shown.size() > fits) {
        shown.truncate(fits);
        if (shown.back().isHighSurrogate())
            shown.chop(1);
        // Marks that take no width could let the cut fit whole; it still says more follows.
        shown.append(QChar(0x2026));
    }
    // Tabs would be drawn as nothing; a tab stop of four columns keeps indentation readable.
    shown.replace(QLatin1Char('\t'), QStringLiteral("    "));
    return metrics.elidedText(shown, Qt::ElideRight, width);
}

QColor DiffRowDelegate::cellColor(DiffRow::Kind kind, bool leftSide, bool dark) {
    switch (kind) {
    case DiffRow::Kind::Same:
        return {};
    case DiffRow::Kind::Added:
        return leftSide ? QColor()
                        : withAlpha(Color::system(Color::SystemColor::Green, dark), 0.18f);
    case DiffRow::Kind::Removed:
        return leftSide ? withAlpha(Color::system(Color::SystemColor::Red, dark), 0.18f) : QColor();
    case DiffRow::Kind::Changed:
        return withAlpha(Color::system(Color::SystemColor::Orange, dark), 0.16f);
    }
    return {};
}

void DiffRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const QVariant value = index.data(DiffRowModel::RowRole);
    if (!value.canConvert<DiffRow>())
        return;
    const DiffRow row = value.value<DiffRow>();
    const QPalette& palette = option.palette;
    const bool dark = Color::isDark(palette);
    const QColor textColor = QKForeground::color(QKForeground::Primary, palette);
    const QColor numberColor = QKForeground::color(QKForeground::Tertiary, palette);

    painter->save();
    painter->setFont(option.font);
    const QRect r = option.rect;
    const int half = (r.width() - 1) / 2;
    const QRect leftCell(r.left(), r.top(), half, r.height());
    const QRect rightCell(r.left() + half + 1, r.top(), r.width() - half - 1, r.height());
    painter->fillRect(QRect(r.left() + half, r.top(), 1, r.height()),
                      QKForeground::color(QKForeground::Quaternary, palette));

    auto drawCell = [&](const QRect& cell, bool leftSide, const std::optional<qint64>& number,
                        const std::optional<QString>& text) {
        if (const QColor fill = cellColor(row.kind, leftSide, dark); fill.isValid())
            painter->fillRect(cell, fill);
        const QRect inner = cell.adjusted(kPadX, kPadY, -kPadX, -kPadY);
        const QRect numberRect(inner.left(), inner.top(), numberWidth, inner.height());
        painter->setPen(numberColor);
        painter->drawText(numberRect, Qt::AlignRight | Qt::AlignVCenter,
                          number ? QString::number(*number) : QString());
        const QRect textRect = inner.adjusted(numberWidth + kGap, 0, 0, 0);
        if (textRect.width() <= 0 || !text || text->isEmpty())
            return;
        painter->setPen(textColor);
        const QString elided = shownLine(*text, textRect.width(), painter->fontMetrics());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    };
    drawCell(leftCell, true, row.leftNumber, row.leftText);
    drawCell(rightCell, false, row.rightNumber, row.rightText);
    if ((option.state & QStyle::State_HasFocus) && QKFocusRing::shows(option.widget)) {
        // The row the keys are on: an accent tint over both cells, edged in the accent inside
        // the list's own ring, so it stands out over every kind's colour.
        QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
        accent.setAlphaF(0.16f);
        painter->fillRect(r, accent);
        accent.setAlphaF(1.0f);
        painter->fillRect(QRect(r.left() + 3, r.top(), 3, r.height()), accent);
    }
    painter->restore();
}

QSize DiffRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(2 * (numberWidth + kGap + 2 * kPadX) + 1, option.fontMetrics.height() + 2 * kPadY);
}
