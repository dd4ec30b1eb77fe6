// The built-in tables: every row's texts and flags as designed, and where its locations land in
// a Linux home.
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleanupScanner.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using S = TamsoSafety;

struct Row {
    const char* id;
    const char* name;
    const char* description;
    QStringList relative;
    bool onByDefault;
    bool quickSize;
    S safety;
    const char* consequence;
};

HomeLayout sampleLayout() {
    HomeLayout l = HomeLayout::forHome("/home/ada");
    l.setCacheHome("/home/ada/.cache");
    return l;
}

void expectRow(const CleanCategory& c, const Row& r, const HomeLayout& l) {
    SCOPED_TRACE(r.id);
    EXPECT_EQ(c.id, QString::fromUtf8(r.id));
    EXPECT_EQ(c.name, QString::fromUtf8(r.name));
    EXPECT_EQ(c.plainDescription, QString::fromUtf8(r.description));
    EXPECT_EQ(c.locations, CleanCategories::mapLocations(l, r.relative));
    EXPECT_EQ(c.onByDefault, r.onByDefault);
    EXPECT_EQ(c.quickSize, r.quickSize);
    EXPECT_EQ(c.safety, r.safety);
    EXPECT_EQ(c.consequence, QString::fromUtf8(r.consequence));
    EXPECT_EQ(c.sizeBytes, 0);
    EXPECT_EQ(c.fileCount, 0);
    EXPECT_TRUE(c.eligibleFiles.isEmpty());
}

} // namespace

