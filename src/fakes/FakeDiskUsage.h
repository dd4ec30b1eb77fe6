#pragma once

#include "platform/DiskUsage.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QWaitCondition>

// The disk-usage tool with answers set by the test: bytes per path (0 for any other), and the
// paths asked for, in order. While held, every call waits until release() or until its token is
// cancelled, so a scan can be caught in the middle.
class FakeDiskUsage : public DiskUsage {
public:
    void setSize(const QString& path, qint64 bytes) {
        QMutexLocker guard(&m_lock);
        m_sizes.insert(path, bytes);
    }
    void hold() {
        QMutexLocker guard(&m_lock);
        m_held = true;
    }
    void release() {
        QMutexLocker guard(&m_lock);
        m_held = false;
        m_changed.wakeAll();
    }
    qint64 sizeOf(const QString& path, const CancelToken& cancel) const override {
        QMutexLocker guard(&m_lock);
        m_asked.append(path);
        while (m_held && !cancel.isCancelled())
            m_changed.wait(&m_lock, 20);
        return m_sizes.value(path, 0);
    }
    QStringList asked() const {
        QMutexLocker guard(&m_lock);
        return m_asked;
    }

private:
    mutable QMutex m_lock;
    mutable QWaitCondition m_changed;
    QHash<QString, qint64> m_sizes;
    mutable QStringList m_asked;
    bool m_held = false;
};
