#include "assistant/views/TimelineDelegate.h"

#include "assistant/TimelineListModel.h"
#include "assistant/views/TimelineRow.h"

#include <QAbstractItemView>

TimelineDelegate::TimelineDelegate(QAbstractItemView* view)
    : QKStampDelegate(view), m_stamp(new TimelineRow(TimelineEntry{}, view)) {
    m_stamp->setObjectName(QStringLiteral("timelineStamp"));
    prepareStamp(m_stamp);
}

QString TimelineDelegate::keyAction(const QModelIndex&) const {
    return QStringLiteral("pinButton");
}

TimelineRow* TimelineDelegate::stampFor(const QModelIndex& index) const {
    const auto* model = qobject_cast<const TimelineListModel*>(index.model());
    if (!model || index.row() < 0 || index.row() >= model->rowCount())
        return m_stamp;
    m_stamp->setEntry(model->rowAt(index.row()));
    m_stamp->refreshAge(model->now());
    m_stamp->setDividerVisible(index.row() + 1 < model->rowCount());
    return m_stamp;
}

QString TimelineDelegate::sizeKey(const QModelIndex& index) const {
    const auto* model = qobject_cast<const TimelineListModel*>(index.model());
    if (!model || index.row() < 0 || index.row() >= model->rowCount())
        return {};
    // The meta line is one line whatever it says, and the kind's symbol has a fixed width.
    const TimelineEntry& e = model->rowAt(index.row());
    const bool divider = index.row() + 1 < model->rowCount();
    return QString(e.pinned ? u'p' : u'-') + (divider ? u'd' : u'-') + e.title + QChar(0x1f) +
           e.detail;
}
