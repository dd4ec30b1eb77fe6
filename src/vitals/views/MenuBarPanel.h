#pragma once

#include "shell/Services.h"

#include <QWidget>

// The panel that drops down from the menu-bar extra.
class MenuBarPanel : public QWidget {
    Q_OBJECT
public:
    explicit MenuBarPanel(const Services& services, QWidget* parent = nullptr);

signals:
    void openMainWindowRequested();
    void quitRequested();

private:
    Services m_services;
};
