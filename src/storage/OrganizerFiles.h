#pragma once

#include "storage/OrganizerRecords.h"

#include <optional>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

// The organizer's file work: building a plan from the top level of a few folders, moving one
// file, and moving it back. Everything here is synchronous and runs on any thread.
//
// Safety rules every move and every undo step follow:
// - a path counts as inside a root only when it is absolute, already in clean form (no ".",
//   "..", doubled or trailing "/") and lies below the root by its text alone; no link is resolved;
// - no folder that already exists between the root and the path may be a symbolic link, so a
//   link planted in a kind folder cannot carry a move out of the root;
// - a move never replaces anything at its destination, and existence is tested on the path
//   itself (a dangling link counts as something there).
namespace OrganizerFiles {

// "Images", "Video", "Audio", "Documents", "Installers and archives" or "Other", by the
// lower-cased last extension of the name.
QString kindFolder(const QString& fileName);
// "Move into <kind>/ by file type."
QString moveReason(const QString& kind);
QString folderSkipReason();                    // "Folders are left in place."
QString recentSkipReason(int leaveRecentDays); // "Changed in the last N days."

// True when path equals root or lies below it, by text (both taken as given, cleaned).
bool isInside(const QString& root, const QString& path);
// isInside, plus: path is absolute and clean, and no existing folder strictly between root and
// path is a symbolic link.
bool isSafelyInside(const QString& root, const QString& path);
// Something (of any type, a dangling link included) exists at path; links are not followed.
bool exists(const QString& path);

// The candidate, or "<base> N.<ext>" (N = 2, 3, …) in the same folder, whichever is first
// neither in taken nor on disk; the result is added to taken.
QString uniqueDestination(const QString& candidate, const QString& fileName, QSet<QString>& taken);

// The plan for the top level of each root in order; hidden items are left out, a root that
// cannot be listed is passed over. Files changed after now − leaveRecentDays days stay.
OrganizerPlan buildPlan(const QStringList& roots, const QDateTime& now, int leaveRecentDays);

// Renames without ever replacing an existing item; across file systems the file is copied to
// the destination (which must not exist), checked byte for byte, and only then is the source
// removed. Empty on success, else the reason (the system's wording).
QString moveNoReplace(const QString& from, const QString& to);
// The cross-file-system half of moveNoReplace, for regular files only.
QString copyThenRemove(const QString& from, const QString& to);

struct Outcome {
    std::optional<OrganizerCompletedMove> moved; // set on success
    QString refusal;                             // the message otherwise
};
// One move of a run, bounded by home: "Outside your home folder.", "Already gone.", or the
// system's reason for a failed folder creation or move.
Outcome moveOne(const OrganizerMove& move, const QString& home);
// Moves a file back; paths must lie inside both the journal's home and the real home, and the
// journal's home inside the real one. Empty on success, else the failure text:
// "<destination>: outside home", "<destination>: already moved" or "<name>: <reason>". The
// folder created for the move is removed afterwards only when it is empty.
std::optional<QString> undoMove(const OrganizerCompletedMove& move, const QString& journalHome,
                                const QString& realHome);

} // namespace OrganizerFiles
