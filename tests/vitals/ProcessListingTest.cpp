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
    EXPECT_EQ(rows[0].pid, 2101);
    EXPECT_EQ(rows[1].name, "code"); // split at the space, the tab trimmed from the name
    EXPECT_EQ(rows[1].memoryBytes, 1228800ull * 1024);
    EXPECT_EQ(rows[2].name, "Isolated Web Co");
    EXPECT_EQ(rows[3].name, "gnome-shell");
}

TEST(ProcessListing, MemoryEdgeLines) {
    EXPECT_TRUE(ProcessListing::parseMemory("", 6).isEmpty());
    EXPECT_TRUE(ProcessListing::parseMemory("100 1 x\n", 0).isEmpty());
    EXPECT_TRUE(ProcessListing::parseMemory("-5 1 negative\n+5 1 plus\n", 6).isEmpty());
    // No pid, a pid of 0, a pid that is not a number: no row to tie to a process.
    EXPECT_TRUE(ProcessListing::parseMemory("100 x\n100 0 zero\n100 -4 neg\n", 6).isEmpty());
    // KiB × 1024 would not fit in 64 bits.
    EXPECT_TRUE(ProcessListing::parseMemory("18014398509481984 1 huge\n", 6).isEmpty());
    EXPECT_EQ(ProcessListing::parseMemory("18014398509481983 1 big\n", 6).value(0).memoryBytes,
              18014398509481983ull * 1024);
    const auto spaced = ProcessListing::parseMemory("12 7 Web Content helper\n", 6);
    EXPECT_EQ(spaced.value(0).name, "Web Content helper");
    EXPECT_EQ(spaced.value(0).pid, 7);
}

TEST(ProcessListing, BlankAndTrickyNamesStayListedAndReadable) {
    // A process may name itself anything, nothing at all included: it keeps its row.
    const auto rows = ProcessListing::parseMemory(
        "300 41\n200 42    \n100 43 \u202Egnp.exe\u202C\n90 44 a\u2028b\u0085c\u200F\n", 6);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].name, "Process 41");
    EXPECT_EQ(rows[1].name, "Process 42");
    EXPECT_EQ(rows[2].name, "gnp.exe"); // no override can turn the label around
    EXPECT_EQ(rows[3].name, "a b c");   // no separator can break the row
    EXPECT_EQ(ProcessListing::parseCPU("9.0 45 \u2066\u2069\n", 5).value(0).name, "Process 45");
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
    const auto rows =
        ProcessListing::parseCPU("90.0 1 Xorg\n80.0 2 Xwayland\n70.0 3 gnome-shell\n", 5);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].name, "gnome-shell");
    EXPECT_EQ(rows[0].pid, 3);
}

TEST(ProcessListing, WrittenListingsKeepOneProcessPerLineAndTheirPids) {
    const QList<ProcessListing::Entry> entries = {
        {"evil\nname\t", 4096 * 10, 12.34, 71}, {"plain", 2048, 0.0, 72}, {"", 1024, 3.0, 73}};
    const auto memoryRows = ProcessListing::parseMemory(ProcessListing::writeMemory(entries), 6);
    ASSERT_EQ(memoryRows.size(), 3);
    EXPECT_EQ(memoryRows[0].name, "evil name");
    EXPECT_EQ(memoryRows[0].memoryBytes, 40u * 1024);
    EXPECT_EQ(memoryRows[0].pid, 71);
    EXPECT_EQ(memoryRows[1].pid, 72);
    EXPECT_EQ(memoryRows[2].name, "Process 73");
    const auto cpuRows = ProcessListing::parseCPU(ProcessListing::writeCPU(entries), 5);
    ASSERT_EQ(cpuRows.size(), 2); // 0.0 % is not busy
    EXPECT_EQ(cpuRows[0].name, "evil name");
    EXPECT_DOUBLE_EQ(cpuRows[0].cpuPercent, 12.3);
    EXPECT_EQ(cpuRows[1].pid, 73);
}
