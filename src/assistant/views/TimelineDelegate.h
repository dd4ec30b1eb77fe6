#pragma once

#include "assistant/views/TimelineRow.h"
#include "ui-kit/QKStampDelegate.h"

// Draws the timeline's rows (TimelineListModel) with one TimelineRow stamp: the kind's symbol,
// title, "Pinned" badge, detail, meta line and pin, and a divider under every row but the last.
// The pin is the row's action, by click or by Space and Return ("pinButton").
class TimelineDelegate : public QKStampDelegate {
    Q_OBJECT
public:
    explicit TimelineDelegate(QAbstractItemView* view);

    QString keyAction(const QModelIndex& index) const override;
    // The stamp, set up for a row (tests read what a row shows from it).
    TimelineRow* stampFor(const QModelIndex& index) const override;

protected:
    QString sizeKey(const QModelIndex& index) const override;

private:
    TimelineRow* m_stamp;
};
