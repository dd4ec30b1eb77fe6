#include "vitals/views/Sparkline.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

QList<QPointF> points(const QPainterPath& p) {
    QList<QPointF> out;
    for (int i = 0; i < p.elementCount(); ++i)
        out << QPointF(p.elementAt(i).x, p.elementAt(i).y);
    return out;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(SparklinePath, NothingToDrawGivesAnEmptyPath) {
    EXPECT_TRUE(Sparkline::path({0.5}, true, 100, 36).isEmpty());
    EXPECT_TRUE(Sparkline::path({0.1, 0.2}, false, 0, 36).isEmpty());
    EXPECT_TRUE(Sparkline::path({0.1, 0.2}, false, 100, 0).isEmpty());
}

TEST(SparklinePath, ReadingsSpanTheWidthInsideTheBand) {
    // Full, empty, beyond both ends, and NaN (at the bottom rather than poisoning the path).
    EXPECT_EQ(points(Sparkline::path({1, 0, 1.7, -0.4, 0.25, kNaN}, false, 100, 36)),
              (QList<QPointF>{{0, 3}, {20, 33}, {40, 3}, {60, 33}, {80, 25.5}, {100, 33}}));
    // The area closes along the bottom edge, 3 below the lowest line.
    EXPECT_EQ(points(Sparkline::path({0, 0}, true, 50, 20)),
              (QList<QPointF>{{0, 17}, {50, 17}, {50, 20}, {0, 20}, {0, 17}}));
    // A chart 6 high or less keeps a 1-high band starting 3 from the top.
    EXPECT_EQ(points(Sparkline::path({1, 0}, false, 10, 4)), (QList<QPointF>{{0, 3}, {10, 4}}));
}

TEST(SparklineSpeech, LatestReadingAsWholePercent) {
    EXPECT_EQ(Sparkline::spokenValue({}), "no readings yet");
    EXPECT_EQ(Sparkline::spokenValue({0.2, 0.734}), "73 percent");
    EXPECT_EQ(Sparkline::spokenValue({kNaN}), "0 percent");
    EXPECT_EQ(Sparkline::spokenValue({std::numeric_limits<double>::infinity()}), "100 percent");

    Sparkline chart({0.5, 0.61}, Qt::red);
    EXPECT_EQ(chart.accessibleName(), "Recent history");
    EXPECT_EQ(chart.accessibleDescription(), "61 percent");
    chart.setValues({});
    EXPECT_EQ(chart.accessibleDescription(), "no readings yet");
}
