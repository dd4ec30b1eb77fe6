#pragma once

#include <QString>

// Whether the app starts when the user logs in. On Linux this is an XDG autostart entry.
class LoginItemService {
public:
    enum class Status { NotRegistered, Enabled, RequiresApproval };
    virtual ~LoginItemService() = default;
    virtual Status status() const = 0;
    // Each returns false with a readable reason when it could not be done.
    [[nodiscard]] virtual bool registerItem(QString* error) = 0;
    [[nodiscard]] virtual bool unregisterItem(QString* error) = 0;
};

// The XDG autostart file "<autostartDir>/pendrel.desktop". It counts as enabled when the file
// exists and is not switched off by "Hidden=true" or "X-GNOME-Autostart-enabled=false" (desktop
// settings tools write those); registering writes a fresh file, unregistering removes it.
class AutostartLoginItem : public LoginItemService {
public:
    AutostartLoginItem(QString autostartDir, QString executable);
    QString filePath() const;
    Status status() const override;
    [[nodiscard]] bool registerItem(QString* error) override;
    [[nodiscard]] bool unregisterItem(QString* error) override;
    // The entry's text: starts the app at login; the app itself keeps to the menu bar then.
    static QByteArray desktopEntry(const QString& executable);

private:
    QString m_dir;
    QString m_exec;
};
