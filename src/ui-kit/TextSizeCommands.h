#pragma once

#include <QObject>

class QAction;
class QMenu;
class UserDefaults;

// The three text-size menu commands, never disabled, each writing one integer under
// "theme.fontSize" (every window follows through Themed):
// "Bigger Text" (Ctrl++ and Ctrl+=) writes min(fontSizeSetting, 3) + 1;
// "Smaller Text" (Ctrl+-) writes 0 below step 2, else fontSizeSetting − 1;
// "Normal Text Size" (Ctrl+0) writes 2.
// The shortcuts work in every window of the app while the menu's window is shown.
class TextSizeCommands : public QObject {
    Q_OBJECT
public:
    explicit TextSizeCommands(UserDefaults& defaults, QObject* parent = nullptr);
    explicit TextSizeCommands(QObject* parent = nullptr); // on UserDefaults::standard()

    QAction* bigger() const { return m_bigger; }
    QAction* smaller() const { return m_smaller; }
    QAction* normal() const { return m_normal; }

    // Appends the three commands and a divider to the menu.
    void addTo(QMenu* menu);

private:
    UserDefaults& m_defaults;
    QAction* m_bigger;
    QAction* m_smaller;
    QAction* m_normal;
};
