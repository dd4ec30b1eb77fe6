#include "ui-kit/QKGridLayout.h"

#include <gtest/gtest.h>

// As many columns as fit at the minimum width, counting the spacing between them.
TEST(QKGridLayout, ColumnsOfAtLeastTheMinimumWidth) {
    struct Fit {
        int width;
        int columns;
    };
    const auto check = [](int minimum, int spacing, std::initializer_list<Fit> fits) {
        const QKGridLayout grid(minimum, spacing, spacing);
        for (const Fit& fit : fits)
            EXPECT_EQ(grid.columnsFor(fit.width), fit.columns) << minimum << " at " << fit.width;
    };
    check(210, 12, {{100, 1}, {431, 1}, {432, 2}, {888, 4}, {2000, 9}});
    check(220, 14, {{688, 3}, {687, 2}, {454, 2}, {453, 1}, {0, 1}});
}
