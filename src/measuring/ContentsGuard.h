#pragma once

#include "platform/AppDataPlace.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

class HomeLayout;

// Why a location may not be emptied or searched: it is, or lies above, one of the folders that
// hold the user's own files, the app's own, or files of the whole system; or it is, or lies in,
// a place of live system files or of keys.
struct ContentsRefusal {
    // Shared: "/tmp" or "/var/tmp", where every user and the system keep sockets and work files,
    // and the live places (the runtime folder, /run, /dev, /proc, /sys). A folder of keys
    // (~/.ssh, the keyrings) is told as a UserFolder, by its name.
    enum class Kind { Home, UserFolder, AppFolder, Shared };

    Kind kind = Kind::Home;
    QString location;  // as the row lists it
    QString kept;      // the folder it is or holds, as the layout places it
    bool same = false; // the location is that folder or lies in it; false: it lies above it

    bool operator==(const ContentsRefusal&) const = default;
};

// The folders whose contents no cleaner row may ever empty or search, whatever the environment
// places where: a row that cleans "everything inside" a location (the caches row with
// XDG_CACHE_HOME set to the home, say), or the *.log files found in it (the logs row with
// XDG_STATE_HOME set to the home), would otherwise take the user's files with it.
//
// A row that searches the user's folders on purpose (old downloads, screenshots on the Desktop)
// asks with userFoldersAllowed: the user folders are then its to search, the home, the app's
// folders and the shared folders still are not.
//
// Locations and kept folders are compared in canonical form (absolute, symlinks resolved, "."
// and ".." and repeated or trailing slashes gone; the part of a path that does not exist is
// taken as written), worked out at the moment of the call: ask again right before acting, since
// a symlink may have changed since the last answer.
class ContentsGuard {
public:
    // Keeps nothing: every location may be emptied.
    ContentsGuard() = default;
    explicit ContentsGuard(QList<AppDataPlace::Kept> kept) : m_kept(std::move(kept)) {}
    // Every place AppDataPlace keeps for the layout's home (the home, its user, project and
    // secret folders, the runtime folder, the live system places, /tmp and /var/tmp), and the
    // app's data folder ($XDG_DATA_HOME/Pendrel) and settings folder ($XDG_CONFIG_HOME/Pendrel).
    // The app's cache folder is not among them: the caches row's location always holds it, and
    // the cleaners pass over it on their own.
    static ContentsGuard forLayout(const HomeLayout& layout);

    // Why the location may not be emptied or searched, or nothing when it may. An empty
    // location is refused as the home would be (it means no place at all).
    std::optional<ContentsRefusal> check(const QString& location,
                                         bool userFoldersAllowed = false) const;
    // The first refusal among a row's locations, in order.
    std::optional<ContentsRefusal> check(const QStringList& locations,
                                         bool userFoldersAllowed = false) const;

private:
    QList<AppDataPlace::Kept> m_kept;
};
