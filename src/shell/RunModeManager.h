#pragma once

#include <optional>
#include <QList>
#include <QObject>
#include <QString>

class UserDefaults;
class LoginItemService;

// How the app lives on the desktop. The raw texts are both what is stored under "run.mode" and
// what the settings show.
enum class RunMode { WindowOnly, MenuBar, Login };

QString runModeRawValue(RunMode mode);
// Exact, case-sensitive match of a raw text; anything else gives nothing.
std::optional<RunMode> runModeFromRawValue(const QString& raw);
const QList<RunMode>& allRunModes();

// With a Dock icon and main menu (regular) or without (accessory). Linux has no Dock, so the
// policy is only recorded; it stays part of the mode's contract for the screens that show it.
enum class ActivationPolicy { Regular, Accessory };

// The chosen run mode, stored and applied. One process-wide instance (shared()).
class RunModeManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(RunMode mode READ mode WRITE setMode NOTIFY modeChanged)
    Q_PROPERTY(QString loginItemError READ loginItemError NOTIFY loginItemErrorChanged)
public:
    // Reads "run.mode" from defaults; a missing, non-text or unknown value means MenuBar. Creating
    // the manager applies nothing.
    RunModeManager(UserDefaults& defaults, LoginItemService& loginItem, QObject* parent = nullptr);

    static RunModeManager* shared();

    RunMode mode() const { return m_mode; }
    // Every assignment, also of the current mode: publish, store the raw text, then apply().
    void setMode(RunMode mode);

    // Null when the last login-item attempt did not fail; otherwise
    // "Could not change the login setting: <reason>".
    QString loginItemError() const { return m_loginItemError; }

    // Records the activation policy of the mode and brings the login item in line with it.
    void apply();
    // Registers or unregisters the login item when its status differs from what is asked.
    void setLoginItem(bool enabled);

    ActivationPolicy activationPolicy() const { return m_policy; }
    // True exactly in window-only mode: then closing the last window quits the app.
    bool quitsAfterLastWindowClosed() const { return m_mode == RunMode::WindowOnly; }

signals:
    void modeChanged(RunMode mode);
    void loginItemErrorChanged(const QString& error);
    void activationPolicyChanged(ActivationPolicy policy);

private:
    void setLoginItemError(const QString& error);

    UserDefaults& m_defaults;
    LoginItemService& m_loginItem;
    RunMode m_mode = RunMode::MenuBar;
    QString m_loginItemError;
    ActivationPolicy m_policy = ActivationPolicy::Regular;
};
