#pragma once

#include <QWidget>

class RunModeManager;
class UpdaterManager;

// The settings screen: appearance, text size, updates and the run mode.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    SettingsView(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent = nullptr);

private:
    RunModeManager* m_runMode;
    UpdaterManager* m_updater;
};
