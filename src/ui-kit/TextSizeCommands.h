#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;
class UserDefaults;

// The three text-size menu commands, never disabled, each writing one integer under
// "theme.fontSize" (every window follows through Themed):
// "Bigger Text" (Ctrl++ and Ctrl+=) writes min(fontSizeSetting, 3) + 1;
// "Smaller Text" (Ctrl+-) writes 0 below step 2, else fontSizeSetting − 1;
// "Normal Text Size" (Ctrl+0) writes 2.
// One set serves the whole app: its shortcuts work in every window it is attached to (a menu
// holding the commands counts for the menu's window) as long as one of those windows is shown,
// so the keys work in the settings window and the menu-bar panel when the main window is closed.
class TextSizeCommands : public QObject {
    Q_OBJECT
public:
    explicit TextSizeCommands(UserDefaults& defaults, QObject* parent = nullptr);
    explicit TextSizeCommands(QObject* parent = nullptr); // on UserDefaults::standard()

    // Appends the three commands and a divider to the menu.
    void addTo(QMenu* menu);
    // Makes the shortcuts work while this window (or any part of it) is active.
    void attachTo(QWidget* window);

private:
    UserDefaults& m_defaults;
    QAction* m_bigger;
    QAction* m_smaller;
    QAction* m_normal;
};
