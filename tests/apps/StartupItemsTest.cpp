#include "apps/StartupItems.h"
#include "apps/StartupItemsText.h"
#include "apps/StartupTestSupport.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

using namespace startuptest;

namespace {

QStringList labels(const StartupItems& s) {
    QStringList out;
    for (const StartupItem& i : s.items())
        out << i.label;
    return out;
}

// A copy: the service's list is replaced by every read.
std::optional<StartupItem> find(const StartupItems& s, const QString& label,
                                bool disabled = false) {
    for (const StartupItem& i : s.items()) {
        if (i.label == label && i.disabled == disabled)
            return i;
    }
    return std::nullopt;
}

} // namespace

TEST(StartupItems, AFreshAccountListsNothingAndMakesTheDisabledFolder) {
    Machine m;
    auto s = m.service();
    QSignalSpy items(s.get(), &StartupItems::itemsChanged);
    QSignalSpy loaded(s.get(), &StartupItems::loadedChanged);
    EXPECT_FALSE(s->loaded());
    s->load();
    EXPECT_TRUE(s->loaded());
    EXPECT_TRUE(s->items().isEmpty());
    EXPECT_TRUE(QFileInfo(m.disabled()).isDir());
    EXPECT_EQ(items.count(), 1);
    EXPECT_EQ(loaded.count(), 1);
}

TEST(StartupItems, ReadsEntriesByTheirExactExtensionAndNamesThemLikeTheSession) {
    Machine m;
    write(m.user() + "/named.desktop", entry("Named", "\"/opt/App Dir/run\" --x"));
    write(m.user() + "/nameless.desktop", "[Desktop Entry]\nExec=tool\n");
    write(m.user() + "/empty-name.desktop", entry("", ""));
    write(m.user() + "/garbage.desktop", "\x01\x02 not an entry");
    write(m.user() + "/translated.desktop",
          "[Desktop Entry]\nName=Files\nName[de]=Dateien\nExec=files\n");
    write(m.user() + "/CAPS.DESKTOP", entry("Caps"));
    write(m.user() + "/backup.desktop.bak", entry("Backup"));
    write(m.user() + "/noextension", entry("Bare"));
    write(m.user() + "/.hidden.desktop", entry("Hidden file"));
    QDir().mkpath(m.user() + "/folder.desktop"); // a folder of that name is listed by name
    auto s = m.service("de_DE.UTF-8");
    s->load();
    EXPECT_EQ(labels(*s), QStringList({"", "Dateien", "folder", "garbage", "Named", "nameless"}));
    const std::optional<StartupItem> named = find(*s, "Named");
    ASSERT_TRUE(named);
    EXPECT_EQ(named->program, QString("/opt/App Dir/run"));
    EXPECT_EQ(named->scope, QString("Your login"));
    EXPECT_TRUE(named->userWritable);
    EXPECT_FALSE(named->disabled);
    EXPECT_EQ(named->plistURL, QUrl::fromLocalFile(m.user() + "/named.desktop"));
    EXPECT_EQ(find(*s, "nameless")->program, QString("tool"));
    EXPECT_EQ(find(*s, "garbage")->program, QString());
    // The row shows the file name when there is no program.
    EXPECT_EQ(StartupItemsText::detailLine(*find(*s, "garbage")), QString("garbage.desktop"));
}

TEST(StartupItems, ScopesLockedItemsAndWhatWillNotStart) {
    Machine m;
    write(m.user() + "/mine.desktop", entry("Mine"));
    write(m.user() + "/off-in-file.desktop", entry("Off in file", "x", "Hidden=true\n"));
    write(m.user() + "/org.gnome.Software.desktop",
          entry("Software", "gnome-software", "X-GNOME-Autostart-enabled=false\n"));
    write(m.system() + "/org.gnome.Software.desktop", entry("Software", "gnome-software"));
    write(m.system() + "/applet.desktop", entry("Applet", "applet"));
    write(m.disabled() + "/parked.desktop", entry("Parked"));
    auto s = m.service();
    s->load();

    const std::optional<StartupItem> applet = find(*s, "Applet");
    ASSERT_TRUE(applet);
    EXPECT_EQ(applet->scope, QString("All users"));
    EXPECT_FALSE(applet->userWritable);
    EXPECT_TRUE(applet->startsAutomatically());
    EXPECT_EQ(StartupItemsText::scopeLine(*applet), QString("All users"));

    const std::optional<StartupItem> parked = find(*s, "Parked", true);
    ASSERT_TRUE(parked);
    EXPECT_TRUE(parked->userWritable);
    EXPECT_EQ(StartupItemsText::scopeLine(*parked), QString("Your login · off"));

    EXPECT_TRUE(find(*s, "Off in file")->inactive);
    // The user's copy takes the place of the all-users entry of the same name.
    int software = 0;
    for (const StartupItem& i : s->items()) {
        if (i.label == QLatin1String("Software")) {
            ++software;
            EXPECT_FALSE(i.startsAutomatically()) << i.scope.toStdString();
        }
    }
    EXPECT_EQ(software, 2);
    EXPECT_TRUE(find(*s, "Mine")->startsAutomatically());
}

