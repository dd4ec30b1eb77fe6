#include "platform/DescriptorLimit.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

// The soft limit rises to the hard one, held to the cap, and never falls.
TEST(DescriptorLimit, TheSoftLimitRisesToTheHardOneWithinTheCap) {
    const rlim_t cap = DescriptorLimit::cap;
    EXPECT_EQ(DescriptorLimit::raised(1024, 524288), cap);
    EXPECT_EQ(DescriptorLimit::raised(1024, 4096), rlim_t(4096));
    EXPECT_EQ(DescriptorLimit::raised(1024, RLIM_INFINITY), cap);
    EXPECT_EQ(DescriptorLimit::raised(1024, 1024), rlim_t(1024));
    EXPECT_EQ(DescriptorLimit::raised(200000, 524288), rlim_t(200000));
    EXPECT_EQ(DescriptorLimit::raised(RLIM_INFINITY, RLIM_INFINITY), RLIM_INFINITY);

    // This process's own limit, lowered first so that raising it is seen.
    struct rlimit before;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    struct rlimit lowered = before;
    lowered.rlim_cur = std::min<rlim_t>(before.rlim_max, 256);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    EXPECT_TRUE(DescriptorLimit::raise());
    struct rlimit after;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &after), 0);
    EXPECT_EQ(after.rlim_cur, DescriptorLimit::raised(lowered.rlim_cur, before.rlim_max));
    EXPECT_EQ(after.rlim_max, before.rlim_max);
    ::setrlimit(RLIMIT_NOFILE, &before);
}

// Half of what is left once the open descriptors and two for each thread are set aside: never
// below nothing, never above 2^16, and an unlimited soft limit counts as 2^20.
TEST(DescriptorLimit, TheSpareHalfLeavesTheOtherHalfToTheApp) {
    EXPECT_EQ(DescriptorLimit::spareHalf(1024, 100, 8), (1024 - 100 - 16) / 2);
    EXPECT_EQ(DescriptorLimit::spareHalf(1024, 1001, 8), 3);
    EXPECT_EQ(DescriptorLimit::spareHalf(1024, 1020, 8), 0);
    EXPECT_EQ(DescriptorLimit::spareHalf(rlim_t(1) << 40, 10, 8), 1 << 16);
    EXPECT_EQ(DescriptorLimit::spareHalf(RLIM_INFINITY, 1000, 4), 1 << 16);
    EXPECT_EQ(DescriptorLimit::spareHalf(RLIM_INFINITY, (1 << 20) - 1000, 4), (1000 - 8) / 2);
}

TEST(DescriptorLimit, TheOpenListHoldsWhatThisProcessOpened) {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const std::vector<int> open = DescriptorLimit::openNow();
    ::close(fd);
    EXPECT_TRUE(std::is_sorted(open.begin(), open.end()));
    EXPECT_TRUE(std::binary_search(open.begin(), open.end(), fd));
    const std::vector<int> after = DescriptorLimit::openNow();
    EXPECT_FALSE(std::binary_search(after.begin(), after.end(), fd));
}
