// How a fitted list of hundreds of rows opens: the rows it measures before it first paints, and
// the batches and slices in which the rest follow.
#include "ui-kit/RowListSupport.h"

#include <gtest/gtest.h>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace RowListSupport;

namespace {

// Opens the page as a screen opens in the app's window: put into the window already on screen,
// sized and shown, with parts below the list that make the page scroll whatever the list holds.
void openInWindow(Page& p, QWidget& window) {
    window.resize(p.scroll.size());
    window.show();
    settle();
    static_cast<QBoxLayout*>(p.list->parentWidget()->layout())->addSpacing(2 * window.height());
    p.scroll.setParent(&window);
    p.scroll.setGeometry(window.rect());
    p.scroll.show();
}

} // namespace

// A fitted list of hundreds of rows measures a batch of them before it first paints, more than a
// screen shows, and the rest a batch per turn of the event loop after it, growing as they come:
// opening it costs what its first rows cost, however many follow.
TEST(RowList, AFittedListMeasuresOneBatchBeforeItFirstPaints) {
    constexpr int kRows = 400;
    Page p;
    p.model.reset(longLines(kRows));
    int setUpsAtFirstPaint = -1;
    int heightAtFirstPaint = -1;
    OnPaint probe(p.list->viewport(), [&] {
        if (setUpsAtFirstPaint < 0) {
            setUpsAtFirstPaint = p.delegate->setUps;
            heightAtFirstPaint = p.list->height();
        }
    });
    p.scroll.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return setUpsAtFirstPaint >= 0; }));
    EXPECT_GT(heightAtFirstPaint, p.scroll.viewport()->height()) << "a screen of rows and more";
    // Each row measured once, and those painted set up once more.
    EXPECT_LE(setUpsAtFirstPaint, 2 * QKRowList::kBatchRows);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !p.list->visualRect(p.at(kRows - 1)).isEmpty(); }));
    settle();
    EXPECT_EQ(p.list->height(), p.heightsSum()) << "the list took every batch in";
    EXPECT_EQ(p.list->visualRect(p.at(kRows - 1)).bottom() + 1, p.list->height());
}

// However costly its rows, a fitted list holds the event loop about a batch's time at a turn: the
// batches shrink to the rows that fit in it, and every row still comes.
TEST(RowList, CostlyRowsComeInBatchesOfTheirTime) {
    constexpr int kRows = 120;
    constexpr int kRowMs = 5;
    Page p;
    p.delegate->slowMs = kRowMs;
    p.model.reset(longLines(kRows));
    // A timer due at every turn of the loop notes how many rows were measured in between.
    int most = 0;
    int seen = 0;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        most = std::max(most, p.delegate->rowsMeasured() - seen);
        seen = p.delegate->rowsMeasured();
    });
    turns.start(0);
    p.scroll.show();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !p.list->visualRect(p.at(kRows - 1)).isEmpty(); }, 20'000));
    turns.stop();
    EXPECT_LT(most, QKRowList::kBatchRows) << "the batches shrink to the rows' cost";
    settle();
    EXPECT_EQ(p.list->height(), p.heightsSum());
}

