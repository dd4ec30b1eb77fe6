// The built-in tables: what must hold for every row whatever its wording (ids, grades and ticks,
// the search fields, where the locations land and what the guard lets a row empty), the rules
// that tie the screenshot rows together, which mail rows exist, what the logs row finds, and a
// few places a Linux home keeps where the other platform's home has something else.
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleanerPaneText.h"
#include "cleaning/CleanupScanner.h"
#include "measuring/ContentsGuard.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>

namespace {

using S = TamsoSafety;
using Mode = CleanCategory::MeasuringMode;

HomeLayout sampleLayout() {
    HomeLayout l = HomeLayout::forHome("/home/ada");
    l.setCacheHome("/home/ada/.cache");
    return l;
}

const CleanCategory& row(const QList<CleanCategory>& table, const char* id) {
    const qsizetype i = CleanCategories::indexOf(table, QString::fromUtf8(id));
    EXPECT_GE(i, 0) << id;
    return table.at(std::max<qsizetype>(i, 0));
}

// A home where every mail place the mail table knows is there: a layout of the other platform
// mapped here, two Thunderbird profiles (one without IMAP mail), and things in the profiles
// folder that are not profiles.
struct MailHome {
    QString home = testsupport::freshDir("mail-home");
    HomeLayout layout = HomeLayout::forHome(home);
    QString profiles = home + "/.thunderbird";

    void fill() const {
        for (const char* f :
             {"Library/Mail Downloads", "Library/Caches/com.apple.mail", "Library/Mail",
              "Library/Caches/Thunderbird", "Library/Caches/org.mozilla.thunderbird",
              "Library/Caches/com.microsoft.Outlook",
              "Library/Group Containers/UBF8T346G9.Office/Outlook/Outlook 15 "
              "Profiles/Main Profile/Data/Cache"})
            QDir().mkpath(layout.map(QString::fromUtf8(f)));
        QDir().mkpath(profiles + "/a1.default/ImapMail");
        QDir().mkpath(profiles + "/a1.default/Mail");
        QDir().mkpath(profiles + "/b2.work/Mail");
        QDir().mkpath(profiles + "/.hidden/ImapMail");
        QFile(profiles + "/profiles.ini").open(QIODevice::WriteOnly);
        QFile(profiles + "/b2.work/global-messages-db.sqlite").open(QIODevice::WriteOnly);
    }
};

// What must hold for every row of every built-in table.
void expectSoundRows(const QList<CleanCategory>& table, const HomeLayout& layout) {
    static const QRegularExpression idForm(QStringLiteral("^[a-z0-9]+(-[a-z0-9]+)*$"));
    const ContentsGuard guard = ContentsGuard::forLayout(layout);
    QSet<QString> ids;
    for (const CleanCategory& c : table) {
        SCOPED_TRACE(c.id.toStdString());
        // Ids are stored (ticks, settings): one plain form, each once.
        EXPECT_TRUE(idForm.match(c.id).hasMatch());
        EXPECT_FALSE(ids.contains(c.id));
        ids.insert(c.id);
        EXPECT_FALSE(c.name.isEmpty());
        EXPECT_FALSE(c.plainDescription.isEmpty());
        EXPECT_NE(c.safety, S::Keep) << "a grade for what is never listed";

        // A tick by default is never a row to check first, nor a row that cannot be removed;
        // the only risky row ticked is the Trash, whose emptying is the point of the row.
        if (c.onByDefault) {
            EXPECT_NE(c.safety, S::CheckFirst);
            EXPECT_TRUE(c.removable);
            if (c.safety == S::Risky) {
                EXPECT_EQ(c.id, "trash");
            }
        }

        // Search fields only where a search uses them.
        if (!c.matchNamePrefixes.isEmpty()) {
            EXPECT_EQ(c.measuringMode(), Mode::FileSearch);
        }
        if (c.measuringMode() == Mode::FolderSearch) {
            EXPECT_TRUE(c.maxSearchDepth.has_value()) << "a folder search is always bounded";
        }
        if (c.maxSearchDepth) {
            EXPECT_TRUE(c.measuringMode() == Mode::FolderSearch ||
                        c.measuringMode() == Mode::FileSearch);
            EXPECT_GT(*c.maxSearchDepth, 0);
        }
        for (const QString& e : c.fileExtensions) {
            EXPECT_EQ(e, e.toLower());
            EXPECT_FALSE(e.startsWith('.'));
        }
        if (c.olderThanDays) {
            EXPECT_GT(*c.olderThanDays, 0);
        }

        // Places in this home, each once, written clean.
        EXPECT_FALSE(c.locations.isEmpty());
        EXPECT_EQ(QSet<QString>(c.locations.cbegin(), c.locations.cend()).size(),
                  c.locations.size());
        for (const QString& l : c.locations) {
            EXPECT_EQ(QDir::cleanPath(l), l);
            EXPECT_TRUE(l.startsWith(layout.home() + '/')) << l.toStdString();
        }
        // A row never empties or searches the user's folders or the app's, but for the rows
        // that search the user's folders on purpose; those only search.
        if (c.removable) {
            EXPECT_EQ(guard.check(c.locations, c.searchesUserFolders), std::nullopt);
        }
        if (c.searchesUserFolders) {
            EXPECT_TRUE(c.cleansFoundItems());
        }

        // A table starts unmeasured.
        EXPECT_EQ(c.measurement(), Measurement());
    }
}

} // namespace

