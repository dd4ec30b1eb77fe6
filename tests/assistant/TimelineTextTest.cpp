// The timeline screen's wording.
#include "assistant/TimelineText.h"

#include <gtest/gtest.h>

TEST(TimelineText, RelativeDatesInAtMostTwoUnits) {
    const QDateTime now(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
    const struct {
        qint64 secondsAgo;
        const char* text;
    } cases[] = {
        {0, "just now"},
        {1, "1 second ago"},
        {59, "59 seconds ago"},
        {60, "1 minute ago"},
        {3599, "59 minutes ago"},
        {3600, "1 hour ago"},
        {2 * 3600 + 5 * 60 + 30, "2 hours, 5 minutes ago"},
        {86400 + 3600, "1 day, 1 hour ago"},
        {15 * 86400, "2 weeks, 1 day ago"},
        {130 * 86400, "4 months, 1 week ago"},
        {400 * 86400, "1 year, 1 month ago"},
        {-300, "in 5 minutes"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimelineText::relativeDate(now.addSecs(-c.secondsAgo), now), c.text)
            << c.secondsAgo;
}

TEST(TimelineText, EmptyStateFollowsTheSearchAsTyped) {
    EXPECT_EQ(TimelineText::emptyTitle(""), "Nothing here yet");
    EXPECT_EQ(TimelineText::emptyTitle(" "), "No matches") << "blanks count";
    EXPECT_EQ(TimelineText::emptyMessage("x"),
              "Try different words from a question Pendrel already answered.");
    EXPECT_EQ(TimelineText::entryCount(5), "5 entries on this Mac");
    EXPECT_EQ(TimelineText::entryCount(1), "1 entry on this Mac");
    EXPECT_EQ(TimelineText::entryCount(0), "0 entries on this Mac");
}
