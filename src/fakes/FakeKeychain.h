#pragma once

#include "platform/Keychain.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <QMap>
#include <QStringList>

// An in-memory keyring. Every call is logged ("save <account>", "read <account>", "remove
// <account>") when it starts, so tests can check what reached the keyring and in which order;
// failures are switched on per operation with the reason the call reports.
//
// hold() makes it a keyring that does not answer: every call from then on waits, already logged,
// until release() or abandon(). A test that holds must release before it ends (the fixture's
// tear-down is the place), or the worker that waits is never given back. After abandon() every
// call, the waiting ones included, fails with abandonedReason(). Safe to use from several
// threads; the accessors return copies.
class FakeKeychain final : public Keychain {
public:
    [[nodiscard]] bool save(const QString& account, const QString& value,
                            QString* reason = nullptr) override {
        std::unique_lock lock(m_mutex);
        enter(lock, QStringLiteral("save ") + account);
        const std::optional<QString> failure = m_abandoned ? abandonedReason() : m_saveFailure;
        if (failure) {
            if (reason)
                *reason = *failure;
            return false;
        }
        m_items.insert(account, value);
        afterChange(lock);
        return true;
    }

    Read read(const QString& account) override {
        std::unique_lock lock(m_mutex);
        enter(lock, QStringLiteral("read ") + account);
        const std::optional<QString> failure = m_abandoned ? abandonedReason() : m_readFailure;
        if (failure)
            return Read{Read::Status::Failed, QString(), *failure};
        const auto it = m_items.constFind(account);
        if (it == m_items.cend())
            return Read{Read::Status::NotFound, QString(), QString()};
        return Read{Read::Status::Found, it.value(), QString()};
    }

    RemoveStatus remove(const QString& account, QString* reason = nullptr) override {
        std::unique_lock lock(m_mutex);
        enter(lock, QStringLiteral("remove ") + account);
        const std::optional<QString> failure = m_abandoned ? abandonedReason() : m_removeFailure;
        if (failure) {
            if (reason)
                *reason = *failure;
            return RemoveStatus::Failed;
        }
        const bool had = m_items.remove(account) > 0;
        afterChange(lock);
        return had ? RemoveStatus::Removed : RemoveStatus::NotFound;
    }

    void abandon() override {
        {
            std::lock_guard lock(m_mutex);
            m_abandoned = true;
        }
        m_gate.notify_all();
    }
    static QString abandonedReason() { return QStringLiteral("abandoned"); }

    // None lets the operation succeed again.
    void failSaves(std::optional<QString> reason) {
        std::lock_guard lock(m_mutex);
        m_saveFailure = std::move(reason);
    }
    void failReads(std::optional<QString> reason) {
        std::lock_guard lock(m_mutex);
        m_readFailure = std::move(reason);
    }
    void failRemoves(std::optional<QString> reason) {
        std::lock_guard lock(m_mutex);
        m_removeFailure = std::move(reason);
    }
    // Runs after every successful change of the items, on the calling thread and outside the
    // fake's lock (so it may call the fake).
    void setAfterCall(std::function<void()> hook) {
        std::lock_guard lock(m_mutex);
        m_afterCall = std::move(hook);
    }

    // From now on every call waits until release().
    void hold() {
        std::lock_guard lock(m_mutex);
        m_held = true;
    }
    // Lets every waiting call (and every later one) go on.
    void release() {
        {
            std::lock_guard lock(m_mutex);
            m_held = false;
        }
        m_gate.notify_all();
    }
    // The calls waiting in hold() now.
    int waiting() const {
        std::lock_guard lock(m_mutex);
        return m_waiting;
    }

    QMap<QString, QString> items() const {
        std::lock_guard lock(m_mutex);
        return m_items;
    }
    void put(const QString& account, const QString& value) {
        std::lock_guard lock(m_mutex);
        m_items.insert(account, value);
    }
    QStringList calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    void clearCalls() {
        std::lock_guard lock(m_mutex);
        m_calls.clear();
    }

private:
    void enter(std::unique_lock<std::mutex>& lock, const QString& call) {
        m_calls << call;
        ++m_waiting;
        m_gate.wait(lock, [this] { return !m_held || m_abandoned; });
        --m_waiting;
    }
    void afterChange(std::unique_lock<std::mutex>& lock) {
        const std::function<void()> hook = m_afterCall;
        if (!hook)
            return;
        lock.unlock();
        hook();
        lock.lock();
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_gate;
    bool m_held = false;
    bool m_abandoned = false;
    int m_waiting = 0;
    QMap<QString, QString> m_items;
    QStringList m_calls;
    std::optional<QString> m_saveFailure;
    std::optional<QString> m_readFailure;
    std::optional<QString> m_removeFailure;
    std::function<void()> m_afterCall;
};
