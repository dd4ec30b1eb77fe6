#include "cleaning/LargeFileFilter.h"

#include "cleaning/BigFile.h"
#include "cleaning/LargeFileListModel.h"

LargeFileFilter::LargeFileFilter(QObject* parent)
    : QSortFilterProxyModel(parent), m_now([] { return QDateTime::currentDateTimeUtc(); }) {}

void LargeFileFilter::setOnlyOld(bool onlyOld) {
    if (onlyOld == m_onlyOld)
        return;
    m_onlyOld = onlyOld;
    invalidateRowsFilter();
}

void LargeFileFilter::setNow(Now now) {
    m_now = std::move(now);
    invalidateRowsFilter();
}

bool LargeFileFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (!m_onlyOld)
        return true;
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const QVariant value = index.data(LargeFileListModel::FileRole);
    return value.canConvert<BigFile>() && value.value<BigFile>().isOld(m_now());
}
