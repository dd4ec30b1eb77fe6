#pragma once

#include <optional>
#include <QList>
#include <QString>

// One hidden setting that a switch turns on and off: one key of one settings domain, the value
// that means on, and what switching it off does (write offValue, or delete the key so the
// default applies again). Switching writes the key and nothing more: no process is restarted or
// signalled, whatever `restart` names.
struct Tweak {
    QString id;    // lower case with hyphens; the key of the tweak's state
    QString group; // the heading it is listed under
    QString name;
    QString plainDescription;
    QString domain; // "NSGlobalDomain" for the global domain
    QString key;
    QString onFlag; // the defaults tool's type flag for both writes: -bool, -string, -int, -float
    QString onValue;
    std::optional<QString> offValue; // none: switching off deletes the key
    // The program that reads the key only when it starts, on the system the table was written
    // for; none for keys read as they change. Those programs do not run here: it is kept with the
    // table and neither restarted nor shown.
    std::optional<QString> restart;
    QString onReadValue; // what the defaults tool prints for the key when it is on
};

namespace TweakTable {
// The fixed table, in the order the screen shows it.
const QList<Tweak>& all();
} // namespace TweakTable
