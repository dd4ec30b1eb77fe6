#include "platform/HomeLayout.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <unistd.h>

TEST(HomeLayout, MapsTheOtherPlatformsHomePathsToTheirLinuxPlaces) {
    const HomeLayout l = HomeLayout::forHome("/h");
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"Library/Caches", "/h/.cache"},
        {"Library/Caches/pip", "/h/.cache/pip"},
        {"Library/Caches/Yarn", "/h/.cache/yarn"},
        {"Library/Caches/Yarn/v6", "/h/.cache/yarn/v6"},
        {"Library/Caches/Google/AndroidStudio2024.1", "/h/.cache/Google/AndroidStudio2024.1"},
        {".Trash", "/h/.local/share/Trash"},
        {"Library/Application Support", "/h/.local/share"},
        {"Library/Application Support/LM Studio/models", "/h/.lmstudio/models"},
        {"Library/Preferences", "/h/.config"},
        {"Library/Saved Application State", "/h/.local/state"},
        {"Library/LaunchAgents", "/h/.config/autostart"},
        {"Library/Containers", "/h/.var/app"},
        {"Library/Thunderbird/Profiles", "/h/.thunderbird"},
        {"Library/Android/sdk/.temp", "/h/Android/Sdk/.temp"},
        {"Downloads", "/h/Downloads"},
        {"Movies", "/h/Videos"},
        {"~/Desktop/", "/h/Desktop"},
        {"Library/Logs", "/h/Library/Logs"}, // several counterparts: logFolders(), sessionLogs()
        {"Library/Developer/Xcode", "/h/Library/Developer/Xcode"},
        {"Library/CachesExtra", "/h/Library/CachesExtra"}, // whole components only
        {"", "/h"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(l.map(r.in).toStdString(), r.out) << r.in;
}

TEST(HomeLayout, UserDirsFileMovesTheUserFolders) {
    HomeLayout l = HomeLayout::forHome("/h");
    l.applyUserDirs("# comment\n"
                    "XDG_DOWNLOAD_DIR=\"$HOME/Telechargements\"\n"
                    "XDG_VIDEOS_DIR=\"/media/films\"\n"
                    "XDG_MUSIC_DIR=\"$HOME/\"\n"      // disabled folder
                    "XDG_PICTURES_DIR=\"relative\"\n" // ignored
                    "garbage\n");
    EXPECT_EQ(l.downloadsDir(), "/h/Telechargements");
    EXPECT_EQ(l.map("Downloads/x.zip"), "/h/Telechargements/x.zip");
    EXPECT_EQ(l.moviesDir(), "/media/films");
    EXPECT_EQ(l.musicDir(), "/h/Music");
    EXPECT_EQ(l.picturesDir(), "/h/Pictures");
}

TEST(HomeLayout, EnvironmentOverridesDefaultsButNotWithRelativePaths) {
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    const QByteArray oldState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_CACHE_HOME", "/elsewhere/cache/");
    qputenv("XDG_STATE_HOME", "relative/state");
    const HomeLayout l = HomeLayout::fromEnvironment();
    EXPECT_EQ(l.cacheHome(), "/elsewhere/cache");
    EXPECT_EQ(l.stateHome(), l.home() + "/.local/state");
    EXPECT_EQ(l.appSupportDir(), l.dataHome() + "/Pendrel");
    qputenv("XDG_CACHE_HOME", oldCache);
    qputenv("XDG_STATE_HOME", oldState);
}

TEST(HomeLayout, ApplicationAndLogPlacesHangFromTheHomeAndTheSystemRoot) {
    HomeLayout l = HomeLayout::forHome("/h");
    l.setStateHome("/s");
    EXPECT_EQ(l.systemRoot(), "/");
    EXPECT_EQ(l.systemApplicationDirs(), QStringList({"/opt", "/var/lib/flatpak/app"}));
    EXPECT_EQ(l.userApplicationDirs(),
              QStringList({"/h/Applications", "/h/.local/share/flatpak/app"}));
    EXPECT_EQ(l.logFolders(), QStringList({"/s", "/h/.local/share/xorg"}));
    EXPECT_EQ(l.sessionLogs(), QStringList({"/h/.xsession-errors", "/h/.xsession-errors.old"}));
    l.setSystemRoot("/sandbox/root/");
    EXPECT_EQ(l.systemApplicationDirs(),
              QStringList({"/sandbox/root/opt", "/sandbox/root/var/lib/flatpak/app"}));
    l.setSystemRoot("/");
    EXPECT_EQ(l.systemApplicationDirs().first(), "/opt");
}