TEST(CleanTables, EveryRowOfEveryTableIsSound) {
    const HomeLayout l = sampleLayout();
    const QList<CleanCategory> disk = CleanCategory::diskCategories(l);
    const QList<CleanCategory> dev = CleanCategory::devCategories(l);
    const QList<CleanCategory> shots = ScreenshotCleanupScanner::categories(l);
    EXPECT_EQ(disk.size(), 6);
    EXPECT_EQ(dev.size(), 23);
    EXPECT_EQ(shots.size(), 3);
    for (const auto* table : {&disk, &dev, &shots}) {
        expectSoundRows(*table, l);
        for (const CleanCategory& c : *table) {
            SCOPED_TRACE(c.id.toStdString());
            EXPECT_TRUE(c.removable);
            EXPECT_FALSE(c.consequence.isEmpty()) << "every row says what clearing it does";
        }
    }
    for (const CleanCategory& c : dev) {
        EXPECT_TRUE(c.id.startsWith("dev-")) << c.id.toStdString();
    }

    MailHome mail;
    mail.fill();
    const QList<CleanCategory> mailRows = MailCleanupScanner::locations(mail.layout);
    EXPECT_EQ(mailRows.size(), 9);
    expectSoundRows(mailRows, mail.layout);
    for (const CleanCategory& c : mailRows) {
        SCOPED_TRACE(c.id.toStdString());
        // Measured whole, never searched: mail is cleaned in the mail program, not file by file.
        EXPECT_EQ(c.measuringMode(), Mode::FullWalk);
        EXPECT_FALSE(c.cleansFoundItems());
    }
}

