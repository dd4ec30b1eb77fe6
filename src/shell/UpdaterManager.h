#pragma once

#include <QObject>

class UserDefaults;

// The update preference. There is no update mechanism: isAvailable() is always false, so the
// "Check for Updates…" command stays disabled; the preference is stored and drives nothing.
class UpdaterManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool automaticallyChecks READ automaticallyChecks WRITE setAutomaticallyChecks NOTIFY
                   automaticallyChecksChanged)
public:
    // Reads "updates.auto": its value when that is a Boolean, otherwise true. Writes nothing.
    explicit UpdaterManager(UserDefaults& defaults, QObject* parent = nullptr);
    static UpdaterManager* shared();

    bool isAvailable() const { return false; }
    bool automaticallyChecks() const { return m_auto; }
    // Every assignment publishes and writes "updates.auto" as a Boolean, changed or not.
    void setAutomaticallyChecks(bool value);

signals:
    void automaticallyChecksChanged(bool value);

private:
    UserDefaults& m_defaults;
    bool m_auto = true;
};
