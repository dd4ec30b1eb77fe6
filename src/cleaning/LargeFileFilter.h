#pragma once

#include <functional>
#include <QDateTime>
#include <QSortFilterProxyModel>

// The rows of a LargeFileListModel that the biggest-files screen shows: all of them, or only the
// old ones (BigFile::isOld) while onlyOld is on. Order is kept. Whether a file is old is decided
// when the filter runs; the clock is the system's unless a test hands in its own.
class LargeFileFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using Now = std::function<QDateTime()>;

    explicit LargeFileFilter(QObject* parent = nullptr);

    bool onlyOld() const { return m_onlyOld; }
    void setOnlyOld(bool onlyOld);
    void setNow(Now now);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    bool m_onlyOld = false;
    Now m_now;
};
