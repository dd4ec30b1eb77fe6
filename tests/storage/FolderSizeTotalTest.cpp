#include "storage/FolderSizeTotal.h"

#include <gtest/gtest.h>

using Linked = FolderSizeTotal::LinkedFile;

// A file held by several rows counts once while any of them is counted, and in full again in
// the row that still holds it when another is measured anew without it or taken out.
TEST(FolderSizeTotal, AFileOfSeveralRowsCountsOnce) {
    FolderSizeTotal total;
    const Linked film{1, 7, 100}, other{1, 8, 10};
    total.add("/h/a", 150, {film});
    total.add("/h/b", 120, {film, other});
    total.add("/h/c", 10, {other});
    EXPECT_EQ(total.bytes(), 150 + 120 + 10 - 100 - 10);
    total.add("/h/b", 20, {}); // measured again: it holds neither any more
    EXPECT_EQ(total.bytes(), 150 + 20 + 10);
    total.remove("/h/a");
    total.remove("/h/gone");
    EXPECT_EQ(total.bytes(), 20 + 10);
    total.clear();
    EXPECT_EQ(total.bytes(), 0);
}
