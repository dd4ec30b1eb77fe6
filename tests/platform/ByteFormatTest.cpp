#include "platform/ByteFormat.h"

#include <gtest/gtest.h>
#include <limits>

TEST(ByteFormat, FileStyleTable) {
    const struct {
        qint64 bytes;
        const char* text;
    } rows[] = {
        {0, "Zero KB"},          {1, "1 byte"},
        {2, "2 bytes"},          {999, "999 bytes"},
        {1000, "1 KB"},          {1499, "1 KB"},
        {1500, "2 KB"},          {999'499, "999 KB"},
        {999'999, "1 MB"}, // rounds up into the next unit
        {1'500'000, "1.5 MB"},   {1'000'000, "1 MB"},
        {12'340'000, "12.3 MB"}, {1'230'000'000, "1.23 GB"},
        {1'000'000'000, "1 GB"}, {2'500'000'000'000, "2.5 TB"},
        {-1'500'000, "-1.5 MB"}, {std::numeric_limits<qint64>::max(), "9.22 EB"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(formatBytes(row.bytes).toStdString(), row.text) << row.bytes;
}

TEST(ByteFormat, UnsignedCountsAreClampedToTheSignedMaximum) {
    EXPECT_EQ(formatBytesClamped(std::numeric_limits<quint64>::max()),
              formatBytes(std::numeric_limits<qint64>::max()));
    EXPECT_EQ(formatBytesClamped(1500), QStringLiteral("2 KB"));
    EXPECT_EQ(formatBytes(std::numeric_limits<qint64>::min()).left(1), QStringLiteral("-"));
}
