#pragma once

#include "shell/Services.h"

#include <QMainWindow>

class ContentView;
class TextSizeCommands;

// The main window (object name "main"): hosts the content view and carries the menu commands.
// Its title is the title of the section shown ("Home" at first).
//
// The content can never be made smaller than 940 × 620; the menu bar comes on top of that.
// Closing the window drops its content: opening it again builds a fresh one, which starts on
// Home, over the same services.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The text-size commands are the app's one set, shared with its other windows so their
    // shortcuts work wherever the user is; null makes a set of the window's own.
    explicit MainWindow(const Services& services, TextSizeCommands* textSize = nullptr,
                        QWidget* parent = nullptr);

    ContentView* contentView() const { return m_content; }

    void setVisible(bool visible) override;

    static constexpr QSize kContentMinimum{940, 620};

signals:
    // Each time the window comes on screen (first showing and every reopening).
    void shown();
    void settingsRequested();
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void makeContent();

    Services m_services;
    TextSizeCommands* m_textSize = nullptr;
    ContentView* m_content = nullptr;
    bool m_contentClosed = false;
};
