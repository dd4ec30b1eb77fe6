// The defaults stand-in: its store, its commands and their output, in-process and as the
// pendrel-defaults program run through the tool runner.
#include "platform/DefaultsTool.h"
#include "platform/DefaultsDomains.h"
#include "platform/HomeLayout.h"
#include "platform/ToolRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>

namespace {

struct ToolRun {
    int code;
    QString out;
    QString err;
};

class DefaultsToolTest : public ::testing::Test {
protected:
    QString folder = testsupport::freshDir("defaults") + "/defaults.d";
    ToolRun run(const QStringList& args) {
        const DefaultsTool::Outcome o = DefaultsTool::run(args, folder);
        return {o.exitCode, QString::fromUtf8(o.standardOutput),
                QString::fromUtf8(o.standardError)};
    }
};

} // namespace

TEST_F(DefaultsToolTest, WrittenValuesReadBackAsTheSystemToolPrintsThem) {
    const struct {
        const char* type;
        const char* value;
        const char* printed;
    } rows[] = {
        {"-bool", "true", "1\n"},      {"-bool", "FALSE", "0\n"},
        {"-bool", "yes", "1\n"},       {"-int", "15", "15\n"},
        {"-int", "-2", "-2\n"},        {"-float", "0", "0\n"},
        {"-float", "0.1", "0.1\n"},    {"-float", "0.001", "0.001\n"},
        {"-string", "SCcf", "SCcf\n"}, {"-string", "two words", "two words\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.type) + " " + row.value);
        EXPECT_EQ(run({"write", "com.example", "k", row.type, row.value}).code, 0);
        const ToolRun r = run({"read", "com.example", "k"});
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out, QString(row.printed));
    }
    // Without a type a value is a string; "-g" is the global domain.
    EXPECT_EQ(run({"write", "-g", "AppleShowScrollBars", "Always"}).code, 0);
    EXPECT_EQ(run({"read", "NSGlobalDomain", "AppleShowScrollBars"}).out, QString("Always\n"));
    EXPECT_TRUE(QFile::exists(folder + "/NSGlobalDomain.json"));
    EXPECT_EQ(run({"domains"}).out, QString("NSGlobalDomain, com.example\n"));
    // Other keys of a domain survive a write and a delete.
    EXPECT_EQ(run({"write", "com.example", "other", "-int", "3"}).code, 0);
    EXPECT_EQ(run({"delete", "com.example", "k"}).code, 0);
    EXPECT_EQ(run({"read", "com.example", "other"}).out, QString("3\n"));
}

TEST_F(DefaultsToolTest, MissingKeysAndBadInputHaveTheirOwnExitStatus) {
    const ToolRun missingDomain = run({"read", "com.example.none", "k"});
    EXPECT_EQ(missingDomain.code, DefaultsTool::NotFound);
    EXPECT_EQ(missingDomain.err,
              QString("The domain/default pair of (com.example.none, k) does not exist\n"));
    EXPECT_EQ(run({"delete", "com.example.none", "k"}).code, DefaultsTool::NotFound);
    EXPECT_FALSE(QFile::exists(folder + "/com.example.none.json")); // a delete creates nothing

    for (const QStringList& bad : {
             QStringList{"write", "d", "k", "-bool", "maybe"},
             QStringList{"write", "d", "k", "-int", "1.5"},
             QStringList{"write", "d", "k", "-int", "9007199254740993"}, // not exact in JSON
             QStringList{"write", "d", "k", "-float", "nan"},
             QStringList{"write", "d", "k", "-array", "x"},
             QStringList{"write", "../escape", "k", "v"},
             QStringList{"write", ".hidden", "k", "v"},
             QStringList{"write", "d", "", "v"},
             QStringList{"delete", "d"},
             QStringList{"frobnicate"},
             QStringList{},
         }) {
        const ToolRun r = run(bad);
        EXPECT_EQ(r.code, DefaultsTool::Failure) << bad.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_TRUE(QDir(folder).entryList({"*.json"}, QDir::Files).isEmpty());
}

TEST_F(DefaultsToolTest, ADamagedDomainIsMovedAsideBeforeAnythingReplacesIt) {
    QDir().mkpath(folder);
    QFile damaged(folder + "/com.apple.dock.json");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"autohide-delay\": 0, oops");
    damaged.close();

    // Reading says so and leaves the file alone.
    const ToolRun read = run({"read", "com.apple.dock", "autohide-delay"});
    EXPECT_EQ(read.code, DefaultsTool::Failure);
    EXPECT_TRUE(read.err.startsWith("Could not read domain com.apple.dock"));
    EXPECT_TRUE(damaged.exists());

    const ToolRun write = run({"write", "com.apple.dock", "show-recents", "-bool", "false"});
    EXPECT_EQ(write.code, 0);
    EXPECT_TRUE(write.err.contains("moved aside"));
    const QStringList aside =
        QDir(folder).entryList({"com.apple.dock.json.corrupt-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    QFile kept(folder + "/" + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("{\"autohide-delay\": 0, oops"));
    EXPECT_EQ(run({"read", "com.apple.dock", "show-recents"}).out, QString("0\n"));
}

TEST(DefaultsDomainsFormat, PrintsEveryJsonTypeOnOneLine) {
    EXPECT_EQ(DefaultsDomains::format(QJsonValue(true)), QString("1"));
    EXPECT_EQ(DefaultsDomains::format(QJsonValue(2.0)), QString("2"));
    EXPECT_EQ(DefaultsDomains::format(QJsonValue(1e-5)), QString("1e-05"));
    EXPECT_EQ(DefaultsDomains::format(QJsonArray{1, "a"}), QString("[1,\"a\"]"));
    EXPECT_EQ(DefaultsDomains::format(QJsonValue()), QString("null"));
}

// The real program, as the tweaks run it: a child process in this test's sandboxed home.
TEST(PendrelDefaultsProgram, RoundTripsThroughAChildProcess) {
    const QString program = QStringLiteral(PENDREL_BINARY_DIR "/src/pendrel-defaults");
    ASSERT_TRUE(QFile::exists(program));
    ProcessToolRunner runner;
    const ToolResult write =
        runner.run(program, {"write", "com.apple.finder", "AppleShowAllFiles", "-bool", "true"});
    EXPECT_TRUE(write.succeeded()) << write.standardError.toStdString();
    const ToolResult read = runner.run(program, {"read", "com.apple.finder", "AppleShowAllFiles"});
    EXPECT_TRUE(read.succeeded());
    EXPECT_EQ(read.standardOutput, QByteArray("1\n"));
    // The store of the sandbox's configuration folder, as the app's own reads would see it.
    EXPECT_TRUE(QFile::exists(DefaultsDomains::folderFor(HomeLayout::fromEnvironment()) +
                              "/com.apple.finder.json"));

    const ToolResult missing = runner.run(program, {"read", "com.apple.finder", "Nope"});
    EXPECT_TRUE(missing.started);
    EXPECT_EQ(missing.exitCode, DefaultsTool::NotFound);
    EXPECT_FALSE(missing.standardError.isEmpty()); // both channels are read

    const ToolResult absent = runner.run(program + ".absent", {});
    EXPECT_FALSE(absent.started);
    EXPECT_FALSE(absent.startError.isEmpty());
}

TEST(ProcessToolRunner, StopsAProgramThatOverrunsItsTime) {
    ProcessToolRunner runner;
    const ToolResult r = runner.run("/bin/sleep", {"5"}, 200);
    EXPECT_TRUE(r.started);
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(r.succeeded());
}
