#pragma once

#include "platform/BatchedListModel.h"
#include "platform/TimelineEntry.h"

#include <limits>
#include <QDateTime>
#include <QPointer>

class PendrelTimelineStore;

// The timeline screen's list: the store's entries that match its search, newest first, one row
// per id (a file may repeat an id; its first match shows). It follows the store by itself: a new
// search or a changed set of matches replaces the rows in one reset, while a change that keeps
// the same rows in the same order (a pin) updates those rows in place, so the view's current row
// stays where it is.
//
// How long ago an entry was is measured from now(), which the screen moves on; of the rows it
// names (those on screen), each whose "… ago" text changes is reported as changed, one row at a
// time so that a view repaints only that row. The rest read the new age when next drawn.
class TimelineListModel : public BatchedListModel<TimelineEntry> {
    Q_OBJECT
public:
    enum Role {
        EntryRole = Qt::UserRole + 1, // the TimelineEntry
        IdRole,                       // its id (QUuid)
        MetaRole,                     // "<kind label> · <how long ago>"
    };

    explicit TimelineListModel(PendrelTimelineStore& store, QObject* parent = nullptr);

    // Display and accessible text: the title. Accessible description: the detail (when there is
    // one) and the meta line. Check state: pinned. Tooltip: none.
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QDateTime now() const { return m_now; }
    // Moves now on, reporting the changed ages among rows first to last (clamped to the rows);
    // without a range, among every row.
    void setNow(const QDateTime& now, int first = 0, int last = std::numeric_limits<int>::max());
    // The meta line of an entry at now().
    QString metaLine(const TimelineEntry& entry) const;
    // The row of the entry with this id, or -1.
    int rowOf(const QUuid& id) const;

private:
    void sync();

    QPointer<PendrelTimelineStore> m_store;
    QDateTime m_now;
};
