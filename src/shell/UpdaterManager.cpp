#include "shell/UpdaterManager.h"

#include "platform/UserDefaults.h"

namespace {
const QString kKey = QStringLiteral("updates.auto");
}

UpdaterManager::UpdaterManager(UserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_auto(defaults.boolValue(kKey).value_or(true)) {}

UpdaterManager* UpdaterManager::shared() {
    static UpdaterManager* instance = new UpdaterManager(UserDefaults::standard());
    return instance;
}

void UpdaterManager::setAutomaticallyChecks(bool value) {
    m_auto = value;
    emit automaticallyChecksChanged(value);
    if (!m_defaults.setValue(kKey, value)) {
        // Not saved: show what the next start will read (the store says why).
        const bool kept = m_defaults.boolValue(kKey).value_or(true);
        if (kept != m_auto) {
            m_auto = kept;
            emit automaticallyChecksChanged(kept);
        }
    }
}
