#include "app/SettingsWindow.h"

#include "shell/views/SettingsView.h"
#include "ui-kit/Themed.h"

#include <QVBoxLayout>

SettingsWindow::SettingsWindow(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Pendrel Settings"));
    Themed::apply(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SettingsView(runMode, updater, this));
}
