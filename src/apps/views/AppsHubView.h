#pragma once

#include "shell/ScreenModes.h"

#include <QPointer>
#include <QWidget>

class AppUninstaller;
class QKModeHost;
class ScreenState;
class SegmentedControl;

// The Apps section: a segmented control over two panes, the overview of the application tools
// and the uninstall pane, shown in place. The pane lives in ScreenState, so the section reopens
// where it was left. The overview shows fixed words only; each time it is shown it starts the
// first load of the installed applications if nothing has yet (so the list is ready by the time
// the user switches), and its cards open the uninstall pane or the Startup and Subscriptions
// sections.
class AppsHubView : public QWidget {
    Q_OBJECT
public:
    AppsHubView(ScreenState& screen, AppUninstaller& uninstaller, QWidget* parent = nullptr);

    // Asks the main window to open a section; for every screen that leads elsewhere.
    static void postOpenSection(const QString& id);

private:
    QWidget* buildPane(AppsPane pane, QWidget* parent);
    QWidget* buildOverview(QWidget* parent);

    ScreenState& m_screen;
    QPointer<AppUninstaller> m_uninstaller;
    SegmentedControl* m_picker;
    QKModeHost* m_host;
};
