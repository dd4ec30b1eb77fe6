#pragma once

#include "platform/BatchedListModel.h"
#include "platform/TimelineEntry.h"

#include <QDateTime>
#include <QPointer>

class PendrelTimelineStore;

// The timeline screen's list: the store's entries that match its search, newest first, one row
// per id (a file may repeat an id; its first match shows). It follows the store by itself: a new
// search or a changed set of matches replaces the rows in one reset, while a change that keeps
// the same rows in the same order (a pin) updates those rows in place, so the view's current row
// stays where it is.
//
// How long ago an entry was is measured from now(), which the screen moves on; rows whose "… ago"
// text changes are reported as changed, nothing else.
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
    void setNow(const QDateTime& now);
    // The meta line of an entry at now().
    QString metaLine(const TimelineEntry& entry) const;
    // The row of the entry with this id, or -1.
    int rowOf(const QUuid& id) const;

private:
    void sync();

    QPointer<PendrelTimelineStore> m_store;
    QDateTime m_now;
};
