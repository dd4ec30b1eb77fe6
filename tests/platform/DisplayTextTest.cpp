#include "platform/DisplayText.h"

#include <gtest/gtest.h>

// Lengths are what a reader counts, not code units: the limits and masks that use them must not
// split or over-count a character built of several code points.
TEST(DisplayText, PerceivedLengthCountsWhatAReaderSees) {
    EXPECT_EQ(DisplayText::perceivedLength(QString()), 0);
    EXPECT_EQ(DisplayText::perceivedLength(QStringLiteral("abc")), 3);
    // e and a combining acute accent; a surrogate pair; a family joined by zero-width joiners.
    EXPECT_EQ(DisplayText::perceivedLength(QStringLiteral("e\u0301")), 1);
    EXPECT_EQ(DisplayText::perceivedLength(QStringLiteral("\U0001F600!")), 2);
    EXPECT_EQ(
        DisplayText::perceivedLength(QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467")),
        1);
}
