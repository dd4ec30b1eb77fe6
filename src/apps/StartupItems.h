#pragma once

#include "apps/StartupItem.h"
#include "platform/HomeLayout.h"

#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QStringList>

class Trash;

// What starts on its own for this user: the autostart entries of the user's own folder and of
// all users, and the system services enabled at boot. Only the user's own entries can be
// switched: off moves the file into a hidden folder inside the user's autostart folder, where
// sessions no longer look; on moves it back. Nothing is run, nothing else is written, and the
// change takes effect at the next login.
//
// One instance for the whole run; main thread only. Reading is synchronous and quick (a few
// small files), done when the screen first shows and again after each switch.
class StartupItems : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<StartupItem> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(bool loaded READ loaded NOTIFY loadedChanged)
public:
    // The folders read besides the user's own.
    struct Deps {
        // Autostart folders of all users, most important first (a name found in an earlier
        // folder hides the same name in a later one).
        QStringList systemAutostartDirs;
        // The administrator's unit folder, whose *.wants and *.requires folders hold the units
        // enabled at boot, and where a unit linked to /dev/null is masked.
        QString systemdConfigDir;
        // Where a unit's file is looked for when its link does not lead to it, in order.
        QStringList systemdUnitDirs;

        // This machine's folders: /etc/xdg/autostart (or the folders of the given
        // XDG_CONFIG_DIRS), /etc/systemd/system and the unit folders under /run, /usr and /lib.
        static Deps system(const QByteArray& xdgConfigDirs = {});
    };

    // locale: the POSIX messages locale that entry names are shown in ("de_DE.UTF-8").
    StartupItems(HomeLayout layout, Deps deps, std::shared_ptr<Trash> trash, QString locale,
                 QObject* parent = nullptr);

    QList<StartupItem> items() const { return m_items; }
    // False until the first load; never false again.
    bool loaded() const { return m_loaded; }

    // Reads every folder afresh (every item gets a new id) and publishes the list sorted by
    // label, case-insensitively in the user's language; equal labels keep the reading order:
    // the user's folder, all users, services, the disabled folder. Folders that are missing or
    // unreadable contribute nothing; files that cannot be read are listed by their file name.
    void load();

    // Switches one of the user's own items. None on success (the list has been read again);
    // otherwise a sentence for the user, and nothing has changed. A file already standing
    // where the item goes is moved to the Trash first, never deleted. Items of all users and
    // services are refused whatever the caller passes, as is a file outside the user's two
    // folders. Switching an item to where it already lies changes nothing; asking to switch on
    // an item that is off inside its own file says so.
    std::optional<QString> setEnabled(const StartupItem& item, bool enabled);

    // The hidden folder inside the user's autostart folder that holds switched-off items;
    // created (with its parents) on every call, a failure to create it ignored.
    QString disabledFolder() const;
    // The user's autostart folder.
    QString userFolder() const;

signals:
    void itemsChanged();
    void loadedChanged();

private:
    HomeLayout m_layout;
    Deps m_deps;
    std::shared_ptr<Trash> m_trash;
    QString m_locale;
    QList<StartupItem> m_items;
    bool m_loaded = false;
};
