#pragma once

#include "platform/DiskUsage.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

// The disk-usage tool with answers set by the test: bytes per path (0 for any other), and the
// paths asked for, in order.
class FakeDiskUsage : public DiskUsage {
public:
    void setSize(const QString& path, qint64 bytes) {
        QMutexLocker guard(&m_lock);
        m_sizes.insert(path, bytes);
    }
    qint64 sizeOf(const QString& path, const CancelToken&) const override {
        QMutexLocker guard(&m_lock);
        m_asked.append(path);
        return m_sizes.value(path, 0);
    }
    QStringList asked() const {
        QMutexLocker guard(&m_lock);
        return m_asked;
    }

private:
    mutable QMutex m_lock;
    QHash<QString, qint64> m_sizes;
    mutable QStringList m_asked;
};
