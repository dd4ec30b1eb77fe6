#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QUuid>

// One program that starts on its own: an autostart entry of the user or of all users, or a
// system service enabled at boot. A value read from its file; every read makes a new id.
struct StartupItem {
    QUuid id;
    // The entry's name in the user's language (an empty Name= stays empty), the unit's
    // description, or else the file name without its extension.
    QString label;
    // The program it runs (the first word of Exec= or ExecStart=), or empty.
    QString program;
    // File URL of the file it was read from (the name is the one the item had where it began,
    // as a property list): inside the disabled folder for a switched-off item, the unit file
    // itself for a service.
    QUrl plistURL;
    // "Your login", "All users" or "System", shown as it is.
    QString scope;
    // True for items of the user's own autostart folder and of the disabled folder, the only
    // ones that may be switched.
    bool userWritable = false;
    // True for items found in the disabled folder.
    bool disabled = false;
    // True when the item stays put but still will not start: its entry switches itself off
    // (Hidden=true, X-GNOME-Autostart-enabled=false), an entry of the same name in the user's
    // folder takes an all-users entry's place, or the service is masked.
    bool inactive = false;

    // Whether it will start at the next login or boot.
    bool startsAutomatically() const { return !disabled && !inactive; }
};

Q_DECLARE_METATYPE(StartupItem)
