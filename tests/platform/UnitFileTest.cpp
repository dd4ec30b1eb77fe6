#include "platform/UnitFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
UnitFile fixture(const char* name) {
    const auto u = UnitFile::readFile(
        testsupport::fixture(QStringLiteral("startup/units/") + QString::fromLatin1(name)));
    EXPECT_TRUE(u.has_value()) << name;
    return u.value_or(UnitFile());
}
} // namespace

TEST(UnitFile, SectionsCommentsContinuationsAndResets) {
    const UnitFile getty = fixture("getty@.service");
    EXPECT_EQ(getty.sections(), QStringList({"Unit", "Service"}));
    EXPECT_EQ(getty.description(), QString("Getty on %I"));
    EXPECT_EQ(getty.values("Service", "ExecStart").size(), 1); // the empty one cleared /bin/false
    EXPECT_EQ(getty.program(), QString("/sbin/agetty"));
    EXPECT_EQ(getty.value("Service", "Type"), QString("idle"));

    const UnitFile continued = fixture("continued.service");
    EXPECT_EQ(continued.description(), QString("A long  description"));
    EXPECT_EQ(continued.program(), QString("/usr/lib/my tool/daemon"));

    const UnitFile timer = fixture("apt-daily.timer");
    EXPECT_EQ(timer.description(), QString("Daily apt download activities"));
    EXPECT_EQ(timer.program(), QString()); // a timer starts no command itself
    EXPECT_EQ(timer.value("Timer", "OnCalendar"), QString("*-*-* 6,18:00"));

    const UnitFile odd = UnitFile::parse("Key=before section\n[Unit]\nDescription=\n"
                                         "=no key\n[Service]\nExecStart=/bin/true \\");
    EXPECT_FALSE(odd.value("Unit", "Key"));
    EXPECT_FALSE(odd.description());                // empty counts as none
    EXPECT_EQ(odd.program(), QString("/bin/true")); // a trailing backslash at the very end
}

TEST(UnitFile, CommandLinesFollowSystemdQuotingAndEscapes) {
    const struct {
        const char* line;
        QStringList words;
    } rows[] = {
        {R"(/bin/a "b c" 'd e' f\ g)", {"/bin/a", "b c", "d e", "f g"}},
        {R"(x "in\"side" 'it\'s')", {"x", "in\"side", "it's"}},
        {R"(\x41\101\u00e9\t)", {QString::fromUtf8("AAé\t")}},
        {R"(a"b"c)", {"abc"}},
        {"  ", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(UnitFile::splitCommandLine(row.line), row.words) << row.line;
    for (const char* bad : {"\"open", "'open", "a\\", "\\x4", "\\x00", "\\uD800", "\\9"})
        EXPECT_FALSE(UnitFile::splitCommandLine(bad)) << bad;

    EXPECT_EQ(UnitFile::parse("[Service]\nExecStart=- /bin/true\n").program(),
              QString("/bin/true"));
    EXPECT_EQ(UnitFile::parse("[Service]\nExecStart=!!/usr/bin/x\n").program(),
              QString("/usr/bin/x"));
}

TEST(UnitFile, SpecifiersNameTheInstance) {
    const QString unit = QStringLiteral("systemd-fsck@dev-disk-by\\x2duuid-1234.service");
    EXPECT_EQ(UnitFile::expandSpecifiers("File System Check on %I", unit),
              QString("File System Check on dev/disk/by-uuid/1234"));
    EXPECT_EQ(UnitFile::expandSpecifiers("%n|%N|%p|%i|%j|100%%|%Z|%", "getty@tty1.service"),
              QString("getty@tty1.service|getty@tty1|getty|tty1|getty|100%|%Z|%"));
    EXPECT_EQ(UnitFile::expandSpecifiers("Getty on %I", "getty@tty1.service"),
              QString("Getty on tty1"));
}