TEST(StartupItems, EqualLabelsKeepTheReadingOrder) {
    Machine m;
    write(m.user() + "/a.desktop", entry("sync"));
    write(m.system() + "/b.desktop", entry("SYNC"));
    write(m.disabled() + "/c.desktop", entry("Sync"));
    write(m.user() + "/z.desktop", entry("Syncthing"));
    write(m.user() + "/y.desktop", entry("alpha"));
    auto s = m.service();
    s->load();
    EXPECT_EQ(labels(*s), QStringList({"alpha", "sync", "SYNC", "Sync", "Syncthing"}));
}

TEST(StartupItems, ListsServicesEnabledAtBootOnceEach) {
    Machine m;
    m.enableUnit("ssh.service", "[Unit]\nDescription=OpenBSD Secure Shell server\n"
                                "[Service]\nExecStart=/usr/sbin/sshd -D\n");
    QDir().mkpath(m.etc() + "/graphical.target.wants"); // the same unit enabled twice
    QFile::link(m.lib() + "/ssh.service", m.etc() + "/graphical.target.wants/ssh.service");
    m.enableUnit("apt-daily.timer", "[Unit]\nDescription=Daily apt download activities\n",
                 "timers.target.wants");
    // An instance of a template, linked to the template's file.
    m.enableUnit("getty@.service", "[Unit]\nDescription=Getty on %I\n"
                                   "[Service]\nExecStart=-/sbin/agetty - $TERM\n");
    QFile::rename(m.etc() + "/multi-user.target.wants/getty@.service",
                  m.etc() + "/multi-user.target.wants/getty@tty1.service");
    // A broken link is still listed, by its name; a masked unit will not start.
    QFile::link(m.base + "/nowhere.service", m.etc() + "/multi-user.target.wants/gone.service");
    m.enableUnit("cups.service", "[Unit]\nDescription=CUPS Scheduler\n");
    QFile::link("/dev/null", m.etc() + "/cups.service");
    write(m.etc() + "/multi-user.target.wants/README", "not a unit");
    auto s = m.service();
    s->load();
    EXPECT_EQ(labels(*s), QStringList({"CUPS Scheduler", "Daily apt download activities",
                                       "Getty on tty1", "gone", "OpenBSD Secure Shell server"}));
    for (const StartupItem& i : s->items()) {
        EXPECT_EQ(i.scope, QString("System"));
        EXPECT_FALSE(i.userWritable);
    }
    EXPECT_EQ(find(*s, "OpenBSD Secure Shell server")->program, QString("/usr/sbin/sshd"));
    EXPECT_EQ(find(*s, "OpenBSD Secure Shell server")->plistURL,
              QUrl::fromLocalFile(m.lib() + "/ssh.service"));
    EXPECT_EQ(find(*s, "Getty on tty1")->program, QString("/sbin/agetty"));
    EXPECT_EQ(StartupItemsText::detailLine(*find(*s, "Daily apt download activities")),
              QString("apt-daily.timer"));
    EXPECT_TRUE(find(*s, "CUPS Scheduler")->inactive);
    EXPECT_FALSE(find(*s, "gone")->inactive);
}

TEST(StartupItems, SwitchingMovesTheFileOffAndOnAgain) {
    Machine m;
    write(m.user() + "/app.desktop", entry("App"));
    auto s = m.service();
    s->load();
    const QUuid before = find(*s, "App")->id;
    EXPECT_EQ(s->setEnabled(*find(*s, "App"), false), std::nullopt);
    EXPECT_FALSE(QFile::exists(m.user() + "/app.desktop"));
    EXPECT_TRUE(QFile::exists(m.disabled() + "/app.desktop"));
    const std::optional<StartupItem> off = find(*s, "App", true);
    ASSERT_TRUE(off);
    EXPECT_NE(off->id, before); // every read makes new records

    // The disabled folder may have gone since the last read: switching off makes it again.
    EXPECT_EQ(s->setEnabled(*off, true), std::nullopt);
    EXPECT_TRUE(QFile::exists(m.user() + "/app.desktop"));
    QDir(m.disabled()).removeRecursively();
    EXPECT_EQ(s->setEnabled(*find(*s, "App"), false), std::nullopt);
    EXPECT_TRUE(QFile::exists(m.disabled() + "/app.desktop"));
    EXPECT_TRUE(m.trash->moved().isEmpty());
}

