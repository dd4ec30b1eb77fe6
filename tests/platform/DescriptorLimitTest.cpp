#include "platform/DescriptorLimit.h"

#include <gtest/gtest.h>

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