TEST(CleanTables, SystemJunkRows) {
    const HomeLayout l = sampleLayout();
    const Row rows[] = {
        {"caches",
         "App caches",
         "Temporary files apps rebuild on their own.",
         {"Library/Caches"},
         true,
         false,
         S::Safe,
         "Will rebuild automatically if needed."},
        {"logs",
         "Logs",
         "Old activity records. Only useful when debugging a problem.",
         {".local/state", ".local/share/xorg", ".xsession-errors", ".xsession-errors.old"},
         true,
         false,
         S::Safe,
         "Apps write new logs as they run."},
        {"trash",
         "Trash",
         "Files you already threw away. Emptying removes them for good.",
         {".Trash/files"},
         true,
         false,
         S::Risky,
         "Emptying cannot be undone."},
        {"derived",
         "Xcode build files",
         "Xcode rebuilds these next time you build a project.",
         {"Library/Developer/Xcode/DerivedData"},
         true,
         false,
         S::Safe,
         "Will rebuild automatically if needed."},
        {"downloads",
         "Old downloads (6+ months)",
         "Files in Downloads you have not touched in six months.",
         {"Downloads"},
         false,
         false,
         S::CheckFirst,
         "Only files older than six months are listed."},
        {"db-backups",
         "Database backup files (.bak)",
         "Copies of databases left in Downloads, Documents and Desktop. These may be real "
         "backups.",
         {"Downloads", "Documents", "Desktop"},
         false,
         false,
         S::CheckFirst,
         "Check before clearing — these are often intentional backups."},
    };
    const QList<CleanCategory> t = CleanCategory::diskCategories(l);
    ASSERT_EQ(t.size(), 6);
    for (int i = 0; i < 6; ++i)
        expectRow(t[i], rows[i], l);
    for (const CleanCategory& c : t) {
        EXPECT_TRUE(c.removable);
        EXPECT_TRUE(c.matchFolderNames.isEmpty());
        EXPECT_TRUE(c.matchNamePrefixes.isEmpty());
        EXPECT_FALSE(c.maxSearchDepth.has_value());
        EXPECT_EQ(c.olderThanDays.has_value(), c.id == "downloads");
        EXPECT_EQ(c.fileExtensions.isEmpty(), c.id != "db-backups" && c.id != "logs");
    }
    EXPECT_EQ(t[1].fileExtensions, QStringList({"log"}));
    EXPECT_EQ(t[4].olderThanDays, 180);
    EXPECT_EQ(t[5].fileExtensions, QStringList({"bak"}));
    EXPECT_EQ(t[0].locations, QStringList({"/home/ada/.cache"}));
    EXPECT_EQ(t[2].locations, QStringList({"/home/ada/.local/share/Trash/files"}));
    EXPECT_EQ(t[5].locations,
              QStringList({"/home/ada/Downloads", "/home/ada/Documents", "/home/ada/Desktop"}));
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

TEST(CleanTables, DeveloperCacheRows) {
    const HomeLayout l = sampleLayout();
    const char* rebuild = "Will rebuild automatically if needed.";
    const Row rows[] = {
        {"dev-derived",
         "Xcode build files (DerivedData)",
         "Rebuilt automatically next time you build. Often the biggest win.",
         {"Library/Developer/Xcode/DerivedData"},
         true,
         true,
         S::Safe,
         "Will rebuild on the next Xcode build."},
        {"dev-xcodecache",
         "Xcode caches",
         "Xcode's own temporary files. Regenerated as you work.",
         {"Library/Caches/com.apple.dt.Xcode"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-devicesupport",
         "iOS device support files",
         "Debug symbols for old iOS versions.",
         {"Library/Developer/Xcode/iOS DeviceSupport"},
         true,
         true,
         S::Safe,
         "Re-downloaded when you next plug that device in."},
        {"dev-simcache",
         "Simulator caches",
         "Simulator temporary files, not your simulators or their content.",
         {"Library/Developer/CoreSimulator/Caches"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-archives",
         "Xcode archives",
         "Your archived release builds. Only clear if you no longer need old builds.",
         {"Library/Developer/Xcode/Archives"},
         false,
         true,
         S::CheckFirst,
         "Old App Store / TestFlight builds live here."},
        {"dev-docker",
         "Docker data",
         "Images, containers and volumes Docker keeps on this Mac.",
         {".docker/desktop/vms", "Library/Containers/com.docker.docker/Data/vms"},
         false,
         true,
         S::CheckFirst,
         "Unused images can be huge. Prefer Docker's own prune when unsure."},
        {"dev-ollama",
         "Ollama models",
         "Local AI models downloaded by Ollama. Leaves your Ollama identity key alone.",
         {".ollama/models", ".ollama/blobs", ".ollama/manifests", ".ollama/cache"},
         false,
         true,
         S::CheckFirst,
         "Models re-download if you pull them again. Your Ollama key (~/.ollama/id_ed25519) is "
         "kept."},
        {"dev-lmstudio",
         "LM Studio data",
         "Models and cache used by LM Studio.",
         {"Library/Application Support/LM Studio", ".cache/lm-studio"},
         false,
         true,
         S::CheckFirst,
         "Models re-download if you need them again."},
        {"dev-brew",
         "Homebrew cache",
         "Downloaded install files. Brew re-downloads anything it needs.",
         {"Library/Caches/Homebrew"},
         true,
         false,
         S::Safe,
         "Will re-download on the next brew install."},
        {"dev-npm",
         "npm cache",
         "Downloaded packages. npm re-fetches on demand.",
         {".npm/_cacache"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-yarn",
         "Yarn cache",
         "Downloaded packages. Yarn re-fetches on demand.",
         {"Library/Caches/Yarn"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-pnpm",
         "pnpm store",
         "pnpm's global content-addressable store.",
         {"Library/pnpm", ".local/share/pnpm/store", ".pnpm-store"},
         true,
         true,
         S::Safe,
         "Will re-fetch packages on the next install."},
        {"dev-bun",
         "Bun cache",
         "Downloaded packages for Bun projects.",
         {".bun/install/cache"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-node-modules",
         "node_modules folders",
         "Dependency folders under ~/Developer, Projects, src, code and work (shallow search).",
         {"Developer", "Projects", "src", "code", "work"},
         false,
         true,
         S::CheckFirst,
         "Restored with npm/yarn/pnpm/bun install."},
        {"dev-pods",
         "CocoaPods cache",
         "Downloaded pods. Re-fetched on the next pod install.",
         {"Library/Caches/CocoaPods"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-swiftpm",
         "Swift Package Manager cache",
         "Downloaded packages. Re-fetched on the next resolve.",
         {"Library/Caches/org.swift.swiftpm"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-gradle",
         "Gradle caches",
         "Android/Java build caches. Rebuilt on the next build.",
         {".gradle/caches"},
         true,
         true,
         S::Safe,
         rebuild},
        {"dev-maven",
         "Maven repository cache",
         "Downloaded Java artifacts in ~/.m2.",
         {".m2/repository"},
         false,
         true,
         S::CheckFirst,
         "Re-fetched on the next Maven build."},
        {"dev-pip",
         "pip cache",
         "Downloaded Python packages. Re-fetched on demand.",
         {"Library/Caches/pip"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-uv",
         "uv cache",
         "Python packages cached by uv.",
         {".cache/uv", "Library/Caches/uv"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-gobuild",
         "Go build cache",
         "Go compile cache. Rebuilt on the next build.",
         {"Library/Caches/go-build"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-cargo",
         "Rust Cargo cache",
         "Downloaded crates. Re-fetched on the next cargo build.",
         {".cargo/registry/cache"},
         true,
         false,
         S::Safe,
         rebuild},
        {"dev-android",
         "Android Studio caches",
         "Caches and temp files from Android Studio — not your SDK projects.",
         {"Library/Caches/Google/AndroidStudio2024.1", "Library/Caches/Google/AndroidStudio2024.2",
          "Library/Caches/Google/AndroidStudio2025.1", "Library/Caches/Google/AndroidStudio2023.3",
          "Library/Android/sdk/.temp"},
         true,
         false,
         S::Safe,
         rebuild},
    };
    const QList<CleanCategory> t = CleanCategory::devCategories(l);
    ASSERT_EQ(t.size(), 23);
    for (int i = 0; i < 23; ++i)
        expectRow(t[i], rows[i], l);
    for (const CleanCategory& c : t) {
        EXPECT_TRUE(c.removable);
        EXPECT_FALSE(c.olderThanDays.has_value());
        EXPECT_TRUE(c.fileExtensions.isEmpty());
        EXPECT_TRUE(c.matchNamePrefixes.isEmpty());
        EXPECT_EQ(c.matchFolderNames.isEmpty(), c.id != "dev-node-modules");
    }
    EXPECT_EQ(t[13].matchFolderNames, QStringList({"node_modules"}));
    EXPECT_EQ(t[13].maxSearchDepth, 4);

    // Where the Linux tools keep these.
    EXPECT_EQ(t[5].locations, QStringList({"/home/ada/.docker/desktop/vms",
                                           "/home/ada/.var/app/com.docker.docker/Data/vms"}));
    EXPECT_EQ(t[7].locations, QStringList({"/home/ada/.lmstudio", "/home/ada/.cache/lm-studio"}));
    EXPECT_EQ(t[10].locations, QStringList({"/home/ada/.cache/yarn"}));
    // Two spellings of one folder are measured once.
    EXPECT_EQ(t[19].locations, QStringList({"/home/ada/.cache/uv"}));
    EXPECT_EQ(t[18].locations, QStringList({"/home/ada/.cache/pip"}));
    EXPECT_EQ(t[22].locations.last(), "/home/ada/Android/Sdk/.temp");
}

TEST(CleanTables, ScreenshotRows) {
    const QList<CleanCategory> t = ScreenshotCleanupScanner::categories(sampleLayout());
    ASSERT_EQ(t.size(), 3);
    const QStringList ids = {"screenshots-7", "screenshots-30", "screenshots-all"};
    const QStringList names = {"Screenshots older than 7 days", "Screenshots older than 30 days",
                               "All screenshots in those folders"};
    const QStringList descriptions = {
        "PNG or JPG captures on Desktop, Downloads and Pictures/Screenshots.",
        "Older captures that often pile up unused.",
        "Every matching screenshot found — including recent ones."};
    const QStringList consequences = {
        "Moves matching screenshots to the Trash. Recent captures stay put.",
        "Moves matching screenshots to the Trash.",
        "Moves all matching screenshots to the Trash. Check carefully."};
    const std::optional<int> ages[] = {7, 30, std::nullopt};
    const S safeties[] = {S::Safe, S::CheckFirst, S::Risky};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CleanCategory& c = t[i];
        EXPECT_EQ(c.id, ids[i]);
        EXPECT_EQ(c.name, names[i]);
        EXPECT_EQ(c.plainDescription, descriptions[i]);
        EXPECT_EQ(c.consequence, consequences[i]);
        EXPECT_EQ(c.olderThanDays, ages[i]);
        EXPECT_EQ(c.safety, safeties[i]);
        EXPECT_EQ(c.onByDefault, i == 0);
        EXPECT_TRUE(c.removable);
        EXPECT_FALSE(c.quickSize);
        EXPECT_EQ(c.maxSearchDepth, 2);
        EXPECT_EQ(c.locations, QStringList({"/home/ada/Desktop", "/home/ada/Downloads",
                                            "/home/ada/Pictures/Screenshots"}));
        EXPECT_EQ(c.fileExtensions, QStringList({"png", "jpg", "jpeg"}));
        EXPECT_EQ(c.matchNamePrefixes,
                  QStringList({"Screenshot", "Screen Shot", "CleanShot", "Capture"}));
        EXPECT_TRUE(c.matchFolderNames.isEmpty());
        EXPECT_EQ(c.measuringMode(), CleanCategory::MeasuringMode::FileSearch);
    }
}

TEST(CleanTables, MailRowsExistOnlyForPlacesOnDisk) {
    const QString home = testsupport::freshDir("mail-home");
    const HomeLayout l = HomeLayout::forHome(home);
    EXPECT_TRUE(MailCleanupScanner::locations(l).isEmpty());

    // Every place present: a Mac-style layout mapped here, two Thunderbird profiles (one without
    // IMAP mail), and things in the profiles folder that are not profiles.
    const QStringList folders = {
        "Library/Mail Downloads",
        "Library/Caches/com.apple.mail",
        "Library/Mail",
        "Library/Caches/Thunderbird",
        "Library/Caches/org.mozilla.thunderbird",
        "Library/Caches/com.microsoft.Outlook",
        "Library/Group Containers/UBF8T346G9.Office/Outlook/Outlook 15 Profiles/Main "
        "Profile/Data/Cache",
    };
    for (const QString& f : folders)
        QDir().mkpath(l.map(f));
    const QString profiles = home + "/.thunderbird";
    QDir().mkpath(profiles + "/a1.default/ImapMail");
    QDir().mkpath(profiles + "/a1.default/Mail");
    QDir().mkpath(profiles + "/b2.work/Mail");
    QDir().mkpath(profiles + "/.hidden/ImapMail");
    QFile(profiles + "/profiles.ini").open(QIODevice::WriteOnly);
    QFile(profiles + "/b2.work/global-messages-db.sqlite").open(QIODevice::WriteOnly);

    EXPECT_EQ(MailCleanupScanner::thunderbirdProfiles(l),
              QStringList({profiles + "/a1.default", profiles + "/b2.work"}));
    const QList<CleanCategory> t = MailCleanupScanner::locations(l);
    QStringList ids;
    for (const CleanCategory& c : t)
        ids << c.id;
    EXPECT_EQ(ids, QStringList({"mail-apple-downloads", "mail-apple-caches", "mail-apple-store",
                                "mail-tb-imap", "mail-tb-index", "mail-tb-caches", "mail-tb-local",
                                "mail-outlook-caches", "mail-outlook-store"}));
    EXPECT_EQ(t[3].locations, QStringList({profiles + "/a1.default/ImapMail"}));
    EXPECT_EQ(t[4].locations, QStringList({profiles + "/b2.work/global-messages-db.sqlite"}));
    EXPECT_EQ(t[5].locations, QStringList({home + "/.cache/thunderbird",
                                           home + "/.cache/org.mozilla.thunderbird"}));
    EXPECT_EQ(t[6].locations,
              QStringList({profiles + "/a1.default/Mail", profiles + "/b2.work/Mail"}));
    EXPECT_EQ(t[1].locations, QStringList({home + "/.cache/com.apple.mail"}));

    const bool onByDefault[] = {true, true, false, true, false, true, false, true, false};
    const bool removable[] = {true, true, false, true, true, true, false, true, false};
    const char* names[] = {
        "Apple Mail attachment copies",     "Apple Mail caches",        "Apple Mail, all your mail",
        "Thunderbird downloaded IMAP mail", "Thunderbird search index", "Thunderbird caches",
        "Thunderbird local and POP mail",   "Outlook caches",           "Outlook, all your mail"};
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(t[i].name, QString::fromUtf8(names[i]));
        EXPECT_EQ(t[i].onByDefault, onByDefault[i]);
        EXPECT_EQ(t[i].removable, removable[i]);
        EXPECT_EQ(t[i].safety, S::Safe);
        EXPECT_TRUE(t[i].consequence.isEmpty());
        EXPECT_EQ(t[i].measuringMode(), CleanCategory::MeasuringMode::FullWalk);
        EXPECT_FALSE(t[i].plainDescription.isEmpty());
    }
    EXPECT_EQ(t[2].plainDescription,
              "Every message Mail holds on this Mac. Shown so you can see the size. Pendrel will "
              "not touch it: to reclaim space here, delete old mail inside Mail itself so the "
              "change reaches your account properly.");
    EXPECT_EQ(t[6].plainDescription,
              "Mail held only on this Mac, including Local Folders and any POP account. There is "
              "no copy of this on a server. Shown for size only, never removed.");
}
