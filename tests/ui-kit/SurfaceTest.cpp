#include "support/Find.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKSymbol.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The parent's pixel just below the middle of a card's bottom edge.
QRgb belowCard(bool elevated) {
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Qt::white);
    parent.setPalette(pal);
    parent.resize(300, 200);
    auto* card = new QKCardSurface(14, elevated, &parent);
    card->setGeometry(50, 40, 200, 100);
    parent.show();
    QApplication::processEvents();
    return parent.grab().toImage().pixel(150, 40 + 100 + 4);
}

TEST(CardSurface, OnlyAnElevatedCardCastsAShadowBelowIt) {
    EXPECT_EQ(belowCard(false), qRgb(255, 255, 255));
    const QRgb shaded = belowCard(true);
    EXPECT_LT(qGray(shaded), 255);
    EXPECT_GT(qGray(shaded), 220); // soft: black at 8 % at most
}

TEST(EmptyState, SymbolAndHeadlineAloneWhenNothingElseIsGiven) {
    QKEmptyState empty(QStringLiteral("Nothing here"), QStringLiteral("folder"));
    empty.resize(500, 400);
    empty.show();
    EXPECT_TRUE(Find::part<QKSymbol>(empty, "emptySymbol")->isVisible());
    EXPECT_TRUE(Find::part<QLabel>(empty, "emptyTitle")->isVisible());
    EXPECT_FALSE(Find::part<QLabel>(empty, "emptyMessage")->isVisible());
    EXPECT_FALSE(Find::part<QWidget>(empty, "emptyActions")->isVisible());
    // Centred in the whole area.
    const QRect title = Find::part<QLabel>(empty, "emptyTitle")->geometry();
    EXPECT_NEAR(title.center().x(), empty.width() / 2, 2);
}

TEST(EmptyState, LongMessageWrapsWithinItsWidthAndIsNeverCut) {
    const QString message =
        QStringLiteral("A long explanation of why there is nothing to show. ").repeated(8);
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* empty = new QKEmptyState(QStringLiteral("No results"), QStringLiteral("magnifyingglass"),
                                   message, &host);
    empty->addActionWidget(new QPushButton(QStringLiteral("Try again")));
    layout->addWidget(empty);
    host.resize(800, 600);
    host.show();
    QApplication::processEvents();
    QLabel* label = Find::part<QLabel>(*empty, "emptyMessage");
    EXPECT_LE(label->width(), 420);
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_TRUE(Find::part<QWidget>(*empty, "emptyActions")->isVisible());
    EXPECT_GE(Find::part<QWidget>(*empty, "emptyActions")->y(), label->geometry().bottom());
}

TEST(EmptyState, AMessageGivesBackItsHeightWhenThePanelWidens) {
    const QString message = QStringLiteral("Try different words from a question already answered.");
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* empty =
        new QKEmptyState(QStringLiteral("No matches"), QStringLiteral("folder"), message, &host);
    layout->addWidget(empty);
    host.resize(140, 600); // a word or two a line
    host.show();
    QApplication::processEvents();
    const int narrow = Find::part<QLabel>(*empty, "emptyMessage")->minimumHeight();
    host.resize(800, 600);
    QApplication::processEvents();
    QLabel* label = Find::part<QLabel>(*empty, "emptyMessage");
    const int oneLine = QFontMetrics(label->font()).lineSpacing();
    EXPECT_LT(label->minimumHeight(), narrow);
    EXPECT_LE(label->minimumHeight(), 2 * oneLine) << "no room kept from the narrow layout";
}

} // namespace
