#include "vitals/ProcessListing.h"
#include "VitalsTestUtil.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {
QString fixtureText(const char* name) {
    QFile file(testsupport::fixture(QStringLiteral("vitals/") + name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}
} // namespace

TEST(ProcessListing, MemoryLinesLimitBeforeDropping) {
    // Six non-empty lines are looked at; two of them are malformed, so four rows come back and
    // the lines after the sixth are never read.
    const auto rows = ProcessListing::parseMemory(fixtureText("ps-memory.txt"), 6);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].name, "firefox-esr");
    EXPECT_EQ(rows[0].memoryBytes, 1638400ull * 1024);
    EXPECT_EQ(rows[1].name, "code"); // split at the space, the tab trimmed from the name
    EXPECT_EQ(rows[1].memoryBytes, 1228800ull * 1024);
    EXPECT_EQ(rows[2].name, "Isolated Web Co");
    EXPECT_EQ(rows[3].name, "gnome-shell");
}

TEST(ProcessListing, MemoryEdgeLines) {
    EXPECT_TRUE(ProcessListing::parseMemory("", 6).isEmpty());
    EXPECT_TRUE(ProcessListing::parseMemory("100 x\n", 0).isEmpty());
    EXPECT_TRUE(ProcessListing::parseMemory("-5 negative\n+5 plus\n", 6).isEmpty());
    // KiB × 1024 would not fit in 64 bits.
    EXPECT_TRUE(ProcessListing::parseMemory("18014398509481984 huge\n", 6).isEmpty());
    EXPECT_EQ(ProcessListing::parseMemory("18014398509481983 big\n", 6).value(0).memoryBytes,
              18014398509481983ull * 1024);
    const auto spaced = ProcessListing::parseMemory("12 Web Content helper\n", 6);
    EXPECT_EQ(spaced.value(0).name, "Web Content helper");
}

TEST(ProcessListing, CpuLinesFilteredThenLimited) {
    const auto rows = ProcessListing::parseCPU(fixtureText("ps-cpu.txt"), 5);
    QStringList names;
    for (const auto& r : rows)
        names << r.name;
    // kernel_task and WindowServer never appear; unparsable numbers and 0.5 exactly are
    // skipped; the walk stops at five rows, so "sixth" is never reached.
    EXPECT_EQ(names,
              QStringList({"clang++", "Google Chrome Helper", "just-above", "exponent", "fifth"}));
    EXPECT_DOUBLE_EQ(rows[0].cpuPercent, 41.25);
    EXPECT_DOUBLE_EQ(rows[3].cpuPercent, 10.0);
}

TEST(ProcessListing, LinuxDisplayServersAreExcludedToo) {
    const auto rows = ProcessListing::parseCPU("90.0 Xorg\n80.0 Xwayland\n70.0 gnome-shell\n", 5);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].name, "gnome-shell");
}

TEST(ProcessListing, WrittenListingsKeepOneProcessPerLine) {
    const QList<ProcessListing::Entry> entries = {{"evil\nname\t", 4096 * 10, 12.34},
                                                  {"plain", 2048, 0.0}};
    const QString memory = ProcessListing::writeMemory(entries);
    EXPECT_EQ(memory, "40 evil?name?\n2 plain\n");
    const auto memoryRows = ProcessListing::parseMemory(memory, 6);
    ASSERT_EQ(memoryRows.size(), 2);
    EXPECT_EQ(memoryRows[0].name, "evil?name?");
    EXPECT_EQ(ProcessListing::writeCPU(entries), "12.3 evil?name?\n0.0 plain\n");
}
