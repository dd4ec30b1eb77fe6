#include "shell/RunModeManager.h"

#include "platform/HomeLayout.h"
#include "platform/LoginItem.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QJsonValue>

namespace {
const QString kKey = QStringLiteral("run.mode");
}

QString runModeRawValue(RunMode mode) {
    switch (mode) {
    case RunMode::WindowOnly:
        return QStringLiteral("Only when open");
    case RunMode::MenuBar:
        return QStringLiteral("Keep in the menu bar");
    case RunMode::Login:
        return QStringLiteral("Start at login");
    }
    return {};
}

std::optional<RunMode> runModeFromRawValue(const QString& raw) {
    for (RunMode mode : allRunModes()) {
        if (runModeRawValue(mode) == raw)
            return mode;
    }
    return std::nullopt;
}

const QList<RunMode>& allRunModes() {
    static const QList<RunMode> modes = {RunMode::WindowOnly, RunMode::MenuBar, RunMode::Login};
    return modes;
}

RunModeManager::RunModeManager(UserDefaults& defaults, LoginItemService& loginItem, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_loginItem(loginItem) {
    if (const auto raw = defaults.stringValue(kKey)) {
        if (const auto mode = runModeFromRawValue(*raw))
            m_mode = *mode;
    }
}

RunModeManager* RunModeManager::shared() {
    static RunModeManager* instance = [] {
        const QString exec = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                          : QStringLiteral("pendrel");
        static AutostartLoginItem loginItem(HomeLayout::fromEnvironment().autostartDir(), exec);
        return new RunModeManager(UserDefaults::standard(), loginItem);
    }();
    return instance;
}

void RunModeManager::setMode(RunMode mode) {
    m_mode = mode;
    emit modeChanged(mode);
    m_defaults.setValue(kKey, runModeRawValue(mode));
    apply();
}

void RunModeManager::apply() {
    const ActivationPolicy policy =
        m_mode == RunMode::WindowOnly ? ActivationPolicy::Regular : ActivationPolicy::Accessory;
    if (policy != m_policy) {
        m_policy = policy;
        emit activationPolicyChanged(policy);
    }
    setLoginItem(m_mode == RunMode::Login);
}

void RunModeManager::setLoginItem(bool enabled) {
    setLoginItemError(QString());
    const bool registered = m_loginItem.status() == LoginItemService::Status::Enabled;
    QString reason;
    bool ok = true;
    if (enabled && !registered)
        ok = m_loginItem.registerItem(&reason);
    else if (!enabled && registered)
        ok = m_loginItem.unregisterItem(&reason);
    if (!ok) {
        if (reason.isEmpty())
            reason = QStringLiteral("The login item could not be changed.");
        setLoginItemError(QStringLiteral("Could not change the login setting: ") + reason);
    }
}

void RunModeManager::setLoginItemError(const QString& error) {
    if (error == m_loginItemError && error.isNull() == m_loginItemError.isNull())
        return;
    m_loginItemError = error;
    emit loginItemErrorChanged(error);
}
