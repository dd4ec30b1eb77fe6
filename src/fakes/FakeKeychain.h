#pragma once

#include "platform/Keychain.h"

#include <functional>
#include <optional>
#include <QMap>
#include <QStringList>

// An in-memory keyring. Every call is logged ("save <account>", "read <account>", "remove
// <account>") so tests can check what reached the keyring and in which order; failures are
// switched on per operation with the reason the call reports.
class FakeKeychain final : public Keychain {
public:
    bool save(const QString& account, const QString& value, QString* reason = nullptr) override {
        m_calls << QStringLiteral("save ") + account;
        if (m_saveFailure) {
            if (reason)
                *reason = *m_saveFailure;
            return false;
        }
        m_items.insert(account, value);
        if (m_afterCall)
            m_afterCall();
        return true;
    }

    Read read(const QString& account) override {
        m_calls << QStringLiteral("read ") + account;
        if (m_readFailure)
            return Read{Read::Status::Failed, QString(), *m_readFailure};
        const auto it = m_items.constFind(account);
        if (it == m_items.cend())
            return Read{Read::Status::NotFound, QString(), QString()};
        return Read{Read::Status::Found, it.value(), QString()};
    }

    RemoveStatus remove(const QString& account, QString* reason = nullptr) override {
        m_calls << QStringLiteral("remove ") + account;
        if (m_removeFailure) {
            if (reason)
                *reason = *m_removeFailure;
            return RemoveStatus::Failed;
        }
        const bool had = m_items.remove(account) > 0;
        if (m_afterCall)
            m_afterCall();
        return had ? RemoveStatus::Removed : RemoveStatus::NotFound;
    }

    // None lets the operation succeed again.
    void failSaves(std::optional<QString> reason) { m_saveFailure = std::move(reason); }
    void failReads(std::optional<QString> reason) { m_readFailure = std::move(reason); }
    void failRemoves(std::optional<QString> reason) { m_removeFailure = std::move(reason); }
    // Runs after every successful change of the items.
    void setAfterCall(std::function<void()> hook) { m_afterCall = std::move(hook); }

    const QMap<QString, QString>& items() const { return m_items; }
    void put(const QString& account, const QString& value) { m_items.insert(account, value); }
    const QStringList& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

private:
    QMap<QString, QString> m_items;
    QStringList m_calls;
    std::optional<QString> m_saveFailure;
    std::optional<QString> m_readFailure;
    std::optional<QString> m_removeFailure;
    std::function<void()> m_afterCall;
};
