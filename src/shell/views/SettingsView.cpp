#include "shell/views/SettingsView.h"

#include "shell/RunModeManager.h"
#include "shell/UpdaterManager.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

SettingsView::SettingsView(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent)
    : QWidget(parent), m_runMode(runMode), m_updater(updater) {
    auto* layout = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    for (RunMode mode : allRunModes()) {
        auto* button = new QRadioButton(runModeRawValue(mode), this);
        button->setChecked(runMode->mode() == mode);
        group->addButton(button, int(mode));
        layout->addWidget(button);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { m_runMode->setMode(RunMode(id)); });
    connect(runMode, &RunModeManager::modeChanged, this, [group](RunMode mode) {
        if (QAbstractButton* b = group->button(int(mode)))
            b->setChecked(true);
    });
    auto* error = new QLabel(runMode->loginItemError(), this);
    error->setWordWrap(true);
    error->setVisible(!runMode->loginItemError().isEmpty());
    connect(runMode, &RunModeManager::loginItemErrorChanged, error, [error](const QString& text) {
        error->setText(text);
        error->setVisible(!text.isEmpty());
    });
    layout->addWidget(error);
    layout->addStretch();
}
