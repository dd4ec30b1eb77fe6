#include "app/shots/ShotsCommandLine.h"

#include <gtest/gtest.h>

// A mistyped option once became a folder full of PNGs in the working folder: no word that starts
// with a dash is taken for OUTDIR unless it comes after "--".
TEST(ShotsCommandLine, OptionsAreNeverTakenForTheFolder) {
    EXPECT_TRUE(ShotsCommandLine::parse({QStringLiteral("--help")}).help);
    EXPECT_TRUE(ShotsCommandLine::parse({QStringLiteral("-h")}).help);
    for (const QStringList& args :
         {QStringList{QStringLiteral("--version")}, QStringList{QStringLiteral("-x")},
          QStringList{QStringLiteral("out"), QStringLiteral("--filter")}, QStringList{},
          QStringList{QStringLiteral("a"), QStringLiteral("b")},
          QStringList{QStringLiteral("--")}}) {
        const ShotsCommandLine::Parsed parsed = ShotsCommandLine::parse(args);
        EXPECT_TRUE(parsed.outDir.isEmpty()) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(parsed.error.isEmpty()) << args.join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_EQ(ShotsCommandLine::parse({QStringLiteral("/tmp/shots")}).outDir,
              QStringLiteral("/tmp/shots"));
    EXPECT_EQ(ShotsCommandLine::parse({QStringLiteral("--"), QStringLiteral("-odd")}).outDir,
              QStringLiteral("-odd"));
    EXPECT_EQ(ShotsCommandLine::parse({QStringLiteral("-")}).outDir, QStringLiteral("-"));
}
