#include "ui-kit/QKGridLayout.h"

#include <gtest/gtest.h>

// As many columns as fit at the minimum width, counting the spacing between them.
TEST(QKGridLayout, ColumnsOfAtLeastTheMinimumWidth) {
    const QKGridLayout home(210, 12, 12);
    EXPECT_EQ(home.columnsFor(100), 1);
    EXPECT_EQ(home.columnsFor(431), 1);
    EXPECT_EQ(home.columnsFor(432), 2);
    EXPECT_EQ(home.columnsFor(888), 4);
    EXPECT_EQ(home.columnsFor(2000), 9);

    const QKGridLayout cards(220, 14, 14);
    EXPECT_EQ(cards.columnsFor(688), 3);
    EXPECT_EQ(cards.columnsFor(687), 2);
    EXPECT_EQ(cards.columnsFor(454), 2);
    EXPECT_EQ(cards.columnsFor(453), 1);
    EXPECT_EQ(cards.columnsFor(0), 1);
}
