// The command line every benchmark reads: a word meant as an option is never taken for the folder
// a benchmark fills, and a usage error ends the program before it does anything.
#include "support/BenchArgs.h"

#include <gtest/gtest.h>

namespace {

BenchArgs::Command treeBench() {
    return BenchArgs::treeCommand(QStringLiteral("walk_bench"), QStringLiteral("A walk."));
}

} // namespace

TEST(BenchArgs, HelpAndUnknownOptionsEndTheProgramInsteadOfNamingTheFolder) {
    EXPECT_EQ(BenchArgs::parse({"--help"}, treeBench()).exitNow, 0);
    EXPECT_EQ(BenchArgs::parse({"-h"}, treeBench()).exitNow, 0);
    EXPECT_EQ(BenchArgs::parse({"--out", "/tmp/x"}, treeBench()).exitNow, 2);
    EXPECT_EQ(BenchArgs::parse({"--threads"}, treeBench()).exitNow, 2);
    EXPECT_EQ(BenchArgs::parse({"--threads", "many", "/tree"}, treeBench()).exitNow, 2);
    EXPECT_EQ(BenchArgs::parse({"--threads", "-1", "/tree"}, treeBench()).exitNow, 2);
    EXPECT_EQ(BenchArgs::parse({}, treeBench()).exitNow, 2);
    EXPECT_EQ(BenchArgs::parse({"/a", "/b"}, treeBench()).exitNow, 2);
    // A folder whose name starts with a dash comes after "--".
    const BenchArgs::Parsed dashed = BenchArgs::parse({"--", "--help"}, treeBench());
    EXPECT_FALSE(dashed.exitNow);
    EXPECT_EQ(dashed.operands, QStringList{"--help"});
}

TEST(BenchArgs, OptionsAndOperandsComeInAnyOrder) {
    const BenchArgs::Parsed parsed =
        BenchArgs::parse({"/tree", "--threads", "3", "--once"}, treeBench());
    ASSERT_FALSE(parsed.exitNow);
    EXPECT_EQ(parsed.operands, QStringList{"/tree"});
    EXPECT_TRUE(parsed.has("--once"));
    EXPECT_EQ(parsed.number("--threads", 8), 3);
    const BenchArgs::Parsed bare = BenchArgs::parse({"/tree"}, treeBench());
    EXPECT_FALSE(bare.has("--once"));
    EXPECT_EQ(bare.number("--threads", 8), 8);
}