// Told to estimate out of sight, a fitted list measures only the rows its page shows before it
// first paints, yet every row has a place; the rest follow in slices of kSliceMs, rows that
// scroll into sight are measured before they are painted, and in the end every height is exact.
TEST(RowList, RowsOutOfSightAreEstimatedUntilTheyComeIntoSight) {
    constexpr int kRows = 400;
    constexpr int kRowMs = 2;
    Page p;
    p.list->setEstimatesOutOfSight(true);
    p.model.reset(mixedLines(kRows));
    int measuredAtFirstPaint = -1;
    bool lastPlacedAtFirstPaint = false;
    OnPaint probe(p.list->viewport(), [&] {
        if (measuredAtFirstPaint < 0) {
            measuredAtFirstPaint = p.delegate->rowsMeasured();
            lastPlacedAtFirstPaint = !p.list->visualRect(p.at(kRows - 1)).isEmpty();
        }
    });
    p.delegate->slowMs = kRowMs;
    p.scroll.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return measuredAtFirstPaint >= 0; }));
    // 300 points of page show a dozen rows at most, measured once at each width the page tried.
    EXPECT_LE(measuredAtFirstPaint, 30);
    EXPECT_TRUE(lastPlacedAtFirstPaint) << "every row has an estimated place";
    EXPECT_GT(p.list->height(), 10 * p.scroll.viewport()->height());

    // Scrolled at once towards the end, the rows now in sight are measured before they paint (the
    // end itself moves as the slices measure the rows above it).
    bool allInSightMeasured = true;
    bool bottomSeen = false;
    OnPaint atEnd(p.list->viewport(), [&] {
        const QRect seen = p.list->viewport()->visibleRegion().boundingRect();
        if (seen.isEmpty() || seen.top() < p.list->height() / 2)
            return;
        bottomSeen = true;
        for (int row = 0; row < kRows; ++row)
            if (p.list->visualRect(p.at(row)).intersects(seen))
                allInSightMeasured = allInSightMeasured && p.delegate->isMeasured(p.at(row));
    });
    QScrollBar* page = p.scroll.verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->maximum() > 0; }));
    page->setValue(page->maximum());
    ASSERT_TRUE(QTest::qWaitFor([&] { return bottomSeen; }));
    EXPECT_TRUE(allInSightMeasured);

    // The slices hold the loop about kSliceMs each: a timer due at every turn counts the rows.
    int most = 0;
    int seen = p.delegate->rowsMeasured();
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        most = std::max(most, p.delegate->rowsMeasured() - seen);
        seen = p.delegate->rowsMeasured();
    });
    turns.start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.list->allRowsMeasured(); }, 30'000));
    turns.stop();
    EXPECT_LE(most, QKRowList::kSliceMs / kRowMs + 12) << "a slice, and the rows in sight";
    settleRows(p);
    EXPECT_EQ(p.list->height(), p.heightsSum()) << "the list is as tall as its measured rows";
    EXPECT_EQ(p.list->visualRect(p.at(kRows - 1)).bottom() + 1, p.list->height());
}

// A list that opens in a page still to give it its width (the page lays out what it holds at its
// own width once it has seen how tall the list is) measures the rows in sight once, at the width
// they are painted at, and looks up the size of every row once on the way. What the event loop
// holds for that first frame (its flush, whoever waits for it) goes before the first slice of
// measuring out of sight, however late the frame comes.
TEST(RowList, RowsInSightAreMeasuredOnceAtTheWidthThePageGives) {
    QWidget window; // outlives the page it holds
    constexpr int kRows = 400;
    Page p;
    p.list->setEstimatesOutOfSight(true);
    p.model.reset(mixedLines(kRows));
    int measuredAtFirstPaint = -1;
    int keysAtFirstPaint = -1;
    int measuredAfterFrame = -1;
    int inSight = 0;
    bool inSightMeasured = true;
    OnPaint probe(p.list->viewport(), [&] {
        if (measuredAtFirstPaint >= 0)
            return;
        measuredAtFirstPaint = p.delegate->rowsMeasured();
        keysAtFirstPaint = p.delegate->keysAsked;
        const QRect seen = p.list->viewport()->visibleRegion().boundingRect();
        for (int row = 0; row < kRows; ++row) {
            if (p.list->visualRect(p.at(row)).intersects(seen)) {
                ++inSight;
                inSightMeasured = inSightMeasured && p.delegate->isMeasured(p.at(row));
            }
        }
        QTimer::singleShot(0, &p.scroll, [&] { measuredAfterFrame = p.delegate->rowsMeasured(); });
        // A frame slow to paint: the first slice is overdue by its end.
        QThread::msleep(3 * QKRowList::kFrameMs);
    });
    openInWindow(p, window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return measuredAfterFrame >= 0; }));
    ASSERT_TRUE(p.scroll.verticalScrollBar()->isVisible());
    EXPECT_GT(inSight, 3);
    EXPECT_TRUE(inSightMeasured) << "no row in sight is painted at an estimated height";
    // The first row is also measured at the width the page had before, for the guess.
    EXPECT_LE(measuredAtFirstPaint, inSight + 1);
    EXPECT_LT(keysAtFirstPaint, 2 * kRows) << "one lookup of each row, not one per width";
    EXPECT_EQ(measuredAfterFrame, measuredAtFirstPaint) << "no slice before the frame is done";
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.list->allRowsMeasured(); }, 30'000));
}