TEST(CleanTables, ScreenshotRowsReachFurtherAndGradeNoSaferAsTheAgeGoes) {
    const QList<CleanCategory> t = ScreenshotCleanupScanner::categories(sampleLayout());
    ASSERT_EQ(t.size(), 3);
    for (const CleanCategory& c : t) {
        SCOPED_TRACE(c.id.toStdString());
        // One search over the same places for the same captures; only the age differs.
        EXPECT_EQ(c.locations, t[0].locations);
        EXPECT_EQ(c.fileExtensions, t[0].fileExtensions);
        EXPECT_EQ(c.matchNamePrefixes, t[0].matchNamePrefixes);
        EXPECT_EQ(c.maxSearchDepth, t[0].maxSearchDepth);
        EXPECT_EQ(c.measuringMode(), Mode::FileSearch);
        EXPECT_FALSE(c.matchNamePrefixes.isEmpty());
    }
    // Younger ages reach more captures (no age reaches all), and a row that reaches more is
    // never graded safer; only the narrowest is ticked.
    ASSERT_TRUE(t[0].olderThanDays && t[1].olderThanDays);
    EXPECT_GT(*t[1].olderThanDays, *t[0].olderThanDays);
    EXPECT_FALSE(t[2].olderThanDays.has_value());
    EXPECT_LT(int(t[0].safety), int(t[1].safety));
    EXPECT_LT(int(t[1].safety), int(t[2].safety));
    EXPECT_TRUE(t[0].onByDefault);
    EXPECT_FALSE(t[1].onByDefault || t[2].onByDefault);
    EXPECT_EQ(t[0].locations, QStringList({"/home/ada/Desktop", "/home/ada/Downloads",
                                           "/home/ada/Pictures/Screenshots"}));
}

TEST(CleanTables, MailRowsExistOnlyForPlacesOnDisk) {
    MailHome mail;
    EXPECT_TRUE(MailCleanupScanner::locations(mail.layout).isEmpty());

    mail.fill();
    const QString profiles = mail.profiles, home = mail.home;
    EXPECT_EQ(MailCleanupScanner::thunderbirdProfiles(mail.layout),
              QStringList({profiles + "/a1.default", profiles + "/b2.work"}));
    const QList<CleanCategory> t = MailCleanupScanner::locations(mail.layout);
    QStringList ids;
    for (const CleanCategory& c : t)
        ids << c.id;
    EXPECT_EQ(ids, QStringList({"mail-apple-downloads", "mail-apple-caches", "mail-apple-store",
                                "mail-tb-imap", "mail-tb-index", "mail-tb-caches", "mail-tb-local",
                                "mail-outlook-caches", "mail-outlook-store"}));
    // A profile's rows list only what that profile has.
    EXPECT_EQ(row(t, "mail-tb-imap").locations, QStringList({profiles + "/a1.default/ImapMail"}));
    EXPECT_EQ(row(t, "mail-tb-index").locations,
              QStringList({profiles + "/b2.work/global-messages-db.sqlite"}));
    EXPECT_EQ(row(t, "mail-tb-local").locations,
              QStringList({profiles + "/a1.default/Mail", profiles + "/b2.work/Mail"}));
    EXPECT_EQ(
        row(t, "mail-tb-caches").locations,
        QStringList({home + "/.cache/thunderbird", home + "/.cache/org.mozilla.thunderbird"}));
    EXPECT_EQ(row(t, "mail-apple-caches").locations,
              QStringList({home + "/.cache/com.apple.mail"}));
    // The stores are listed for their size only: never removed, never ticked.
    for (const char* id : {"mail-apple-store", "mail-tb-local", "mail-outlook-store"}) {
        EXPECT_FALSE(row(t, id).removable) << id;
    }
}

// Logs have no folder of their own on Linux: the row finds the *.log files among the state
// folders' other files, and takes the session's error logs by name.
TEST(CleanTables, TheLogsRowFindsTheUsersLogsAndNothingElse) {
    const QString home = testsupport::freshDir("logs-home");
    HomeLayout l = HomeLayout::forHome(home);
    const auto put = [](const QString& path, qsizetype bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(QByteArray(bytes, 'x'));
    };
    put(l.stateHome() + "/editor/lsp.log", 5000);
    put(l.stateHome() + "/editor/shada", 100); // state, not a log
    put(l.stateHome() + "/wireplumber/restore-stream", 100);
    put(l.dataHome() + "/xorg/Xorg.0.log", 7000);
    put(home + "/.xsession-errors", 9000);
    put(home + "/.xsession-errors.old", 3000);
    put(home + "/notes.log", 100); // not a log place
    put(home + "/Library/Logs/old.log", 100);

    const CleanCategory logs = CleanCategory::diskCategories(l).at(1);
    ASSERT_EQ(logs.id, "logs");
    const CategoryMeasurer measurer(nullptr, CategoryMeasurer::Options{1, {}});
    const Measurement m = measurer.measure(logs);
    EXPECT_EQ(m.eligibleFiles,
              QStringList({l.stateHome() + "/editor/lsp.log", l.dataHome() + "/xorg/Xorg.0.log",
                           home + "/.xsession-errors", home + "/.xsession-errors.old"}));
    EXPECT_EQ(m.fileCount, 4);
    EXPECT_GT(m.sizeBytes, 0);
}

