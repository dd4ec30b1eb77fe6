#pragma once

#include "apps/InstalledApp.h"
#include "apps/LeftoverItem.h"
#include "platform/CancelToken.h"
#include "platform/HomeLayout.h"

#include <optional>
#include <QList>
#include <QString>

// Finding what an application left in the user's Library folders: the immediate children of
// eleven folders whose names carry the application's bundle identifier or its name. Nothing
// deeper is searched by name; only the finds themselves are measured.
namespace LeftoverSearch {

struct Folder {
    QString label; // the category shown with each find
    QString path;
};

// The eleven folders in search order, with their places in this home: "Application Support",
// "Caches", "Preferences", "Containers", "Group Containers", "Saved State", "Logs", "Cookies",
// "HTTP Storage", "WebKit data", "Launch Agents". A folder without a counterpart here stays
// literal under the home's Library folder and is normally absent.
QList<Folder> folders(const HomeLayout& layout);

// Names of the desktop's own folders and files that live beside application data (keyrings,
// the Trash, autostart, systemd, dconf, flatpak, applications, …). They are never offered as
// leftovers of anything, whatever an application is called. Compared without regard to case.
bool isInfrastructure(const QString& fileName);

// The keys an application is matched on, lower-cased and in composed form. The identifier key is
// absent when the bundle declares no identifier, an empty one, or one without a dot (a bare word
// such as "editor" would claim any file that starts with it). The name key is empty when the
// name has fewer than three characters as a reader counts them.
struct Keys {
    std::optional<QString> identifier;
    QString name;
};
Keys keysFor(const InstalledApp& app);

// How a child of a Library folder relates to the application, or none. High: the whole name,
// or the name without its last extension, is the identifier, or either begins with the
// identifier followed by a dot. Low (only when the high test did not decide): the name without
// its extension, or the whole name, is the application name, or the whole name begins with the
// name and a dot, or the name without its extension begins with the name and a space.
std::optional<LeftoverItem::Confidence> grade(const QString& childName, const Keys& keys);

// Searches the folders for the application, measures each find and sorts them: high before
// low, larger before smaller within a grade, otherwise in the order found. Hidden children,
// infrastructure names, a child that is itself one of the searched folders or lies in
// `protectedPaths`, and a path found twice are left out. Missing or unreadable folders are
// skipped. A cancelled search returns what it had; the caller drops it. Any thread.
QList<LeftoverItem> find(const InstalledApp& app, const QList<Folder>& folders,
                         const QStringList& protectedPaths, const CancelToken& cancel);

// Sorts finds as find() does.
void sort(QList<LeftoverItem>& items);

} // namespace LeftoverSearch
