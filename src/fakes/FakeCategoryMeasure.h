#pragma once

#include "measuring/CategoryMeasure.h"

#include <functional>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

// Measures categories with results set by the test (by id; a zero measurement for any other)
// and records which ids were measured. An optional hook runs on the measuring thread before each
// answer, so a test can hold a scan mid-way or watch the cancel token.
class FakeCategoryMeasure : public CategoryMeasure {
public:
    using Hook = std::function<void(const CleanCategory&, const CancelToken&)>;

    void setResult(const QString& id, const Measurement& m) {
        QMutexLocker guard(&m_lock);
        m_results.insert(id, m);
    }
    void setHook(Hook hook) {
        QMutexLocker guard(&m_lock);
        m_hook = std::move(hook);
    }

    Measurement measure(const CleanCategory& category,
                        const CancelToken& cancel = CancelToken()) const override {
        Hook hook;
        {
            QMutexLocker guard(&m_lock);
            m_measured.append(category.id);
            hook = m_hook;
        }
        if (hook)
            hook(category, cancel);
        QMutexLocker guard(&m_lock);
        return m_results.value(category.id);
    }

    QStringList measured() const {
        QMutexLocker guard(&m_lock);
        return m_measured;
    }

private:
    mutable QMutex m_lock;
    QHash<QString, Measurement> m_results;
    Hook m_hook;
    mutable QStringList m_measured;
};
