#include "measuring/CleanCategory.h"
#include "measuring/tables/TableRow.h"

QList<CleanCategory> CleanCategory::diskCategories(const HomeLayout& l) {
    using S = TamsoSafety;
    QList<CleanCategory> t;
    t << TableRow::make(l, "caches", "App caches", "Temporary files apps rebuild on their own.",
                        {"Library/Caches"}, true, false, S::Safe,
                        "Will rebuild automatically if needed.");
    t << TableRow::make(l, "logs", "Logs",
                        "Old activity records. Only useful when debugging a problem.",
                        {"Library/Logs"}, true, false, S::Safe, "Apps write new logs as they run.");
    // Logs have no folder of their own here: they are the *.log files among the state around
    // them, listed one by one so that state stays, and the session's error logs.
    t.last().locations = l.logFolders() + l.sessionLogs();
    t.last().fileExtensions = {QStringLiteral("log")};
    t << TableRow::make(l, "trash", "Trash",
                        "Files you already threw away. Emptying removes them for good.", {".Trash"},
                        true, false, S::Risky, "Emptying cannot be undone.");
    // The trashed items live in the Trash's files/ folder; its info/ records and size cache go
    // with each item when it is erased (Trash::erase), never on their own.
    t.last().locations = {l.map(QStringLiteral(".Trash")) + QStringLiteral("/files")};
    t << TableRow::make(l, "derived", "Xcode build files",
                        "Xcode rebuilds these next time you build a project.",
                        {"Library/Developer/Xcode/DerivedData"}, true, false, S::Safe,
                        "Will rebuild automatically if needed.");
    t << TableRow::make(l, "downloads", "Old downloads (6+ months)",
                        "Files in Downloads you have not touched in six months.", {"Downloads"},
                        false, false, S::CheckFirst,
                        "Only files older than six months are listed.");
    t.last().olderThanDays = 180;
    t.last().searchesUserFolders = true;
    t << TableRow::make(
        l, "db-backups", "Database backup files (.bak)",
        "Copies of databases left in Downloads, Documents and Desktop. These may be real backups.",
        {"Downloads", "Documents", "Desktop"}, false, false, S::CheckFirst,
        "Check before clearing — these are often intentional backups.");
    t.last().fileExtensions = {QStringLiteral("bak")};
    t.last().searchesUserFolders = true;
    return CleanCategories::withIgnoredVariables(l, std::move(t));
}
