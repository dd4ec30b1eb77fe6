#include "platform/BatchedListModel.h"

BatchedListModelBase::BatchedListModelBase(int tickMs, QObject* parent)
    : QAbstractListModel(parent) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &BatchedListModelBase::flush);
}

void BatchedListModelBase::schedule() {
    if (!m_timer.isActive())
        m_timer.start();
}

void BatchedListModelBase::flush() {
    m_timer.stop();
    const int pending = pendingCount();
    if (pending == 0)
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + pending - 1);
    takePending();
    endInsertRows();
    emit rowsArrived(rowCount());
}