// A file already where the item goes is moved to the Trash, never deleted.
TEST(StartupItems, AFileInTheWayGoesToTheTrash) {
    Machine m;
    write(m.user() + "/app.desktop", entry("App", "new"));
    write(m.disabled() + "/app.desktop", entry("App", "old"));
    auto s = m.service();
    s->load();
    EXPECT_EQ(s->setEnabled(*find(*s, "App", false), false), std::nullopt);
    EXPECT_EQ(m.trash->moved(), QStringList{m.disabled() + "/app.desktop"});
    EXPECT_TRUE(readAll(m.disabled() + "/app.desktop").contains("Exec=new"));
    const QStringList inTrash = QDir(m.trash->itemsFolder()).entryList(QDir::Files);
    ASSERT_EQ(inTrash.size(), 1);
    EXPECT_TRUE(readAll(m.trash->itemsFolder() + "/" + inTrash.first()).contains("Exec=old"));

    // When the Trash refuses, nothing moves and the list stays as it was.
    write(m.user() + "/app.desktop", entry("App", "newest"));
    s->load();
    m.trash->refuseAll(QStringLiteral("The Trash is not available."));
    const QList<StartupItem> before = s->items();
    EXPECT_EQ(s->setEnabled(*find(*s, "App", false), false),
              QStringLiteral("The Trash is not available."));
    EXPECT_TRUE(readAll(m.user() + "/app.desktop").contains("Exec=newest"));
    EXPECT_TRUE(readAll(m.disabled() + "/app.desktop").contains("Exec=new\n"));
    EXPECT_EQ(s->items().first().id, before.first().id);
}

TEST(StartupItems, RefusesWhatIsNotTheUsersOwn) {
    Machine m;
    write(m.system() + "/applet.desktop", entry("Applet"));
    m.enableUnit("ssh.service", "[Unit]\nDescription=SSH\n");
    auto s = m.service();
    s->load();
    for (StartupItem item : s->items()) {
        EXPECT_EQ(s->setEnabled(item, false), StartupItemsText::notChangeable());
        item.userWritable = true; // whatever the caller passes
        EXPECT_EQ(s->setEnabled(item, false), StartupItemsText::notChangeable());
    }
    EXPECT_TRUE(QFile::exists(m.system() + "/applet.desktop"));
    EXPECT_TRUE(QDir(m.disabled()).isEmpty());
}

TEST(StartupItems, SwitchingToTheStateItHasChangesNothing) {
    Machine m;
    write(m.user() + "/on.desktop", entry("On"));
    write(m.user() + "/off-in-file.desktop",
          entry("Off", "x", "X-GNOME-Autostart-enabled=false\n"));
    write(m.disabled() + "/parked.desktop", entry("Parked"));
    auto s = m.service();
    s->load();
    EXPECT_EQ(s->setEnabled(*find(*s, "On"), true), std::nullopt);
    EXPECT_EQ(s->setEnabled(*find(*s, "Parked", true), false), std::nullopt);
    EXPECT_EQ(s->setEnabled(*find(*s, "Off"), true), StartupItemsText::offInItsOwnFile());
    EXPECT_TRUE(QFile::exists(m.user() + "/on.desktop"));
    EXPECT_TRUE(QFile::exists(m.user() + "/off-in-file.desktop"));
    EXPECT_TRUE(QFile::exists(m.disabled() + "/parked.desktop"));
    EXPECT_TRUE(m.trash->moved().isEmpty());
}

TEST(StartupItems, AFailedMoveReportsTheSystemsSentence) {
    Machine m;
    write(m.user() + "/app.desktop", entry("App"));
    auto s = m.service();
    s->load();
    QFile::remove(m.user() + "/app.desktop"); // gone behind the list's back
    const auto message = s->setEnabled(*find(*s, "App"), false);
    ASSERT_TRUE(message);
    EXPECT_FALSE(message->isEmpty());
    EXPECT_TRUE(find(*s, "App")); // not read again after a failure
}

TEST(StartupItemsRoots, SystemFoldersComeFromTheConfigurationDirs) {
    EXPECT_EQ(StartupItems::Deps::system().systemAutostartDirs, QStringList{"/etc/xdg/autostart"});
    EXPECT_EQ(StartupItems::Deps::system("/usr/share/desk:relative:/etc/xdg").systemAutostartDirs,
              QStringList({"/usr/share/desk/autostart", "/etc/xdg/autostart"}));
}
