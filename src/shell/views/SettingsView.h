#pragma once

#include "shell/RunModeManager.h"

#include <QWidget>

class QButtonGroup;
class QKIconLabel;
class QLabel;
class UpdaterManager;
class UserDefaults;

// The settings window's form, 460 wide: "Appearance" (ThemePicker), "Updates" (the automatic
// check switch and "Check now", both always disabled, and why), "When I close the window" (the
// run mode with an explanation of the current one, and the last login-item failure in orange
// while there is one) and "File manager" (the deep links and the Extensions settings button).
//
// It holds no state: it shows the two managers and the look settings as they are and follows
// every change of them, so any other window showing the same managers agrees at once. Choosing
// a run mode (by click, key or assistive technology) sets it on the manager, which applies it at
// once.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    SettingsView(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent = nullptr);
    SettingsView(RunModeManager* runMode, UpdaterManager* updater, UserDefaults& defaults,
                 QWidget* parent = nullptr);

    static constexpr int kWidth = 460;

private:
    QWidget* section(const QString& title, QWidget* content);
    QWidget* makeUpdates();
    QWidget* makeRunMode();
    QWidget* makeFinder();
    void showMode();
    void showLoginError();

    RunModeManager* m_runMode;
    UpdaterManager* m_updater;
    UserDefaults& m_defaults;
    QButtonGroup* m_modes = nullptr;
    QLabel* m_explanation = nullptr;
    QKIconLabel* m_loginError = nullptr;
};
