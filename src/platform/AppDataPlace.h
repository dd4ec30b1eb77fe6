#pragma once

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// Whether a folder may be treated as app data: taken as a base folder (XDG_CACHE_HOME and the
// rest), or searched and emptied by a cleaner row. A folder may not when it is, or lies above,
// the home or a folder of the user's own files, or /tmp and /var/tmp, where every user keeps
// sockets and work files; and neither when it is, or lies inside, a place of live system files
// (the session's runtime folder, /run, /var/run, /dev, /proc, /sys: sockets, devices, the kernel's
// own files) or a folder of keys and secrets (~/.ssh, ~/.gnupg, ~/.pki, ~/.password-store, the
// keyrings). Emptying any of these would take what no cache is: the user's files, another
// program's live socket, a key.
//
// Places are compared in canonical form (symlinks, "..", repeated and trailing slashes), worked
// out at the moment of the call: ask again right before acting, since a link may have changed.
namespace AppDataPlace {

enum class Kind {
    Home,       // the home folder
    UserFolder, // Desktop, Downloads, … and the project folders
    AppFolder,  // the app's own data and settings folders
    Shared,     // /tmp and /var/tmp
    System,     // the runtime folder, /run, /var/run, /dev, /proc, /sys
    Secrets,    // the folders of keys, passwords and keyrings
};

// A place a folder treated as app data must keep clear of.
struct Kept {
    QString path;
    Kind kind = Kind::Home;
    // Kept with what lies inside it (System, Secrets); else with the folders above it. A folder
    // above a live place or a secret folder is refused only for what else it is or holds (the
    // data folder holds the keyrings and is app data; the home holds ~/.ssh and is not).
    bool inside = false;
};

struct Refusal {
    Kind kind = Kind::Home;
    QString kept;        // the kept place, as it was listed
    bool same = false;   // the folder is the kept place
    bool inside = false; // the folder lies inside it; neither: it lies above it
};

// The kept places of a home: the home, the given folders of the user's own files (its user and
// project folders), the data folder's keyrings, the runtime folder (none when empty), the
// system's live places, the secret folders and the shared temporary folders.
QList<Kept> keptFor(const QString& home, const QStringList& ownFolders, const QString& dataHome,
                    const QString& runtimeDir);

// The first kept place the folder runs into, in the list's order; none when it may be treated as
// app data. userFoldersAllowed passes over the UserFolder places, for a row that searches them
// on purpose (old downloads); the others still hold. An empty folder is taken as "/".
std::optional<Refusal> refusal(const QString& folder, const QList<Kept>& kept,
                               bool userFoldersAllowed = false);

} // namespace AppDataPlace
