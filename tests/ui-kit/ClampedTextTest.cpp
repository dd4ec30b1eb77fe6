// A clamped text lays out only the start of a long text: what it shows must be what laying out
// the whole text shows.
#include "ui-kit/QKClampedText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QFontMetricsF>
#include <QScreen>
#include <QTextLayout>

namespace {

// The lines of the whole text at a width, the last one cut with "…" when more would follow.
QStringList wholeLayout(const QString& text, const QFont& font, int width, int maxLines) {
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(flat, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<QPair<int, int>> spans;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        spans.append({line.textStart(), line.textLength()});
    }
    layout.endLayout();
    const auto clean = [](QString piece) {
        piece.replace(QChar::LineSeparator, QLatin1Char(' '));
        return piece.trimmed();
    };
    QStringList lines;
    const bool cut = spans.size() > maxLines;
    for (qsizetype i = 0; i < std::min<qsizetype>(spans.size(), maxLines); ++i) {
        if (cut && i == maxLines - 1)
            lines << QFontMetricsF(font).elidedText(clean(flat.mid(spans[i].first)), Qt::ElideRight,
                                                    width);
        else
            lines << clean(flat.mid(spans[i].first, spans[i].second));
    }
    return lines;
}

} // namespace

TEST(ClampedText, ALongTextShowsTheLinesOfTheWholeText) {
    QString prose;
    for (int i = 0; prose.size() < 20'000; ++i)
        prose += QStringLiteral("word%1 and a longer stretch of text ").arg(i);
    const QString breaks = QStringLiteral("short\nlines\nbroken\nby hand\n") + prose;
    const QString unbroken = QString(5'000, QLatin1Char('m'));
    QKClampedText text(3);
    for (const QString& sample : {prose, breaks, unbroken, QStringLiteral("a\nb\nc\nd e f")}) {
        text.setText(sample);
        for (int width : {40, 180, 700}) {
            EXPECT_EQ(text.displayedLines(width), wholeLayout(sample, text.font(), width, 3))
                << "at " << width << ": " << qPrintable(sample.left(30));
            const qreal lines = text.displayedLines(width).size();
            const QFontMetricsF fm(text.font());
            EXPECT_EQ(text.heightForWidth(width),
                      int(std::ceil(lines * fm.lineSpacing() - fm.leading())));
        }
    }
}

// A text of any length asks for no more than the screen's width, so a layout asking its size hint
// measures no more of it than a screen holds; a short one still asks for its own width.
TEST(ClampedText, ALongTextAsksForAScreensWidthAtMost) {
    QKClampedText text(2);
    text.setText(QStringLiteral("many words ").repeated(20'000));
    const QScreen* screen = text.screen();
    ASSERT_NE(screen, nullptr);
    EXPECT_LE(text.sizeHint().width(), screen->availableGeometry().width() + 1);
    const QFontMetricsF fm(text.font());
    EXPECT_EQ(text.heightForWidth(200), int(std::ceil(2 * fm.lineSpacing() - fm.leading())));

    text.setText(QStringLiteral("short"));
    EXPECT_EQ(text.sizeHint().width(), int(std::ceil(fm.horizontalAdvance("short"))) + 1);
    EXPECT_EQ(text.heightForWidth(200), int(std::ceil(fm.lineSpacing() - fm.leading())));
}
