// The headroom of one sample: where each cut falls, the lines in check order, the titles and the
// summary line.
#include "home/HeadroomText.h"
#include "home/HomeTestSupport.h"

#include <gtest/gtest.h>

using namespace hometest;
using P = ThermalSnapshot::Pressure;

namespace {

struct HeadroomCase {
    const char* name;
    SystemSnapshot snapshot;
    qint64 junk;
    int score;
    QStringList findings;
};

class HeadroomCuts : public ::testing::TestWithParam<HeadroomCase> {};

TEST_P(HeadroomCuts, ScoreAndFindingLines) {
    const HeadroomCase& c = GetParam();
    const HeadroomText::Headroom h = HeadroomText::headroom(c.snapshot, c.junk);
    EXPECT_EQ(h.score, c.score);
    EXPECT_EQ(h.findings, c.findings);
}

SystemSnapshot emptySnapshot() {
    SystemSnapshot s;
    s.memTotalBytes = 0;
    s.memUsedBytes = 0;
    return s;
}

const QString kRoom = "Storage has room", kCalm = "Memory comfortable",
              kCool = "Thermals comfortable", kUnread = "Thermal status unavailable";

INSTANTIATE_TEST_SUITE_P(
    Cuts, HeadroomCuts,
    ::testing::Values(
        HeadroomCase{"empty", emptySnapshot(), 0, 100, {kRoom, kCalm, kUnread}},
        HeadroomCase{"free_0_08_is_tight",
                     sample(0.5, 0.08),
                     0,
                     82,
                     {"Storage getting tight", kCalm, kCool}},
        HeadroomCase{
            "free_below_0_08", sample(0.5, 0.079), 0, 70, {"Storage critically low", kCalm, kCool}},
        HeadroomCase{"free_0_15_watching",
                     sample(0.5, 0.15),
                     0,
                     92,
                     {"Storage worth watching", kCalm, kCool}},
        HeadroomCase{"free_0_25_room", sample(0.5, 0.25), 0, 100, {kRoom, kCalm, kCool}},
        HeadroomCase{"memory_0_9", sample(0.9), 0, 85, {kRoom, "Memory elevated", kCool}},
        HeadroomCase{"memory_above_0_9",
                     sample(0.901),
                     0,
                     75,
                     {kRoom, "Memory under heavy pressure", kCool}},
        HeadroomCase{"memory_0_8", sample(0.8), 0, 94, {kRoom, "Memory filling up", kCool}},
        HeadroomCase{"memory_0_7", sample(0.7), 0, 100, {kRoom, kCalm, kCool}},
        HeadroomCase{
            "cpu_85", sample(0.5, 0.5, 85.0), 0, 93, {kRoom, kCalm, "CPU elevated", kCool}},
        HeadroomCase{
            "cpu_above_85", sample(0.5, 0.5, 85.1), 0, 85, {kRoom, kCalm, "CPU very busy", kCool}},
        HeadroomCase{"cpu_60_no_line", sample(0.5, 0.5, 60.0), 0, 100, {kRoom, kCalm, kCool}},
        HeadroomCase{
            "fair", sample(0.5, 0.5, 10, P::Fair), 0, 94, {kRoom, kCalm, "Mac warming up"}},
        HeadroomCase{
            "serious", sample(0.5, 0.5, 10, P::Serious), 0, 86, {kRoom, kCalm, "Mac running hot"}},
        // No reading is not a comfortable one: the line says what the temperature tile says.
        HeadroomCase{"unknown", sample(0.5, 0.5, 10, P::Unknown), 0, 100, {kRoom, kCalm, kUnread}},
        HeadroomCase{"junk_five_billion", sample(), 5'000'000'000, 100, {kRoom, kCalm, kCool}},
        HeadroomCase{"junk_above_last",
                     sample(),
                     5'000'000'001,
                     95,
                     {kRoom, kCalm, kCool, "5 GB could be cleared"}},
        HeadroomCase{"lowest",
                     sample(0.95, 0.05, 90, P::Critical),
                     6'000'000'000,
                     5,
                     {"Storage critically low", "Memory under heavy pressure", "CPU very busy",
                      "Thermal pressure critical", "6 GB could be cleared"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Headroom, TitlesTakeTheHigherRowAtTheirBounds) {
    // 100 − 15 = 85; storage low alone = 70; low storage and critical heat = 50; low storage,
    // memory above 0.9 and CPU above 85 = 30.
    EXPECT_EQ(HeadroomText::headroom(sample(0.85), 0).title, "Excellent headroom");
    EXPECT_EQ(HeadroomText::headroom(sample(0.5, 0.05), 0).title, "Good headroom");
    EXPECT_EQ(HeadroomText::headroom(sample(0.5, 0.05, 10, P::Critical), 0).title, "Fair headroom");
    EXPECT_EQ(HeadroomText::headroom(sample(0.95, 0.05, 90), 0).title, "Limited headroom");
    EXPECT_EQ(HeadroomText::headroom(sample(0.95, 0.05, 90, P::Critical), 0).title,
              "Needs attention");
}

TEST(Headroom, DetailNamesScoreFreeSpaceAndTruncatedMemory) {
    SystemSnapshot s = sample(0.8567);
    s.diskTotalBytes = 500'000'000'000;
    s.diskFreeBytes = 150'000'000'000;
    EXPECT_EQ(HeadroomText::headroom(s, 0).detail,
              QString::fromUtf8("85 headroom points · 150 GB free · memory 85%"));
    EXPECT_TRUE(HeadroomText::headroom(emptySnapshot(), 0).detail.endsWith("memory 0%"));
}

} // namespace
