#pragma once

#include <QWidget>

class RunModeManager;
class UpdaterManager;

// The settings window ("Pendrel Settings"). It works on the process-wide run-mode and update
// managers, the same objects the main window sees, so a change shows in both at once.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent = nullptr);
};