// A base folder is where the cleaners look for what is safe to clear: one set to a place that
// holds the user's files, or everyone's, must not be used, however it is spelled.
TEST(HomeLayout, BaseFoldersThatHoldMoreThanAppDataAreIgnoredForTheirDefaults) {
    const QString base = testsupport::freshDir("layout-refusals");
    const QString home = base + "/home";
    QDir().mkpath(home + "/Documents");
    QDir().mkpath(home + "/Projects");
    QDir().mkpath(base + "/elsewhere");
    ASSERT_EQ(::symlink(QFile::encodeName(home).constData(),
                        QFile::encodeName(base + "/elsewhere/link").constData()),
              0);
    const HomeLayout defaults = HomeLayout::forHome(home);
    const auto layoutWith = [&](const char* name, const QString& value) {
        QProcessEnvironment env;
        env.insert("HOME", home);
        env.insert(name, value);
        return HomeLayout::fromEnvironment(env);
    };

    const struct {
        const char* variable;
        QString value;
        bool relative = false;
    } refused[] = {
        {"XDG_STATE_HOME", home},
        {"XDG_STATE_HOME", home + "//"},
        {"XDG_STATE_HOME", home + "/Documents/.."},
        {"XDG_STATE_HOME", base + "/elsewhere/link"},
        {"XDG_DATA_HOME", base},
        {"XDG_CACHE_HOME", "/"},
        {"XDG_CACHE_HOME", "/tmp"},
        {"XDG_CACHE_HOME", "/var/tmp/"},
        {"XDG_CACHE_HOME", home + "/Documents"},
        {"XDG_CACHE_HOME", home + "/Projects"},
        {"XDG_CONFIG_HOME", home + "/Downloads"},
        {"XDG_CACHE_HOME", "relative/cache", true},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(std::string(r.variable) + "=" + r.value.toStdString());
        const HomeLayout l = layoutWith(r.variable, r.value);
        EXPECT_EQ(l.configHome(), defaults.configHome());
        EXPECT_EQ(l.dataHome(), defaults.dataHome());
        EXPECT_EQ(l.cacheHome(), defaults.cacheHome());
        EXPECT_EQ(l.stateHome(), defaults.stateHome());
        ASSERT_EQ(l.ignoredVariables().size(), 1);
        const HomeLayout::IgnoredVariable& v = l.ignoredVariables().first();
        EXPECT_EQ(v.name, r.variable);
        EXPECT_EQ(v.value, r.value);
        EXPECT_EQ(v.relative, r.relative);
        EXPECT_EQ(l.ignoredVariablesFor(l.logFolders()).size(),
                  QString(r.variable) == "XDG_CACHE_HOME" ||
                          QString(r.variable) == "XDG_CONFIG_HOME"
                      ? 0
                      : 1);
    }

    // Places of their own are used, written clean; a layout with nothing ignored says nothing.
    const HomeLayout fine = layoutWith("XDG_CACHE_HOME", base + "/cache/");
    EXPECT_EQ(fine.cacheHome(), base + "/cache");
    EXPECT_TRUE(fine.ignoredVariables().isEmpty());
    EXPECT_EQ(layoutWith("XDG_STATE_HOME", home + "/.state").stateHome(), home + "/.state");

    // A settings folder is refused for the user folders its own user-dirs.dirs names in it; the
    // user folders then come from the default settings folder.
    const QString config = home + "/settings";
    QDir().mkpath(config);
    QDir().mkpath(defaults.configHome());
    QFile own(config + "/user-dirs.dirs");
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("XDG_DOCUMENTS_DIR=\"$HOME/settings/docs\"\n");
    own.close();
    QFile usual(defaults.configHome() + "/user-dirs.dirs");
    ASSERT_TRUE(usual.open(QIODevice::WriteOnly));
    usual.write("XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    usual.close();
    const HomeLayout moved = layoutWith("XDG_CONFIG_HOME", config);
    EXPECT_EQ(moved.configHome(), defaults.configHome());
    EXPECT_EQ(moved.documentsDir(), home + "/Papers");
    ASSERT_EQ(moved.ignoredVariables().size(), 1);
    EXPECT_EQ(moved.ignoredVariables().first().name, "XDG_CONFIG_HOME");
}

TEST(HomeLayout, UserDirsAboveTheHomeAreNotUserFolders) {
    HomeLayout l = HomeLayout::forHome("/home/ada");
    l.applyUserDirs("XDG_DOWNLOAD_DIR=\"/\"\nXDG_DOCUMENTS_DIR=\"/home\"\n"
                    "XDG_DESKTOP_DIR=\"/home/ada/../ada/\"\n");
    EXPECT_EQ(l.downloadsDir(), "/home/ada/Downloads");
    EXPECT_EQ(l.documentsDir(), "/home/ada/Documents");
    EXPECT_EQ(l.desktopDir(), "/home/ada/Desktop");
}
