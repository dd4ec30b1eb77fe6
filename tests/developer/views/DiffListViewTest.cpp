// How the diff list draws: each side's colour, a line cut to its cell, and the list's own focus
// ring, which runs over rows of every kind's colour.
#include "developer/views/DiffListView.h"
#include "developer/DiffRowModel.h"
#include "developer/views/DiffRowDelegate.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>

namespace {

// Runs of each kind, so the ring crosses every colour on both sides.
QList<DiffRow> runsOfEveryKind() {
    QList<DiffRow> rows;
    qint64 left = 0, right = 0;
    for (int i = 0; i < 40; ++i) {
        DiffRow row;
        row.id = i;
        row.kind = DiffRow::Kind((i / 5) % 4);
        if (row.kind != DiffRow::Kind::Added) {
            row.leftNumber = ++left;
            row.leftText = QStringLiteral("old line %1").arg(i);
        }
        if (row.kind != DiffRow::Kind::Removed) {
            row.rightNumber = ++right;
            row.rightText = QStringLiteral("new line %1").arg(i);
        }
        rows.append(row);
    }
    return rows;
}

} // namespace

TEST(DiffListView, TheRingStandsApartFromEveryKindsColourInBothThemes) {
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const AccentChoice accent : allCases<AccentChoice>()) {
            DiffRowModel model;
            model.setRows(runsOfEveryKind());
            DiffListView view;
            view.setPalette(Themed::palette(scheme, Themed::accentColor(accent, scheme)));
            view.setAutoFillBackground(true);
            view.setFrameShape(QFrame::NoFrame);
            view.viewport()->setAutoFillBackground(false);
            view.setModel(&model);
            view.setItemDelegate(new DiffRowDelegate(&view));
            view.resize(500, 300);
            view.show();
            QCoreApplication::processEvents();
            const QImage plain = view.grab().toImage();
            view.setAttribute(Qt::WA_KeyboardFocusChange);
            view.activateWindow();
            view.setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            ASSERT_TRUE(view.hasFocus());
            const std::string what =
                rawValue(accent).toStdString() + (scheme == ColorScheme::Dark ? " dark" : " light");
            const testsupport::RingSides sides =
                testsupport::ringSides(plain, view.grab().toImage(), 3.0);
            EXPECT_GE(sides.seen, 2 * (view.width() + view.height())) << what;
            EXPECT_LE(sides.faint * 8, sides.seen + sides.faint) << what;
        }
    }
}

TEST(DiffRowDelegate, ColoursEachSideByTheRowsKind) {
    using K = DiffRow::Kind;
    EXPECT_FALSE(DiffRowDelegate::cellColor(K::Same, true, false).isValid());
    EXPECT_FALSE(DiffRowDelegate::cellColor(K::Same, false, true).isValid());
    EXPECT_FALSE(DiffRowDelegate::cellColor(K::Added, true, false).isValid());
    EXPECT_NEAR(DiffRowDelegate::cellColor(K::Added, false, false).alphaF(), 0.18, 0.01);
    EXPECT_NEAR(DiffRowDelegate::cellColor(K::Removed, true, false).alphaF(), 0.18, 0.01);
    EXPECT_FALSE(DiffRowDelegate::cellColor(K::Removed, false, false).isValid());
    EXPECT_NEAR(DiffRowDelegate::cellColor(K::Changed, true, true).alphaF(), 0.16, 0.01);
    EXPECT_EQ(DiffRowDelegate::cellColor(K::Changed, true, false),
              DiffRowDelegate::cellColor(K::Changed, false, false));
    EXPECT_GT(DiffRowDelegate::cellColor(K::Added, false, false).green(),
              DiffRowDelegate::cellColor(K::Added, false, false).red());
}

// A line is cut before it is elided, so a line of any length costs what its cell shows; what the
// cell shows is what eliding the whole line would show, and a cut line always says more follows.
TEST(DiffRowDelegate, ALongLineShowsWhatItsCellHoldsAndEndsInAnEllipsis) {
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QString line = QStringLiteral("\tThis agreement is made between (\"the Client\") and ") +
                         QString(20'000, QLatin1Char('x'));
    QString whole = line;
    whole.replace(QLatin1Char('\t'), QStringLiteral("    "));
    // Sizes whose advances fall between whole pixels too.
    for (qreal points = 7; points <= 16; points += 0.5) {
        mono.setPointSizeF(points);
        const QFontMetrics sized(mono);
        for (const int width : {0, 40, 300, 381, 900})
            EXPECT_EQ(DiffRowDelegate::shownLine(line, width, sized),
                      sized.elidedText(whole, Qt::ElideRight, width))
                << points << " pt, " << width << " px";
    }
    mono.setPointSizeF(11);
    const QFontMetrics metrics(mono);
    EXPECT_EQ(DiffRowDelegate::shownLine(QStringLiteral("short"), 900, metrics), "short");

    // Marks that take no width: the cut may fit whole, and still ends in "…".
    const QString marks = QStringLiteral("a") + QString(5000, QChar(0x0301));
    const QString shown = DiffRowDelegate::shownLine(marks, 300, metrics);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.size();
    EXPECT_LT(shown.size(), 1000);
}
