#include "platform/DesktopEntry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
const QString kMain = QStringLiteral("Desktop Entry");

DesktopEntry fixture(const char* name) {
    const auto e = DesktopEntry::readFile(
        testsupport::fixture(QStringLiteral("startup/desktop/") + QString::fromLatin1(name)));
    EXPECT_TRUE(e.has_value()) << name;
    return e.value_or(DesktopEntry());
}
} // namespace

TEST(DesktopEntry, GroupsCommentsAndKeysFollowTheSpecification) {
    const DesktopEntry e = DesktopEntry::parse("Orphan=before any group\n"
                                               "  # indented comment\n"
                                               "[Desktop Entry]\n"
                                               "Name = Spaced  \n"
                                               "Name=Later wins\n"
                                               "not a key line\n"
                                               "Bad Key=x\n"
                                               "[Broken\n"
                                               "Lost=in a broken group\n"
                                               "[Extra]\n"
                                               "A=1\n"
                                               "[Desktop Entry]\n"
                                               "Exec=merged\n");
    EXPECT_TRUE(e.isValid());
    EXPECT_EQ(e.groups(), QStringList({"Desktop Entry", "Extra"}));
    EXPECT_EQ(e.string(kMain, "Name"), QString("Later wins"));
    EXPECT_EQ(e.string(kMain, "Exec"), QString("merged")); // a repeated group continues
    EXPECT_FALSE(e.rawValue(kMain, "Orphan"));
    EXPECT_FALSE(e.rawValue(kMain, "Bad Key"));
    EXPECT_FALSE(e.rawValue(kMain, "Lost"));
    EXPECT_EQ(e.rawValue("Extra", "A"), QString("1"));

    EXPECT_FALSE(DesktopEntry::parse("[Other]\n[Desktop Entry]\nName=x\n").isValid());
    EXPECT_FALSE(DesktopEntry::parse("").isValid());
}

TEST(DesktopEntry, LocaleKeysPickTheBestMatchAndEscapesAreUndone) {
    const DesktopEntry e = fixture("localized.desktop");
    const struct {
        const char* locale;
        const char* name;
    } rows[] = {
        {"de_AT.UTF-8", "Dateien (Österreich)"},
        {"de_DE.UTF-8", "Dateien"},
        {"de", "Dateien"},
        {"sr_RS.UTF-8@latin", "Datoteke (Srbija)"},
        {"sr_ME@latin", "Datoteke"},
        {"sr_RS", "Files"}, // no plain "sr" key
        {"fr_FR.UTF-8", "Files"},
        {"C", "Files"},
        {"", "Files"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(e.localeString(kMain, "Name", row.locale), QString::fromUtf8(row.name))
            << row.locale;

    EXPECT_EQ(e.string(kMain, "Comment"), QString("Line one\nline two\ttabbed and\\slash"));
    EXPECT_EQ(e.stringList(kMain, "Categories"), QStringList({"System", "Utility", "Semi;colon"}));
    EXPECT_EQ(e.program(), QString("/opt/My Apps/files"));
    EXPECT_EQ(e.string("Desktop Action New", "Name"), QString("New Window"));
}

TEST(DesktopEntry, HiddenAndGnomeSwitchDecideAutostart) {
    EXPECT_TRUE(fixture("localized.desktop").autostarts());
    EXPECT_FALSE(fixture("hidden.desktop").autostarts());
    EXPECT_FALSE(fixture("gnome-disabled.desktop").autostarts());
    EXPECT_EQ(fixture("gnome-disabled.desktop").program(), QString("tracker-miner-fs-3"));

    const auto starts = [](const char* keys) {
        return DesktopEntry::parse(QByteArray("[Desktop Entry]\n") + keys).autostarts();
    };
    EXPECT_TRUE(starts("Hidden=false\n"));
    EXPECT_TRUE(starts("Hidden=yes\n")); // not a Boolean: ignored
    EXPECT_FALSE(starts("Hidden=1\n"));
    EXPECT_FALSE(starts("X-GNOME-Autostart-enabled=0\n"));
    // The switch counts only in the main group.
    EXPECT_TRUE(starts("[Desktop Action A]\nHidden=true\n"));
}

TEST(DesktopEntry, ExecQuotingFieldCodesAndMalformedInput) {
    const DesktopEntry e = fixture("quoting.desktop");
    const auto args = DesktopEntry::splitExec(*e.string(kMain, "Exec"));
    ASSERT_TRUE(args);
    EXPECT_EQ(*args, QStringList({R"(/usr/bin/with "quotes" and \ backslash)", "--arg=$HOME", "%",
                                  "plain"}));
    EXPECT_FALSE(DesktopEntry::splitExec("\"unterminated arg"));
    EXPECT_EQ(DesktopEntry::parse("[Desktop Entry]\nExec=\"open\n").program(), QString());
    EXPECT_EQ(DesktopEntry::splitExec("  %U  "), QStringList());
    EXPECT_EQ(DesktopEntry::splitExec("app \"%U\""), QStringList({"app", "%U"}));

    // Line ends of the other kind and bytes that are not UTF-8 are survived, not trusted.
    const DesktopEntry crlf = fixture("crlf-latin1.desktop");
    EXPECT_EQ(crlf.program(), QString("crlf"));
    EXPECT_TRUE(crlf.string(kMain, "Name")->startsWith("CRLF "));
}

TEST(DesktopEntry, ReadsOnlyRegularFilesOfBoundedSize) {
    const QString dir = testsupport::freshDir("desktop-read");
    EXPECT_FALSE(DesktopEntry::readFile(dir)); // a folder
    EXPECT_FALSE(DesktopEntry::readFile(dir + "/missing.desktop"));
    QFile big(dir + "/big.desktop");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("[Desktop Entry]\nName=");
    big.write(QByteArray(DesktopEntry::MaxFileBytes, 'x'));
    big.close();
    EXPECT_FALSE(DesktopEntry::readFile(big.fileName()));
}

TEST(DesktopEntry, MessagesLocaleTakesTheFirstVariableSet) {
    EXPECT_EQ(DesktopEntry::messagesLocale("", "de_DE.UTF-8", "en_US.UTF-8"),
              QString("de_DE.UTF-8"));
    EXPECT_EQ(DesktopEntry::messagesLocale("C", "de_DE", "en_US"), QString("C"));
    EXPECT_EQ(DesktopEntry::messagesLocale("", "", ""), QString());
}
