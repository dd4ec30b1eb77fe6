#pragma once

#include "shell/Services.h"
#include "vitals/AppState.h"

#include <memory>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <vector>

class AccountName;
class Clock;
class FileRevealer;
class MainWindow;
class SettingsWindow;
class MenuBarExtra;
class TextSizeCommands;
class TrayHost;

// The root of the running app: creates every long-lived service once, in a fixed order, owns
// the ones that are not process-wide, and puts up the three scenes (main window, settings
// window, menu-bar extra). It also decides what happens at launch, on reopening and when the
// last window closes, following the run mode.
//
// The menu-bar extra lives in the desktop's tray, which may come after launch (a panel that
// starts after the login's apps) and may go away (a panel that crashes). The app follows the
// tray for the whole run: the icon is put up whenever a tray is there, and the no-tray rules
// (main window shown, closing it quits) hold exactly while none is, so the app can always be
// reached. A tray that goes away while no window is shown brings the main window up, unless
// the tray is back within trayGoneGraceMs.
class PendrelApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        // False for offscreen rendering and tests: no tray is looked for or used.
        bool useSystemTray = true;
        // Where the tray comes from: null means the desktop's own, with a real tray icon; a
        // test hands in a fake, and then the icon itself is not made (everything else is).
        TrayHost* trayHost = nullptr;
        int trayGoneGraceMs = 3000;
        // How the vitals service samples: by default the live machine every 3 seconds. Offscreen
        // rendering hands in fixed figures, so its pictures do not depend on the machine.
        AppState::Options vitals{};
        // The time the health check notes for its runs and Home greets by; null: the system
        // clock.
        std::shared_ptr<const Clock> clock{};
        // The name Home greets; null: the account's full name from the system.
        std::shared_ptr<const AccountName> account{};
    };

    PendrelApp();
    explicit PendrelApp(Options options);
    ~PendrelApp() override;

    const Services& services() const { return m_services; }
    // Type names in the order the services were created.
    const QStringList& creationOrder() const { return m_creationOrder; }

    // Puts up the scenes and applies the run mode (shows or keeps back the main window).
    void launch();

    MainWindow* mainWindow();
    SettingsWindow* settingsWindow();
    MenuBarExtra* menuBarExtra() const { return m_menuBar.get(); }

    // True while the menu-bar extra stands in a tray (from launch() on). Without one the main
    // window is the only way in, so it is shown and closing it quits, whatever the run mode.
    bool hasMenuBarExtra() const { return m_menuBar != nullptr; }

    // The main window's start action, run once per process at its first showing (or at launch
    // when the window stays back): links the automation store to the services its rules drive,
    // starts its timer, asks for notification permission and checks due rules.
    void wireAutomation();
    int wireAutomationCount() const { return m_wireCount; }

    // Brings the main window back when no window is visible; does nothing otherwise.
    void handleReopen();
    void openMainWindow();
    void openSettings();
    // A message handed over by a later launch: a pendrel:// URL or "reopen".
    void handleMessage(const QString& message);
    void openUrl(const QUrl& url);

private:
    template <typename T, typename... Args> T* own(const char* name, Args&&... args);
    template <typename T> T* shared(const char* name);
    // Owns an object that is not one of the catalog's services (kept out of creationOrder).
    template <typename T> T* adopt(std::unique_ptr<T> object);
    void updateQuitPolicy();
    // Puts up or takes down the menu-bar extra to match the tray.
    void syncMenuBarExtra();
    void onTrayAvailability(bool available);
    bool anyWindowShown() const;

    Options m_options;
    Services m_services;
    QStringList m_creationOrder;
    std::vector<std::unique_ptr<QObject>> m_owned;
    std::unique_ptr<FileRevealer> m_revealer;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<SettingsWindow> m_settings;
    std::unique_ptr<MenuBarExtra> m_menuBar;
    TextSizeCommands* m_textSize = nullptr;
    std::unique_ptr<TrayHost> m_ownTrayHost;
    TrayHost* m_trayHost = nullptr;
    QTimer m_trayGone;
    int m_wireCount = 0;
};
