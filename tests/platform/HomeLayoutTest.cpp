#include "platform/HomeLayout.h"

#include <gtest/gtest.h>

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
