#pragma once

#include "platform/TimelineEntry.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The timeline screen's wording and its small rules, apart from any widget.
namespace TimelineText {

// The symbol a row shows for its kind.
QString symbol(TimelineEntry::Kind kind);

// The empty state for the search text as stored (not trimmed): "Nothing here yet" while it is
// empty, "No matches" as soon as it holds any character, blanks included.
QString emptyTitle(const QString& searchText);
QString emptyMessage(const QString& searchText);

// "<n> entries on this Mac"; "1 entry on this Mac".
QString entryCount(qsizetype count);
// The footer (button and count) shows while at least one entry, searched or not, is unpinned.
bool showsFooter(const QList<TimelineEntry>& entries);

QString pinTooltip(bool pinned);
// The capsule beside a pinned row's title: "Pinned".
QString pinnedBadge();

// How long ago a moment was, in at most two units: "just now", "12 seconds ago",
// "5 minutes ago", "2 hours, 5 minutes ago", "3 days, 4 hours ago", "2 weeks, 1 day ago",
// "4 months, 2 weeks ago", "1 year, 3 months ago"; a moment ahead reads "in 5 minutes".
QString relativeDate(const QDateTime& date, const QDateTime& now);

// Said on the screen while changes cannot be saved (see PendrelTimelineStore::savesHeld).
QString savesHeldNote();

// The screen's fixed words: its window title and introduction, the search line's placeholder
// and clear button (tooltip and accessible name), the list's title (also the rows' accessible
// name), the footer's button and the privacy card.
QString windowTitle();
QString intro();
QString searchPlaceholder();
QString clearSearchTooltip();
QString clearSearchName();
QString listTitle();
QString clearUnpinnedButton();
QString privacyTitle();
QString privacyText();

} // namespace TimelineText
