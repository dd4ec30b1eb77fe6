#pragma once

#include "shell/Services.h"

#include <QMainWindow>

class ContentView;

// The main window (object name "main"): hosts the content view and carries the menu commands.
// Its title is the title of the section shown ("Home" at first). It can never be made smaller
// than 940 × 620.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const Services& services, QWidget* parent = nullptr);

    ContentView* contentView() const { return m_content; }
    QAction* checkForUpdatesAction() const { return m_checkForUpdates; }

signals:
    // Each time the window comes on screen (first showing and every reopening).
    void shown();
    void settingsRequested();
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();

    Services m_services;
    ContentView* m_content = nullptr;
    QAction* m_checkForUpdates = nullptr;
};
