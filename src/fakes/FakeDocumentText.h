#pragma once

#include "platform/DocumentText.h"

#include <condition_variable>
#include <mutex>
#include <QHash>
#include <QStringList>

// Document text from a table: a path in the table gives its text (an absent value gives
// nothing), any other path gives nothing. Every call is recorded. A path can be gated: a call
// for it waits until open() is called (or its cancel flag turns true), so a test can keep a
// run in the middle of its work. Thread-safe.
class FakeDocumentText : public DocumentText {
public:
    void setText(const QString& path, std::optional<QString> text) {
        std::lock_guard lock(m_mutex);
        m_texts.insert(path, std::move(text));
    }
    void gate(const QString& path) {
        std::lock_guard lock(m_mutex);
        m_gated.append(path);
    }
    void open() {
        {
            std::lock_guard lock(m_mutex);
            m_gated.clear();
        }
        m_changed.notify_all();
    }
    QStringList calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    // Whether a call is waiting at a gate now.
    bool waiting() const {
        std::lock_guard lock(m_mutex);
        return m_waiting > 0;
    }

    std::optional<QString> extract(const QString& path, const CancelToken& cancel) override {
        std::unique_lock lock(m_mutex);
        m_calls.append(path);
        ++m_waiting;
        while (m_gated.contains(path) && !cancel.isCancelled())
            m_changed.wait_for(lock, std::chrono::milliseconds(10));
        --m_waiting;
        return m_texts.value(path, std::nullopt);
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QHash<QString, std::optional<QString>> m_texts;
    QStringList m_gated;
    QStringList m_calls;
    int m_waiting = 0;
};
