#include "assistant/TimelineListModel.h"

#include "assistant/TimelineText.h"
#include "platform/PendrelTimelineStore.h"

#include <algorithm>
#include <QSet>

TimelineListModel::TimelineListModel(PendrelTimelineStore& store, QObject* parent)
    : BatchedListModel(parent), m_store(&store), m_now(QDateTime::currentDateTimeUtc()) {
    connect(&store, &PendrelTimelineStore::entriesChanged, this, &TimelineListModel::sync);
    connect(&store, &PendrelTimelineStore::searchTextChanged, this, &TimelineListModel::sync);
    sync();
}

void TimelineListModel::sync() {
    if (!m_store)
        return;
    QList<TimelineEntry> shown;
    QSet<QUuid> seen;
    for (const TimelineEntry& e : m_store->filteredEntries()) {
        if (seen.contains(e.id))
            continue;
        seen.insert(e.id);
        shown.append(e);
    }
    const QList<TimelineEntry>& current = rows();
    bool sameRows = shown.size() == current.size();
    for (qsizetype i = 0; sameRows && i < shown.size(); ++i)
        sameRows = shown.at(i).id == current.at(i).id;
    if (!sameRows) {
        reset(std::move(shown));
        return;
    }
    for (int i = 0; i < shown.size(); ++i)
        if (!(shown.at(i) == current.at(i)))
            replace(i, shown.at(i));
}

QString TimelineListModel::metaLine(const TimelineEntry& entry) const {
    return label(entry.kind) + QStringLiteral(" · ") +
           TimelineText::relativeDate(entry.dateTime(), m_now);
}

void TimelineListModel::setNow(const QDateTime& now, int first, int last) {
    const QDateTime before = m_now;
    if (now == before)
        return;
    m_now = now;
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    // Compare the texts at both times, so a second that changes no "… ago" repaints nothing.
    for (int i = first; i <= last; ++i) {
        const QDateTime at = rowAt(i).dateTime();
        if (TimelineText::relativeDate(at, before) != TimelineText::relativeDate(at, now))
            emit dataChanged(index(i), index(i), {MetaRole, Qt::AccessibleDescriptionRole});
    }
}

QVariant TimelineListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const TimelineEntry& e = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return e.title;
    case Qt::AccessibleDescriptionRole:
        return e.detail.isEmpty() ? metaLine(e) : e.detail + QStringLiteral("\n") + metaLine(e);
    case Qt::CheckStateRole:
        return e.pinned ? Qt::Checked : Qt::Unchecked;
    case EntryRole:
        return QVariant::fromValue(e);
    case IdRole:
        return e.id;
    case MetaRole:
        return metaLine(e);
    default:
        return {};
    }
}

Qt::ItemFlags TimelineListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

int TimelineListModel::rowOf(const QUuid& id) const {
    return findRow([&id](const TimelineEntry& e) { return e.id == id; });
}
