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
//   link planted in a kind folder cannot carry a move out of the root. A user folder the
//   organizer tidies (Downloads, the Desktop) is a root of its own: it may itself be a link (a
//   Downloads folder kept on another disk is common), as long as it lies below home by its path
//   and nothing between home and it is a link;
// - a run only ever moves a file from the top level of a folder it tidies into the kind folder
//   of its name directly below that same folder (see isRunMove); a move or a record of one in
//   any other shape is refused, whatever a plan or a journal says;
// - the move itself goes through the open tidied folder and its kind folder, opened without
//   following a link, so a link planted after the checks cannot carry a file elsewhere either;
// - a move never replaces anything at its destination, and existence is tested on the path
//   itself (a dangling link counts as something there);
// - a copy across file systems is made under a temporary name beside its destination and only
//   renamed into place once it is complete, checked and synced, so a copy cut short never
//   stands at the destination's name.
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

// Where a run may move files: see the safety rules above.
struct Bounds {
    QString home;        // in clean form
    QStringList folders; // the user folders, in clean form, whether or not they are tidied now

    // path is clean, lies below home by its text, and either no folder between home and it is a
    // link, or it lies below a usable user folder with no link between that folder and it.
    bool holds(const QString& path) const;
};
// "A file named “Images” is where its folder would go."
QString kindFolderTakenReason(const QString& kind);
// Why a move from → to may not go by its paths, empty when it may: kindFolderTakenReason when
// something other than a folder or a link already has the kind folder's name, else "Outside
// your home folder." when the bounds do not hold both paths (a kind folder that is a link).
QString moveProblem(const Bounds& bounds, const QString& from, const QString& to);
// Empty when the user folder can be tidied and bounds its moves; otherwise why not: "Outside
// your home folder." when its path does not lie inside home, or a folder between home and it is
// a symbolic link. The folder itself may be a link.
QString folderProblem(const QString& home, const QString& folder);
// isInside, plus: path is absolute and clean, and no existing folder strictly between root and
// path is a symbolic link.
bool isSafelyInside(const QString& root, const QString& path);
// Something (of any type, a dangling link included) exists at path; links are not followed.
bool exists(const QString& path);

// What a run may move at the moment it moves: the user folders it tidies (in clean form), and
// the age a file must have (changed no later than now − leaveRecentDays days).
struct Rules {
    QStringList folders;
    QDateTime now;
    int leaveRecentDays = 7;
};

// The shape of every move a run makes: from lies in the top level of one of folders and is not
// hidden, and to is the kind folder of from's name directly below that same folder, holding
// from's name or its renamed form "<base> N.<ext>" (N ≥ 2). By the paths' text alone, which
// must be clean.
bool isRunMove(const QString& from, const QString& to, const QStringList& folders);
// "Not within the current rules."
QString outsideRulesReason();
// "<path>: not a move the organizer makes"
QString notARunMove(const QString& path);

// The candidate, or "<base> N.<ext>" (N = 2, 3, …) in the same folder, whichever is first
// neither in taken nor on disk; the result is added to taken.
QString uniqueDestination(const QString& candidate, const QString& fileName, QSet<QString>& taken);

// The plan for the top level of each of rules.folders in order; hidden items are left out, a
// folder that cannot be listed is passed over. Names are taken by their bytes (see NativePath),
// so a name that is not UTF-8 is planned like any other. The moves' own rule decides what is
// offered: a root that cannot bound its moves (see folderProblem) is left alone as a whole, and a
// file whose move moveProblem refuses stays, each named among the skipped with the reason.
// Files changed after now − leaveRecentDays days stay.
OrganizerPlan buildPlan(const Bounds& bounds, const Rules& rules);

// Renames without ever replacing an existing item; across file systems the file is copied (see
// copyThenRemove). Empty on success, else the reason (the system's wording).
QString moveNoReplace(const QString& from, const QString& to);
// The cross-file-system half of moveNoReplace, for regular files only: the copy is written to
// partialPath(to), checked byte for byte against the source, synced and renamed to `to` (never
// replacing anything there); only once that name is on disk is the source removed. On failure
// the source stays and the copy is taken back (under either name).
QString copyThenRemove(const QString& from, const QString& to);
// The temporary name of a copy on its way to path: a hidden name in the same folder, which the
// plan never lists.
QString partialPath(const QString& path);

struct Outcome {
    std::optional<OrganizerCompletedMove> moved; // set when the move may go ahead, or went
    QString refusal;                             // the message otherwise
};
// Whether one move of a run may go ahead, touching nothing: moveProblem's reason,
// outsideRulesReason() (not a run's move out of a folder the rules tidy now, or no longer a
// regular file), recentSkipReason (changed since the plan was made) or "Already gone.";
// otherwise the move as it will be recorded (with the kind folder it will create, when that is
// missing).
Outcome checkMove(const OrganizerMove& move, const Bounds& bounds, const Rules& rules);
// Carries out a move checkMove allowed, checking the rules again at that moment: creates its
// kind folder and moves the file through the open folders. Empty on success, else the reason
// (checkMove's wording, or the system's).
QString carryOut(const OrganizerCompletedMove& move, const Rules& rules);
// checkMove, then carryOut.
Outcome moveOne(const OrganizerMove& move, const Bounds& bounds, const Rules& rules);
// Moves a file back; paths must lie inside the journal's home by their text and be held by the
// bounds of the real home, the journal's home must lie inside the real one, and the move must
// be one a run makes out of one of bounds.folders (isRunMove). Nothing is ever replaced. Empty
// on success, else the failure text: "<destination>: outside home", notARunMove(destination),
// "<destination>: already moved" or "<name>: <reason>". The kind folder created for the move is
// removed afterwards only when it is empty.
std::optional<QString> undoMove(const OrganizerCompletedMove& move, const QString& journalHome,
                                const Bounds& bounds);

// Settles a move from → to that was under way when its run was cut short, and says whether it
// happened: true when the file stands at `to` and no longer at `from`. The one thing removed is
// our own temporary copy beside `to` (partialPath), while `from` is still there. Whatever stands
// at `from` or `to` stays, even a file that looks like a copy the run made: the record cannot
// prove it is not the user's. Paths the bounds do not hold are never touched.
[[nodiscard]] bool settle(const QString& from, const QString& to, const Bounds& bounds);

} // namespace OrganizerFiles