// A base folder set to the home is ignored when the layout is built: the rows that would have
// followed it look in its default place, and say so.
TEST(CleanTables, RowsOfAnIgnoredBaseFolderLookInItsDefaultPlaceAndSaySo) {
    const QString home = testsupport::freshDir("ignored-home");
    QProcessEnvironment env;
    env.insert("HOME", home);
    env.insert("XDG_STATE_HOME", home);
    env.insert("XDG_CACHE_HOME", home + "/Projects");
    const HomeLayout l = HomeLayout::fromEnvironment(env);
    const QList<CleanCategory> disk = CleanCategory::diskCategories(l);
    const CleanCategory& logs = row(disk, "logs");
    EXPECT_EQ(logs.locations.first(), home + "/.local/state");
    ASSERT_EQ(logs.ignoredVariables.size(), 1);
    EXPECT_EQ(logs.ignoredVariables.first().name, "XDG_STATE_HOME");
    EXPECT_EQ(CleanerPaneText::metaLine(logs),
              "Apps write new logs as they run.\nXDG_STATE_HOME points at " + home +
                  ", which holds more than app data, so Pendrel looked in " + home +
                  "/.local/state instead.");
    const CleanCategory& caches = row(disk, "caches");
    EXPECT_EQ(caches.locations, QStringList({home + "/.cache"}));
    ASSERT_EQ(caches.ignoredVariables.size(), 1);
    EXPECT_EQ(caches.ignoredVariables.first().name, "XDG_CACHE_HOME");
    EXPECT_EQ(row(CleanCategory::devCategories(l), "dev-pip").ignoredVariables,
              caches.ignoredVariables);
    EXPECT_TRUE(row(disk, "trash").ignoredVariables.isEmpty());
    EXPECT_TRUE(row(disk, "downloads").ignoredVariables.isEmpty());
}

TEST(CleanTables, LocationsLandWhereALinuxHomeKeepsThem) {
    const HomeLayout l = sampleLayout();
    const QList<CleanCategory> disk = CleanCategory::diskCategories(l);
    const QList<CleanCategory> dev = CleanCategory::devCategories(l);
    EXPECT_EQ(row(disk, "caches").locations, QStringList({"/home/ada/.cache"}));
    EXPECT_EQ(row(disk, "trash").locations, QStringList({"/home/ada/.local/share/Trash/files"}));
    EXPECT_EQ(row(dev, "dev-docker").locations,
              QStringList({"/home/ada/.docker/desktop/vms",
                           "/home/ada/.var/app/com.docker.docker/Data/vms"}));
    EXPECT_EQ(row(dev, "dev-lmstudio").locations,
              QStringList({"/home/ada/.lmstudio", "/home/ada/.cache/lm-studio"}));
    EXPECT_EQ(row(dev, "dev-yarn").locations, QStringList({"/home/ada/.cache/yarn"}));
    // Two spellings of one folder are measured once.
    EXPECT_EQ(row(dev, "dev-uv").locations, QStringList({"/home/ada/.cache/uv"}));
    EXPECT_EQ(row(dev, "dev-android").locations.last(), "/home/ada/Android/Sdk/.temp");
}
